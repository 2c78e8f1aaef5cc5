#include "ModelTests.h"

#include "bridge/Listing.h"
#include "model/PhonePaths.h"

#include <QTest>

// The pure path and order rules behind both panes.
class PanePathTest : public QObject
{
    Q_OBJECT
private slots:
    void childPath_data();
    void childPath();
    void parentPath_data();
    void parentPath();
    void localOrder_data();
    void localOrder();
};

void PanePathTest::childPath_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");
    QTest::newRow("root") << "/" << "New" << "/New";
    QTest::newRow("plain folder") << "/storage/emulated/0" << "Notes" << "/storage/emulated/0/Notes";
    QTest::newRow("trailing slash") << "/storage/emulated/0/" << "Notes" << "/storage/emulated/0/Notes";
    QTest::newRow("name kept as typed") << "/sdcard" << " a:b " << "/sdcard/ a:b ";
}

void PanePathTest::childPath()
{
    QFETCH(QString, folder);
    QFETCH(QString, name);
    QFETCH(QString, expected);
    QCOMPARE(phoneChildPath(folder, name), expected);
}

void PanePathTest::parentPath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");
    QTest::newRow("camera folder") << "/storage/emulated/0/DCIM/Camera" << "/storage/emulated/0/DCIM";
    QTest::newRow("one level") << "/storage/emulated/0/DCIM" << "/storage/emulated/0";
    QTest::newRow("top level item") << "/sdcard" << "/";
    QTest::newRow("root") << "/" << "/";
    QTest::newRow("trailing slash") << "/storage/emulated/0/DCIM/" << "/storage/emulated/0";
}

void PanePathTest::parentPath()
{
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QCOMPARE(phoneParentPath(path), expected);
}

void PanePathTest::localOrder_data()
{
    QTest::addColumn<QStringList>("names");   // a trailing "/" marks a folder
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("folders first, digits by value")
        << QStringList{"b", "A/", "a10.txt", "a2.txt"} << QStringList{"A", "a2.txt", "a10.txt", "b"};
    QTest::newRow("case ignored")
        << QStringList{"beta", "Alpha", "gamma/", "Delta/"} << QStringList{"Delta", "gamma", "Alpha", "beta"};
}

void PanePathTest::localOrder()
{
    QFETCH(QStringList, names);
    QFETCH(QStringList, expected);
    QList<FileEntry> rows;
    for (const QString &name : names) {
        FileEntry entry;
        entry.isDirectory = name.endsWith('/');
        entry.name = entry.isDirectory ? name.chopped(1) : name;
        entry.path = "/x/" + entry.name;
        rows.append(entry);
    }
    sortEntries(rows);
    QStringList sorted;
    for (const FileEntry &row : rows)
        sorted.append(row.name);
    QCOMPARE(sorted, expected);
}

int runPanePathTests(int argc, char **argv)
{
    PanePathTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "PanePathTest.moc"
