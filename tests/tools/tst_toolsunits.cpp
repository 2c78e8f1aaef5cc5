// The pure pieces behind the phone tools and drag and drop: file and folder names, and what a
// drag carries or a drop delivers.
#include "model/BackupDestination.h"
#include "model/DragPayload.h"
#include "model/ScreenshotName.h"

#include <QMimeData>
#include <QtTest>

class ToolsUnitsTest : public QObject
{
    Q_OBJECT

private slots:
    void screenshotName();
    void backupFolder_data();
    void backupFolder();
    void draggedPathsFollowTheSelection();
    void droppedItems_data();
    void droppedItems();
    void duplicatesKeepTheFirst();
};

void ToolsUnitsTest::screenshotName()
{
    const QDateTime at(QDate(2026, 3, 3), QTime(14, 5, 9));
    QCOMPARE(screenshotFileName(at), QStringLiteral("Android Screenshot 2026-03-03 at 14.05.09.png"));
}

void ToolsUnitsTest::backupFolder_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<QString>("serial");
    QTest::addColumn<QString>("expected");
    QTest::newRow("model") << "Pixel 7" << "ABC123" << "/home/u/Pictures/Tessary Backup/Pixel 7";
    QTest::newRow("slashes") << "ABC/1" << "X" << "/home/u/Pictures/Tessary Backup/ABC-1";
    QTest::newRow("empty model") << "" << "127.0.0.1:5601" << "/home/u/Pictures/Tessary Backup/127.0.0.1:5601";
}

void ToolsUnitsTest::backupFolder()
{
    QFETCH(QString, model);
    QFETCH(QString, serial);
    QFETCH(QString, expected);
    AndroidDevice device;
    device.serial = serial;
    device.model = model;
    QCOMPARE(backupDestination(QStringLiteral("/home/u"), device), expected);
    QCOMPARE(backupRelative(QStringLiteral("/storage/emulated/0/DCIM/Camera/a.jpg")),
             QStringLiteral("DCIM/Camera/a.jpg"));
}

void ToolsUnitsTest::draggedPathsFollowTheSelection()
{
    FileEntry entry;
    entry.path = QStringLiteral("/p/d");
    const QSet<QString> selection{"/p/a", "/p/b", "/p/c"};
    QList<FileEntry> rows;
    for (const char *path : {"/p/c", "/p/d", "/p/a", "/p/b"}) {
        FileEntry row;
        row.path = QString::fromLatin1(path);
        rows << row;
    }
    QCOMPARE(draggedPaths(entry, selection, rows), QStringList{"/p/d"});
    // The whole selection, in the order the pane shows its rows.
    entry.path = QStringLiteral("/p/b");
    QCOMPARE(draggedPaths(entry, selection, rows), (QStringList{"/p/c", "/p/a", "/p/b"}));
}

void ToolsUnitsTest::droppedItems_data()
{
    QTest::addColumn<QByteArray>("paths");
    QTest::addColumn<QList<QUrl>>("urls");
    QTest::addColumn<int>("count");
    QTest::addColumn<QStringList>("firstPaths");
    QTest::addColumn<bool>("firstHasSide");

    QTest::newRow("payload wins over urls")
        << QByteArray(R"({"side":"android","paths":["/storage/emulated/0/a"]})")
        << QList<QUrl>{QUrl::fromLocalFile("/tmp/x")} << 1 << QStringList{"/storage/emulated/0/a"} << true;
    QTest::newRow("payload without side")
        << QByteArray(R"({"paths":["/a","/b"]})") << QList<QUrl>{} << 1 << QStringList{"/a", "/b"} << false;
    QTest::newRow("undecodable payload is ignored")
        << QByteArray("{not json") << QList<QUrl>{QUrl::fromLocalFile("/tmp/x")} << 0 << QStringList{} << false;
    QTest::newRow("payload without paths is ignored")
        << QByteArray(R"({"side":"mac"})") << QList<QUrl>{} << 0 << QStringList{} << false;
    QTest::newRow("file urls")
        << QByteArray() << QList<QUrl>{QUrl::fromLocalFile("/tmp/x y"), QUrl::fromLocalFile("/tmp/z")} << 2
        << QStringList{"/tmp/x y"} << false;
    QTest::newRow("web url gives no path")
        << QByteArray() << QList<QUrl>{QUrl("https://example.org/a")} << 1 << QStringList{} << false;
}

void ToolsUnitsTest::droppedItems()
{
    QFETCH(QByteArray, paths);
    QFETCH(QList<QUrl>, urls);
    QFETCH(int, count);
    QFETCH(QStringList, firstPaths);
    QFETCH(bool, firstHasSide);
    QMimeData data;
    if (!paths.isNull())
        data.setData(QLatin1String(dragPathsMimeType), paths);
    if (!urls.isEmpty())
        data.setUrls(urls);
    const QList<DroppedPaths> items = ::droppedItems(&data);
    QCOMPARE(items.size(), count);
    if (count > 0) {
        QCOMPARE(items.first().paths, firstPaths);
        QCOMPARE(items.first().side.has_value(), firstHasSide);
    }
}

void ToolsUnitsTest::duplicatesKeepTheFirst()
{
    QCOMPARE(withoutDuplicates({"/b", "/a", "/b", "/c", "/a"}), (QStringList{"/b", "/a", "/c"}));
}

QTEST_GUILESS_MAIN(ToolsUnitsTest)
#include "tst_toolsunits.moc"
