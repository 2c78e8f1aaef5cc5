#include "drives/Drives.h"

#include "common/NameOrder.h"
#include "drives/FuseTypes.h"
#include "drives/MountQuery.h"

#include <QFileInfo>
#include <QSet>
#include <QStorageInfo>

#include <algorithm>

namespace Drives {

QList<DriveInfo> scan()
{
    const QList<MountEntry> table = MountQuery::mountTable();
    // The one place that probes devices: each FUSE mount once, remembered while it stays.
    for (const MountEntry &mount : table) {
        if (MountQuery::isBlockDevice(mount.source))
            DriveRules::realFileSystemType(mount.fsType, [&mount] { return FuseTypes::learn(mount); });
    }
    FuseTypes::keepOnly(table);
    const QSet<QString> withoutDevice = MountQuery::typesWithoutDevice();

    QList<DriveInfo> drives;
    QSet<QString> seen;
    // QStorageInfo already leaves out the kernel's pseudo file systems (/proc, /sys, /dev ...).
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || !volume.isReady() || volume.isRoot())
            continue;
        const QString mountPath = volume.rootPath();
        if (!isExternalMountPath(mountPath))
            continue;
        // A mount point mounted over twice appears twice; the values are the top mount's.
        if (seen.contains(mountPath))
            continue;
        seen.insert(mountPath);

        const std::optional<MountEntry> mount = MountTable::topmost(table, mountPath);
        if (!mount
            || !DriveRules::isDriveMount(mount->fsType, MountQuery::isBlockDevice(mount->source), withoutDevice))
            continue;
        const QString realType = MountQuery::realType(*mount);
        if (DriveRules::isNetworkFileSystem(realType))
            continue;

        DriveInfo drive;
        drive.url = QUrl::fromLocalFile(mountPath);
        const std::optional<bool> readOnlyFlag = MountQuery::readOnlyFlag(mountPath);
        drive.fsType = readOnlyFlag ? realType : QString();
        drive.name = volume.name().isEmpty() ? QFileInfo(mountPath).fileName() : volume.name();
        drive.format = friendlyFormat(drive.fsType);
        drive.isReadOnly = readOnlyFlag.value_or(false) || volume.isReadOnly();
        drive.total = std::max<qint64>(volume.bytesTotal(), 0);
        drive.free = std::max<qint64>(volume.bytesAvailable(), 0);
        drives.append(drive);
    }
    std::stable_sort(drives.begin(), drives.end(), [](const DriveInfo &a, const DriveInfo &b) {
        return nameLess(a.name, b.name);
    });
    return drives;
}

bool isReadOnly(const QString &path)
{
    const QString existing = DriveRules::nearestExistingPath(
        path, [](const QString &candidate) { return QFileInfo::exists(candidate); });
    // Only the flag: the guard runs on the main thread before every write and move, and
    // needs nothing of the mount's type.
    return MountQuery::readOnlyFlag(existing).value_or(false);
}

QString explanation(const QString &forReadOnly, const QList<DriveInfo> &drives)
{
    if (Drives::drive(forReadOnly, drives))
        return DriveRules::explanationText(forReadOnly, drives, std::nullopt);
    return DriveRules::explanationText(forReadOnly, drives, MountQuery::query(forReadOnly));
}

} // namespace Drives
