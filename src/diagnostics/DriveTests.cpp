#include "diagnostics/DriveTests.h"

#include "diagnostics/CheckLog.h"
#include "diagnostics/TestDiskImage.h"
#include "drives/Drives.h"

#include <QCoro/QCoroFuture>
#include <QCoro/QCoroTimer>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <chrono>

using namespace std::chrono_literals;

namespace DriveTests {

namespace {

// The scan reads every mount (and may probe a FUSE device), so it runs on a worker.
QCoro::Task<QList<DriveInfo>> scanned()
{
    co_return co_await QtConcurrent::run(&Drives::scan);
}

std::optional<DriveInfo> driveAt(const QList<DriveInfo> &drives, const QString &mountPoint)
{
    const auto found = std::find_if(drives.cbegin(), drives.cend(), [&](const DriveInfo &d) { return d.path() == mountPoint; });
    return found == drives.cend() ? std::nullopt : std::optional(*found);
}

// What a failed tool run says: its status and the last line it printed.
QString failure(const ShellResult &result)
{
    const QString said = result.out.trimmed().section(QLatin1Char('\n'), -1).trimmed();
    return result.code == 0 ? QString() : QStringLiteral("status %1%2").arg(result.code).arg(said.isEmpty() ? QString() : QStringLiteral(": ") + said);
}

DriveInfo backupDrive()
{
    DriveInfo drive;
    drive.url = QUrl::fromLocalFile(QStringLiteral("/media/Backup"));
    drive.name = QStringLiteral("Backup");
    drive.fsType = QStringLiteral("ntfs");
    drive.format = QStringLiteral("NTFS");
    drive.isReadOnly = true;
    drive.total = 500000000000;
    drive.free = 120000000000;
    return drive;
}

void pureChecks(CheckLog &log)
{
    using Drives::friendlyFormat;
    log.check(QStringLiteral("third-party NTFS drivers"),
              friendlyFormat(QStringLiteral("ntfs")) == QStringLiteral("NTFS") && friendlyFormat(QStringLiteral("ufsd_NTFS")) == QStringLiteral("NTFS")
                  && friendlyFormat(QStringLiteral("tuxera_ntfs")) == QStringLiteral("NTFS"));
    log.check(QStringLiteral("exfat / fat32 / apfs / hfs"),
              friendlyFormat(QStringLiteral("exfat")) == QStringLiteral("exFAT") && friendlyFormat(QStringLiteral("msdos")) == QStringLiteral("FAT")
                  && friendlyFormat(QStringLiteral("apfs")) == QStringLiteral("APFS")
                  && friendlyFormat(QStringLiteral("hfs")) == QStringLiteral("Mac OS Extended"));
    log.check(QStringLiteral("unknown names stay readable"),
              friendlyFormat(QStringLiteral("zzfs")) == QStringLiteral("ZZFS") && friendlyFormat(QString()) == QStringLiteral("Unknown"));

    const DriveInfo backup = backupDrive();
    DriveInfo stick = backup;
    stick.name = QStringLiteral("Stick");
    stick.url = QUrl::fromLocalFile(QStringLiteral("/media/Stick"));
    stick.fsType = QStringLiteral("exfat");
    stick.format = QStringLiteral("exFAT");
    const QString ntfsText = backup.readOnlyExplanation();
    log.check(QStringLiteral("NTFS drive is flagged"),
              ntfsText.contains(QStringLiteral("Backup")) && ntfsText.contains(QStringLiteral("can't write"))
                  && stick.readOnlyExplanation().contains(QStringLiteral("exFAT")));

    log.check(QStringLiteral("capacity text"), backup.capacityText().contains(QStringLiteral("free of")));

    const QList<DriveInfo> listed{backup};
    const auto holder = Drives::drive(QStringLiteral("/media/Backup/Movies/a.mkv"), listed);
    log.check(QStringLiteral("finds the drive that holds a path"),
              holder && holder->name == QStringLiteral("Backup") && !Drives::drive(QStringLiteral("/media/BackupOther/x"), listed));
}

}

QCoro::Task<int> run()
{
    CheckLog log;
    // Details explain failures; a passing line carries only its name.
    const auto check = [&log](const QString &name, bool ok, const QString &detail = {}) {
        log.check(name, ok, ok ? QString() : detail);
    };
    pureChecks(log);

    const QList<DriveInfo> atStart = co_await scanned();
    check(QStringLiteral("startup disk is not listed"), !driveAt(atStart, QStringLiteral("/")));
    check(QStringLiteral("startup disk is writable"), !Drives::isReadOnly(QStringLiteral("/")));

    TestDiskImage image;
    const ShellResult created = co_await image.create();
    check(QStringLiteral("created a test exFAT image"), created.code == 0, failure(created));

    const ShellResult attached = co_await image.attach(false);
    check(QStringLiteral("mount test image"), attached.code == 0, failure(attached));
    const QString mountPoint = image.mountPoint();
    const QString newFolder = mountPoint + QStringLiteral("/some/new/folder");

    const std::optional<DriveInfo> writable = driveAt(co_await scanned(), mountPoint);
    check(QStringLiteral("scan finds a newly mounted exFAT drive"), writable.has_value(), mountPoint);
    check(QStringLiteral("exFAT is recognised"), writable && writable->format == QStringLiteral("exFAT"),
              writable ? writable->format : QString());
    check(QStringLiteral("exFAT read-write is not flagged read-only"), writable && !writable->isReadOnly);
    check(QStringLiteral("capacity is read"), writable && writable->total > 0);
    check(QStringLiteral("write guard allows a writable drive"), attached.code == 0 && !Drives::isReadOnly(newFolder));

    co_await image.detach();
    co_await QCoro::sleepFor(800ms);
    check(QStringLiteral("scan no longer lists it after eject"), !driveAt(co_await scanned(), mountPoint));

    const ShellResult readOnly = co_await image.attach(true);
    check(QStringLiteral("mount test image read-only"), readOnly.code == 0, failure(readOnly));
    const QString roMountPoint = image.mountPoint();
    const QString roNewFolder = roMountPoint + QStringLiteral("/some/new/folder");
    const QList<DriveInfo> drives = co_await scanned();
    const std::optional<DriveInfo> locked = driveAt(drives, roMountPoint);
    check(QStringLiteral("read-only mount is detected"), locked && locked->isReadOnly);
    check(QStringLiteral("write guard blocks a read-only drive"), readOnly.code == 0 && Drives::isReadOnly(roNewFolder));
    const QString explained = Drives::explanation(roNewFolder, drives);
    check(QStringLiteral("read-only message names the drive"), explained.contains(image.volumeName()), explained);
    co_await image.detach();

    co_await image.cleanUp();

    if (log.failures() == 0)
        log.print(QStringLiteral("ALL DRIVE TESTS PASSED"));
    else
        log.print(QString::number(log.failures()) + QStringLiteral(" DRIVE TEST(S) FAILED"));
    co_return log.failures() == 0 ? 0 : 1;
}

}
