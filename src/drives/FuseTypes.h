#pragma once

#include "drives/MountTable.h"

#include <QList>
#include <QString>

#include <functional>
#include <optional>

// The real type of FUSE mounts over a disk (exfat-fuse and ntfs-3g mount as "fuse" or
// "fuseblk"), which only probing the device with blkid tells, and blkid may take seconds.
// So each mount is probed once, by the drive scan on a worker thread, and what it held is
// remembered until that mount goes away; everything else only reads what was learned.
// Safe on any thread.
namespace FuseTypes {

// What the device of this mount was found to hold (empty when the probe found nothing);
// absent when it was never probed. Never blocks.
std::optional<QString> known(const MountEntry &mount);

// The same, probing the device first unless the mount was probed before (blocking).
QString learn(const MountEntry &mount);

// Forgets every mount that is not in `table`, so a mount that comes back is probed again.
void keepOnly(const QList<MountEntry> &table);

// Tests only: probes with `probe` (given the device path) instead of blkid, or with blkid
// again when empty, and forgets what was learned.
void setProbeForTesting(std::function<QString(const QString &device)> probe);

} // namespace FuseTypes
