#include "DriveTests.h"

#include "ScratchMount.h"
#include "drives/Drives.h"
#include "drives/FuseTypes.h"
#include "drives/MountQuery.h"

#include <QCoreApplication>
#include <QMutex>
#include <QThread>
#include <QtTest>

#include <unistd.h>

#include <thread>

namespace {

// Every device probe, and whether one ran on the main thread.
struct ProbeLog
{
    QMutex lock;
    QStringList devices;
    bool onMainThread = false;

    QStringList seen()
    {
        QMutexLocker locker(&lock);
        return devices;
    }
};

std::optional<DriveInfo> driveAt(const QList<DriveInfo> &drives, const QString &mountPoint)
{
    for (const DriveInfo &drive : drives) {
        if (drive.path() == mountPoint)
            return drive;
    }
    return std::nullopt;
}

// The scan as the model runs it: on a worker thread.
QList<DriveInfo> scanOffTheMainThread()
{
    QList<DriveInfo> drives;
    std::thread worker([&drives] { drives = Drives::scan(); });
    worker.join();
    return drives;
}

} // namespace

// The real type of a FUSE drive is learned by probing its device, which may take seconds:
// only the scan (off the main thread) probes, once per mount.
class FuseProbeTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void onlyTheScanProbesOncePerMount();

private:
    std::shared_ptr<ProbeLog> m_log;
};

void FuseProbeTest::init()
{
    m_log = std::make_shared<ProbeLog>();
    FuseTypes::setProbeForTesting([log = m_log](const QString &device) {
        QMutexLocker locker(&log->lock);
        log->devices.append(device);
        if (QThread::currentThread() == QCoreApplication::instance()->thread())
            log->onMainThread = true;
        return QStringLiteral("exfat");
    });
}

void FuseProbeTest::cleanup()
{
    FuseTypes::setProbeForTesting({});
    m_log.reset();
}

void FuseProbeTest::onlyTheScanProbesOncePerMount()
{
    if (::geteuid() != 0)
        QSKIP("mounting a test volume under /media needs root");
    ScratchMount mount;
    QVERIFY2(mount.mountExfatImage(true), qPrintable(mount.error()));
    const std::optional<MountEntry> entry = MountTable::topmost(MountQuery::mountTable(), mount.mountPoint());
    QVERIFY(entry);
    if (!entry->fsType.startsWith(QLatin1String("fuse")))
        QSKIP("the kernel's own exFAT driver mounted the image: there is no FUSE type to probe");

    // The write guard and its explanation, on the main thread before every write, never probe.
    const QString newFolder = mount.mountPoint() + QStringLiteral("/DCIM/new");
    QVERIFY(Drives::isReadOnly(newFolder));
    QVERIFY(Drives::isReadOnly(mount.mountPoint()));
    QCOMPARE(Drives::explanation(mount.mountPoint(), {}),
             QStringLiteral("This location (FUSE) is read-only, so you can copy files from it but not onto it."));
    QCOMPARE(m_log->seen(), QStringList());

    // The scan learns the type once, and keeps it while the drive stays mounted.
    const std::optional<DriveInfo> drive = driveAt(scanOffTheMainThread(), mount.mountPoint());
    QVERIFY(drive);
    QCOMPARE(drive->format, QStringLiteral("exFAT"));
    QCOMPARE(m_log->seen(), QStringList{entry->source});
    QCOMPARE(driveAt(scanOffTheMainThread(), mount.mountPoint()), drive);
    QCOMPARE(m_log->seen(), QStringList{entry->source});
    // What was learned serves the explanation too.
    QCOMPARE(Drives::explanation(mount.mountPoint(), {}),
             QStringLiteral("This location (exFAT) is read-only, so you can copy files from it but not onto it."));
    QVERIFY(!m_log->onMainThread);

    // The same drive mounted again is probed again.
    QVERIFY2(mount.unmount(), qPrintable(mount.error()));
    QVERIFY(!driveAt(scanOffTheMainThread(), mount.mountPoint()));
    ScratchMount again(mount.name());
    QVERIFY2(again.mountExfatImage(false), qPrintable(again.error()));
    QVERIFY(driveAt(scanOffTheMainThread(), again.mountPoint()));
    QCOMPARE(m_log->seen().size(), 2);
    QVERIFY(!m_log->onMainThread);
}

int runFuseProbeTests(int argc, char **argv)
{
    FuseProbeTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "FuseProbeTest.moc"
