#include "DriveTests.h"
#include "Patience.h"

#include "ScratchMount.h"
#include "drives/Drives.h"
#include "drives/MountWatcher.h"
#include "platform/Platform.h"

#include <QCoro/QCoroTask>
#include <QProcess>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

#include <memory>
#include <vector>

namespace {

std::optional<DriveInfo> scanned(const QString &mountPoint)
{
    for (const DriveInfo &drive : Drives::scan()) {
        if (drive.path() == mountPoint)
            return drive;
    }
    return std::nullopt;
}

bool rootUser()
{
    return ::geteuid() == 0;
}

} // namespace

#define REQUIRE_ROOT()                                                                             \
    do {                                                                                           \
        if (!rootUser())                                                                           \
            QSKIP("mounting a test volume under /media needs root");                              \
    } while (false)

#define REQUIRE_MOUNTED(call, mount)                                                               \
    do {                                                                                           \
        if (!(call))                                                                               \
            QFAIL(qPrintable(QStringLiteral("could not mount the test volume: ") + (mount).error())); \
    } while (false)

class RealMountTest : public QObject
{
    Q_OBJECT
private slots:
    void startupDiskIsNeverListed();
    void systemDiskIsWritable();
    void unqueryablePathGetsTheGenericExplanation();
    void ejectFailureCarriesTheToolsMessage();

    void readOnly_data();
    void memoryFileSystemIsNoDrive_data();
    void memoryFileSystemIsNoDrive();
    void exfatImage_data();
    void exfatImage();
    void explanationOffTheDriveListQueriesTheMount();
    void scanSortsByName();
    void watcherSeesMountChanges();
    void ejectUnmounts();
};

void RealMountTest::startupDiskIsNeverListed()
{
    for (const DriveInfo &drive : Drives::scan()) {
        QVERIFY(drive.path() != QLatin1String("/"));
        QVERIFY2(Drives::isExternalMountPath(drive.path()), qPrintable(drive.path()));
    }
}

void RealMountTest::systemDiskIsWritable()
{
    QVERIFY(!Drives::isReadOnly(QStringLiteral("/")));
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    QVERIFY(!Drives::isReadOnly(folder.filePath(QStringLiteral("not/made/yet"))));
}

void RealMountTest::unqueryablePathGetsTheGenericExplanation()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    QCOMPARE(Drives::explanation(folder.filePath(QStringLiteral("missing")), {}),
             QStringLiteral("This location is read-only."));
}

void RealMountTest::ejectFailureCarriesTheToolsMessage()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const std::optional<QString> failure =
        QCoro::waitFor(Platform::instance().ejector().eject(folder.path()));
    QVERIFY(failure.has_value());
    // umount names the folder it refused ("umount: /tmp/x: not mounted.").
    QVERIFY2(failure->contains(folder.path()), qPrintable(*failure));
}

void RealMountTest::readOnly_data()
{
    QTest::addColumn<bool>("readOnly");
    QTest::newRow("read-write") << false;
    QTest::newRow("read-only") << true;
}

void RealMountTest::memoryFileSystemIsNoDrive_data()
{
    readOnly_data();
}

void RealMountTest::memoryFileSystemIsNoDrive()
{
    REQUIRE_ROOT();
    QFETCH(bool, readOnly);
    ScratchMount mount;
    REQUIRE_MOUNTED(mount.mountTmpfs(readOnly), mount);

    // A tmpfs under /media holds no disk: it is never offered as a drive.
    QVERIFY(!scanned(mount.mountPoint()));
    // The write guard still follows the mount itself.
    QCOMPARE(Drives::isReadOnly(mount.mountPoint() + QStringLiteral("/new/folder")), readOnly);
    QVERIFY(!Drives::isReadOnly(QStringLiteral("/media")));
}

void RealMountTest::exfatImage_data()
{
    readOnly_data();
}

void RealMountTest::exfatImage()
{
    REQUIRE_ROOT();
    QFETCH(bool, readOnly);
    ScratchMount mount;
    REQUIRE_MOUNTED(mount.mountExfatImage(readOnly), mount);

    // exfat-fuse mounts as "fuseblk": the scan has to find the real type on the device.
    const std::optional<DriveInfo> drive = scanned(mount.mountPoint());
    QVERIFY(drive);
    QCOMPARE(drive->fsType, QStringLiteral("exfat"));
    QCOMPARE(drive->format, QStringLiteral("exFAT"));
    QCOMPARE(drive->isReadOnly, readOnly);
    QVERIFY(drive->total > 0);
    QVERIFY(drive->capacityText().contains(QStringLiteral(" free of ")));

    const QString newFolder = mount.mountPoint() + QStringLiteral("/DCIM/new");
    QCOMPARE(Drives::isReadOnly(newFolder), readOnly);
    if (readOnly) {
        const QString text = Drives::explanation(newFolder, Drives::scan());
        QVERIFY2(text.contains(QStringLiteral("\u201C") + drive->name + QStringLiteral("\u201D (exFAT)")),
                 qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("write-protect switch")));
    }

    QVERIFY2(mount.unmount(), qPrintable(mount.error()));
    QVERIFY(!scanned(mount.mountPoint()));
}

