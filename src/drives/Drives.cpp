#include "drives/Drives.h"

#include "common/NameOrder.h"
#include "drives/MountQuery.h"

#include <QFileInfo>
#include <QSet>
#include <QStorageInfo>

#include <algorithm>

namespace Drives {

QList<DriveInfo> scan()
{
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

        const QString tableType = QString::fromUtf8(volume.fileSystemType());
        const QString realType = MountQuery::realType(tableType, QString::fromUtf8(volume.device()));
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
    const auto mount = MountQuery::query(existing);
    return mount && mount->readOnly;
}

QString explanation(const QString &forReadOnly, const QList<DriveInfo> &drives)
{
    if (Drives::drive(forReadOnly, drives))
        return DriveRules::explanationText(forReadOnly, drives, std::nullopt);
    return DriveRules::explanationText(forReadOnly, drives, MountQuery::query(forReadOnly));
}

} // namespace Drives
