#include "ModelTests.h"
#include "Patience.h"
#include "RecordingPlatform.h"
#include "ScratchMount.h"

#include "bridge/ADB.h"
#include "drives/Drives.h"
#include "model/AppModel.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>

#include <unistd.h>

#include <QCoro/QCoroTask>

namespace {

DriveInfo driveNamed(const QString &name, const QString &format, bool readOnly, qint64 total = 0,
                     qint64 free = 0)
{
    DriveInfo drive;
    drive.url = QUrl::fromLocalFile("/media/" + name);
    drive.name = name;
    drive.fsType = format.toLower();
    drive.format = format;
    drive.isReadOnly = readOnly;
    drive.total = total;
    drive.free = free;
    return drive;
}

QString downloads()
{
    return QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
}

} // namespace

// The model's side of external drives: the published list, eject, the "connected"
// notice, and following mounts and unmounts.
class DrivesModelTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();

    void refreshPublishesScanAndCallsBack();
    void ejectFailureBecomesMessage();
    void notificationText_data();
    void notificationText();
    void noNotificationWithoutDesktopService();
    void vanishedDriveSendsPaneHome();
    void newMountIsOpenedOnceAndUnmountLeavesIt();
    void cleanupTestCase();

private:
    QTemporaryDir m_home;
    QByteArray m_savedHome;
};

void DrivesModelTest::initTestCase()
{
    ADB::shared().setCandidatesForTesting({QStringLiteral("/nonexistent/tessary-test/adb")});
    // A home with a download folder, where the pane goes when a drive leaves.
    QVERIFY(m_home.isValid());
    QVERIFY(QDir(m_home.path()).mkpath("Downloads"));
    m_savedHome = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(m_home.path()));
}

void DrivesModelTest::cleanupTestCase()
{
    qputenv("HOME", m_savedHome);
}

void DrivesModelTest::refreshPublishesScanAndCallsBack()
{
    AppModel model;
    std::optional<QList<DriveInfo>> handed;
    QCoro::waitFor(model.refreshDrives([&](const QList<DriveInfo> &drives) { handed = drives; }));
    QVERIFY(handed);
    QCOMPARE(*handed, model.drives());
    QCOMPARE(model.drives(), Drives::scan());
}

void DrivesModelTest::ejectFailureBecomesMessage()
{
    RecordingPlatform platform;
    RecordingEjector *ejector = platform.ejector;
    AppModel model;
    const DriveInfo drive = driveNamed("Backup", "exFAT", false);

    model.eject(drive);
    QTRY_COMPARE_WITH_TIMEOUT(ejector->mountPaths, QStringList{"/media/Backup"}, kPatienceMs);
    QCOMPARE(model.message(), std::nullopt);

    ejector->failures.insert(QStringLiteral("/media/Backup"), QStringLiteral("target is busy"));
    model.eject(drive);
    QTRY_COMPARE_WITH_TIMEOUT(model.message(), QStringLiteral("Couldn't eject \u201CBackup\u201D: target is busy"), kPatienceMs);
}

void DrivesModelTest::notificationText_data()
{
    QTest::addColumn<DriveInfo>("drive");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("body");
    QTest::newRow("NTFS") << driveNamed("Win", "NTFS", true) << "Win connected"
                          << "NTFS drive: you can copy files from it, but macOS can't write to it.";
    QTest::newRow("read-only") << driveNamed("Card", "exFAT", true) << "Card connected"
                               << "exFAT drive (read-only).";
    const DriveInfo writable = driveNamed("Stick", "FAT", false, 64'000'000'000, 12'300'000'000);
    QTest::newRow("writable") << writable << "Stick connected"
                              << "FAT drive \u00B7 " + writable.capacityText();
}

void DrivesModelTest::notificationText()
{
    QFETCH(DriveInfo, drive);
    QFETCH(QString, title);
    QFETCH(QString, body);
    RecordingPlatform platform;
    RecordingNotifier *notifier = platform.notifier;
    AppModel model;
    model.notifyDrive(drive);
    QCOMPARE(notifier->posted.size(), 1);
    QCOMPARE(notifier->posted.first().title, title);
    QCOMPARE(notifier->posted.first().body, body);
}

void DrivesModelTest::noNotificationWithoutDesktopService()
{
    RecordingPlatform platform;
    RecordingNotifier *notifier = platform.notifier;
    notifier->available = false;
    AppModel model;
    model.notifyDrive(driveNamed("Stick", "FAT", false));
    QVERIFY(notifier->posted.isEmpty());
}

void DrivesModelTest::vanishedDriveSendsPaneHome()
{
    AppModel model;
    const QString gone = "/media/tessary-gone-" + QUuid::createUuid().toString(QUuid::WithoutBraces);
    model.setMacPath(gone + "/Movies");
    model.volumesChanged(false, gone);
    QTRY_COMPARE_WITH_TIMEOUT(model.macPath(), downloads(), kPatienceMs);
}

void DrivesModelTest::newMountIsOpenedOnceAndUnmountLeavesIt()
{
    if (::geteuid() != 0)
        QSKIP("mounting a test volume under /media needs root");
    ScratchMount drive;
    const QString name = drive.name();
    const QString mountPath = drive.mountPoint();

    RecordingPlatform platform;
    RecordingNotifier *notifier = platform.notifier;
    AppModel model;
    // The drives known before the mount must not already hold it.
    QCoro::waitFor(model.refreshDrives());

    QVERIFY2(drive.mountExfatImage(false), qPrintable(drive.error()));

    // The mount watcher reports the new drive: the pane opens it and the user is told.
    QTRY_COMPARE_WITH_TIMEOUT(model.macPath(), mountPath, kPatienceMs);
    QVERIFY(Drives::drive(mountPath, model.drives()));
    QCOMPARE(notifier->posted.size(), 1);
    QCOMPARE(notifier->posted.first().title, name + " connected");

    // A mount event for a drive already listed neither moves the pane nor notifies.
    QVERIFY(QDir().mkdir(mountPath + "/Inside"));
    model.setMacPath(downloads());
    model.volumesChanged(true, mountPath);
    QCoro::waitFor(model.refreshDrives());
    QCOMPARE(model.macPath(), downloads());
    QCOMPARE(notifier->posted.size(), 1);

    // Unmounting while the pane shows a folder on the drive sends the pane home.
    model.openMac(mountPath + "/Inside");
    QCOMPARE(model.macPath(), mountPath + "/Inside");
    QVERIFY2(drive.unmount(), qPrintable(drive.error()));
    QTRY_COMPARE_WITH_TIMEOUT(model.macPath(), downloads(), kPatienceMs);
    QTRY_VERIFY_WITH_TIMEOUT(!Drives::drive(mountPath, model.drives()), kPatienceMs);
}

int runDrivesModelTests(int argc, char **argv)
{
    DrivesModelTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "DrivesModelTest.moc"
