#include "ModelTests.h"
#include "Patience.h"

#include "PhoneFixture.h"
#include "RecordingPlatform.h"
#include "ScratchMount.h"

#include "bridge/ADB.h"
#include "drives/Drives.h"
#include "drives/FuseTypes.h"
#include "drives/MountQuery.h"
#include "model/AppModel.h"

#include <QCoreApplication>
#include <QFile>
#include <QMutex>
#include <QTest>
#include <QThread>

#include <QCoro/QCoroTask>

#include <unistd.h>

namespace {

// Whether a device probe ran on the main thread.
struct ProbeLog
{
    QMutex lock;
    int probes = 0;
    bool onMainThread = false;
};

bool writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

bool isFuse(const ScratchMount &mount)
{
    const std::optional<MountEntry> entry = MountTable::topmost(MountQuery::mountTable(), mount.mountPoint());
    return entry && entry->fsType.startsWith(QLatin1String("fuse"));
}

} // namespace

// The drive chips the model offers, and the write guard before moves off a drive.
class DriveKindsTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void memoryFileSystemsAreNoDrives();
    void movingOffAFuseDriveNeverProbesOnTheMainThread_data();
    void movingOffAFuseDriveNeverProbesOnTheMainThread();

private:
    std::shared_ptr<ProbeLog> m_log;
};

void DriveKindsTest::initTestCase()
{
    if (::geteuid() != 0)
        QSKIP("mounting a test volume under /media needs root");
}

void DriveKindsTest::init()
{
    m_log = std::make_shared<ProbeLog>();
    FuseTypes::setProbeForTesting([log = m_log](const QString &) {
        QMutexLocker locker(&log->lock);
        ++log->probes;
        if (QThread::currentThread() == QCoreApplication::instance()->thread())
            log->onMainThread = true;
        return QStringLiteral("exfat");
    });
}

void DriveKindsTest::cleanup()
{
    FuseTypes::setProbeForTesting({});
    m_log.reset();
}

void DriveKindsTest::memoryFileSystemsAreNoDrives()
{
    ADB::shared().setCandidatesForTesting({QStringLiteral("/nonexistent/tessary-test/adb")});
    RecordingPlatform platform;
    AppModel model;
    QCoro::waitFor(model.refreshDrives());

    // A tmpfs under /media first, then a disk: only the disk is a drive, opened and announced.
    ScratchMount memory;
    QVERIFY2(memory.mountTmpfs(true), qPrintable(memory.error()));
    ScratchMount disk;
    QVERIFY2(disk.mountExfatImage(false), qPrintable(disk.error()));
    QTRY_COMPARE_WITH_TIMEOUT(model.macPath(), disk.mountPoint(), kPatienceMs);
    QVERIFY(Drives::drive(disk.mountPoint(), model.drives()));
    QVERIFY(!Drives::drive(memory.mountPoint(), model.drives()));
    QCOMPARE(platform.notifier->posted.size(), 1);
    QCOMPARE(platform.notifier->posted.first().title, disk.name() + " connected");
}

void DriveKindsTest::movingOffAFuseDriveNeverProbesOnTheMainThread_data()
{
    QTest::addColumn<bool>("readOnly");
    QTest::newRow("writable drive: the file moves") << false;
    QTest::newRow("read-only drive: the move is refused") << true;
}

void DriveKindsTest::movingOffAFuseDriveNeverProbesOnTheMainThread()
{
    QFETCH(bool, readOnly);
    PhoneFixture fixture;
    QVERIFY2(fixture.start(), qPrintable(fixture.errorString()));
    const QString serial = fixture.addPhone();
    QVERIFY2(!serial.isEmpty(), qPrintable(fixture.errorString()));
    ADB::shared().setCandidatesForTesting({fixture.adbPath()});

    ScratchMount drive;
    QVERIFY2(drive.mountExfatImage(readOnly), qPrintable(drive.error()));
    if (!isFuse(drive))
        QSKIP("the kernel's own exFAT driver mounted the image: there is no FUSE type to probe");
    // A file on the writable drive; the read-only drive is moved off as a whole.
    const QString photo = drive.mountPoint() + QStringLiteral("/photo.jpg");
    if (!readOnly)
        QVERIFY(writeFile(photo, "jpeg bytes"));

    RecordingPlatform platform;
    AppModel model;
    QTRY_COMPARE_WITH_TIMEOUT(model.readyDevice().has_value(), true, kPatienceMs);
    // The start-up scan learned the drive's type, off the main thread.
    QTRY_VERIFY_WITH_TIMEOUT(Drives::drive(drive.mountPoint(), model.drives()), kPatienceMs);
    QCOMPARE(Drives::drive(drive.mountPoint(), model.drives())->format, QStringLiteral("exFAT"));

    model.requestMove(true, QStringList{readOnly ? drive.mountPoint() : photo});
    if (readOnly) {
        QCOMPARE(model.message(),
                 QStringLiteral("Files on a read-only drive (such as NTFS) can't be moved, because the "
                                "originals can't be removed. Use Copy instead."));
        QVERIFY(!model.moveRequest());
    } else {
        QVERIFY(model.moveRequest());
        model.confirmMove();
        const QString onPhone = fixture.hostPath(serial, QStringLiteral("/storage/emulated/0/photo.jpg"));
        QTRY_COMPARE_WITH_TIMEOUT(readFile(onPhone), QByteArray("jpeg bytes"), kPatienceMs);
        // The moved original goes to the (recording) trash.
        QTRY_COMPARE_WITH_TIMEOUT(platform.trash->paths, QStringList{photo}, kPatienceMs);
    }
    QMutexLocker locker(&m_log->lock);
    QVERIFY(m_log->probes > 0);
    QVERIFY(!m_log->onMainThread);
}

int runDriveKindsTests(int argc, char **argv)
{
    DriveKindsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "DriveKindsTest.moc"
