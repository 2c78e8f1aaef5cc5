#include "PlatformTests.h"

#include "platform/linux/LinuxTrash.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

namespace {

void writeFile(const QString &path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("keep me");
}

int modeOf(const QString &path)
{
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return -1;
    return int(info.st_mode & 07777);
}

QStringList entriesOf(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

} // namespace

// The user's trash on an account whose home has no .local/share yet: the trash is made
// where the freedesktop rules put it, and nothing ever lands in the working folder.
class TrashTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void missingDataFolderGetsTheUsersTrash();
    void trashThatCannotBeMadeKeepsTheItem_data();
    void trashThatCannotBeMadeKeepsTheItem();

private:
    std::unique_ptr<QTemporaryDir> m_home;
    std::unique_ptr<QTemporaryDir> m_workingFolder;
    std::unique_ptr<QTemporaryDir> m_items;
    QByteArray m_savedHome;
    QByteArray m_savedDataHome;
    QString m_savedWorkingFolder;
};

void TrashTest::init()
{
    m_savedHome = qgetenv("HOME");
    m_savedDataHome = qgetenv("XDG_DATA_HOME");
    m_savedWorkingFolder = QDir::currentPath();
    m_home = std::make_unique<QTemporaryDir>();
    m_workingFolder = std::make_unique<QTemporaryDir>();
    m_items = std::make_unique<QTemporaryDir>();
    QVERIFY(m_home->isValid() && m_workingFolder->isValid() && m_items->isValid());
    qputenv("HOME", QFile::encodeName(m_home->path()));
    qunsetenv("XDG_DATA_HOME");
    QVERIFY(QDir::setCurrent(m_workingFolder->path()));
}

void TrashTest::cleanup()
{
    QDir::setCurrent(m_savedWorkingFolder);
    qputenv("HOME", m_savedHome);
    if (m_savedDataHome.isNull())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", m_savedDataHome);
    m_items.reset();
    m_workingFolder.reset();
    m_home.reset();
}

void TrashTest::missingDataFolderGetsTheUsersTrash()
{
    QVERIFY(entriesOf(m_home->path()).isEmpty());
    const QString path = m_items->filePath(QStringLiteral("report.txt"));
    writeFile(path);

    QCOMPARE(LinuxTrash().moveToTrash(path), std::nullopt);
    QVERIFY(!QFile::exists(path));
    const QString trash = m_home->filePath(QStringLiteral(".local/share/Trash"));
    QVERIFY2(QFile::exists(trash + QStringLiteral("/files/report.txt")), qPrintable(trash));
    QVERIFY(QFile::exists(trash + QStringLiteral("/info/report.txt.trashinfo")));
    // Only the user may look into the trash and the data folders made for it.
    QCOMPARE(modeOf(trash), 0700);
    QCOMPARE(modeOf(m_home->filePath(QStringLiteral(".local/share"))), 0700);
    QCOMPARE(modeOf(m_home->filePath(QStringLiteral(".local"))), 0700);
    QCOMPARE(entriesOf(m_workingFolder->path()), QStringList());
}

void TrashTest::trashThatCannotBeMadeKeepsTheItem_data()
{
    QTest::addColumn<QString>("dataHome"); // relative to the test's home; empty: unset
    QTest::addColumn<QString>("reason");   // "%1" stands for the test's home
    QTest::newRow("home is a file")
        << QString() << "the Trash folder %1/file/.local/share/Trash could not be created (Not a directory)";
    QTest::newRow("relative data folder") << "relative/share" << "there is no folder for the user's Trash";
}

void TrashTest::trashThatCannotBeMadeKeepsTheItem()
{
    QFETCH(QString, dataHome);
    QFETCH(QString, reason);
    if (dataHome.isEmpty()) {
        writeFile(m_home->filePath(QStringLiteral("file")));
        qputenv("HOME", QFile::encodeName(m_home->filePath(QStringLiteral("file"))));
    } else {
        qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome));
    }
    const QString path = m_items->filePath(QStringLiteral("report.txt"));
    writeFile(path);

    QCOMPARE(LinuxTrash().moveToTrash(path),
             QStringLiteral("\u201Creport.txt\u201D couldn't be moved to the Trash: ") + reason.arg(m_home->path())
                 + QLatin1Char('.'));
    QFile kept(path);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray("keep me"));
    QCOMPARE(entriesOf(m_workingFolder->path()), QStringList());
}

int runTrashTests(int argc, char **argv)
{
    TrashTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "TrashTest.moc"