void RealMountTest::explanationOffTheDriveListQueriesTheMount()
{
    REQUIRE_ROOT();
    ScratchMount mount;
    REQUIRE_MOUNTED(mount.mountTmpfs(true), mount);
    QCOMPARE(Drives::explanation(mount.mountPoint(), {}),
             QStringLiteral("This location (TMPFS) is read-only, so you can copy files from it but not onto it."));
}

void RealMountTest::scanSortsByName()
{
    REQUIRE_ROOT();
    // exFAT labels hold 11 characters.
    const QString stem = QStringLiteral("S%1-").arg(QRandomGenerator::global()->generate() % 10000);
    const QStringList mountOrder{stem + QStringLiteral("B"), stem + QStringLiteral("10"),
                                 stem + QStringLiteral("a"), stem + QStringLiteral("2")};
    std::vector<std::unique_ptr<ScratchMount>> mounts;
    for (const QString &name : mountOrder) {
        mounts.push_back(std::make_unique<ScratchMount>(name));
        REQUIRE_MOUNTED(mounts.back()->mountExfatImage(false), *mounts.back());
    }
    QStringList names;
    for (const DriveInfo &drive : Drives::scan()) {
        if (drive.name.startsWith(stem))
            names.append(drive.name.mid(stem.size()));
    }
    QCOMPARE(names, (QStringList{"2", "10", "a", "B"}));
}

void RealMountTest::watcherSeesMountChanges()
{
    REQUIRE_ROOT();
    MountWatcher watcher;
    QSignalSpy mounted(&watcher, &MountWatcher::mounted);
    QSignalSpy unmounted(&watcher, &MountWatcher::unmounted);
    QSignalSpy renamed(&watcher, &MountWatcher::renamed);
    QSignalSpy remounted(&watcher, &MountWatcher::remounted);
    QSignalSpy changed(&watcher, &MountWatcher::mountsChanged);

    ScratchMount mount;
    REQUIRE_MOUNTED(mount.mountTmpfs(false), mount);
    QTRY_COMPARE_WITH_TIMEOUT(mounted.size(), 1, kPatienceMs);
    QCOMPARE(mounted.at(0).at(0).toString(), mount.mountPoint());
    QVERIFY(changed.size() >= 1);

    QProcess remount;
    remount.start(QStringLiteral("mount"), {QStringLiteral("-o"), QStringLiteral("remount,ro"), mount.mountPoint()});
    QVERIFY(remount.waitForFinished() && remount.exitCode() == 0);
    QTRY_COMPARE_WITH_TIMEOUT(remounted.size(), 1, kPatienceMs);
    QCOMPARE(remounted.at(0).at(0).toString(), mount.mountPoint());

    const QString oldPoint = mount.mountPoint();
    QVERIFY2(mount.moveTo(mount.name() + QStringLiteral("-renamed")), qPrintable(mount.error()));
    QTRY_COMPARE_WITH_TIMEOUT(renamed.size(), 1, kPatienceMs);
    QCOMPARE(renamed.at(0).at(0).toString(), oldPoint);
    QCOMPARE(renamed.at(0).at(1).toString(), mount.mountPoint());

    QVERIFY2(mount.unmount(), qPrintable(mount.error()));
    QTRY_COMPARE_WITH_TIMEOUT(unmounted.size(), 1, kPatienceMs);
    QCOMPARE(unmounted.at(0).at(0).toString(), mount.mountPoint());
    QCOMPARE(mounted.size(), 1);
}

void RealMountTest::ejectUnmounts()
{
    REQUIRE_ROOT();
    ScratchMount mount;
    REQUIRE_MOUNTED(mount.mountExfatImage(false), mount);
    QVERIFY(scanned(mount.mountPoint()));
    MountWatcher watcher;
    QSignalSpy unmounted(&watcher, &MountWatcher::unmounted);

    const std::optional<QString> failure =
        QCoro::waitFor(Platform::instance().ejector().eject(mount.mountPoint()));
    QVERIFY2(!failure, qPrintable(failure.value_or(QString())));
    QTRY_COMPARE_WITH_TIMEOUT(unmounted.size(), 1, kPatienceMs);
    QVERIFY(!scanned(mount.mountPoint()));
}

int runRealMountTests(int argc, char **argv)
{
    RealMountTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "RealMountTest.moc"
