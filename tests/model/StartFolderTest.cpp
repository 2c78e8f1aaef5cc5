#include "ModelTests.h"
#include "Patience.h"

#include "bridge/ADB.h"
#include "model/AppModel.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>

// Where the computer pane opens: the download folder, or the home folder of a fresh account
// that has none, never an error.
class StartFolderTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void opensTheDownloadFolderElseHome_data();
    void opensTheDownloadFolderElseHome();

private:
    std::unique_ptr<QTemporaryDir> m_home;
    QByteArray m_savedHome;
};

void StartFolderTest::initTestCase()
{
    ADB::shared().setCandidatesForTesting({QStringLiteral("/nonexistent/tessary-test/adb")});
}

void StartFolderTest::init()
{
    m_home = std::make_unique<QTemporaryDir>();
    QVERIFY(m_home->isValid());
    m_savedHome = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(m_home->path()));
}

void StartFolderTest::cleanup()
{
    qputenv("HOME", m_savedHome);
    m_home.reset();
}

void StartFolderTest::opensTheDownloadFolderElseHome_data()
{
    QTest::addColumn<bool>("hasDownloads");
    QTest::newRow("with a download folder") << true;
    QTest::newRow("fresh account") << false;
}

void StartFolderTest::opensTheDownloadFolderElseHome()
{
    QFETCH(bool, hasDownloads);
    QFile file(m_home->filePath(QStringLiteral("notes.txt")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    if (hasDownloads)
        QVERIFY(QDir(m_home->path()).mkdir(QStringLiteral("Downloads")));
    const QString expected = hasDownloads ? m_home->filePath(QStringLiteral("Downloads")) : m_home->path();

    AppModel model;
    QCOMPARE(model.macPath(), expected);
    QCOMPARE(model.macError(), std::nullopt);
    // A drive that goes away while the pane shows it sends the pane to the same place.
    const QString gone = "/media/tessary-gone-" + QUuid::createUuid().toString(QUuid::WithoutBraces);
    model.setMacPath(gone + "/Movies");
    model.reloadMac();
    model.volumesChanged(false, gone);
    QTRY_COMPARE_WITH_TIMEOUT(model.macPath(), expected, kPatienceMs);
    QCOMPARE(model.macError(), std::nullopt);
    // Nothing is made in the user's home.
    QCOMPARE(QFileInfo::exists(m_home->filePath(QStringLiteral("Downloads"))), hasDownloads);
}

int runStartFolderTests(int argc, char **argv)
{
    StartFolderTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "StartFolderTest.moc"
