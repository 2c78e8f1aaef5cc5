#pragma once

#include "drives/DriveRules.h"
#include "drives/MountTable.h"

#include <QList>
#include <QSet>
#include <QString>

#include <optional>

// The Linux counterpart of statfs on one path: statvfs for the read-only flag, the mount
// table (/proc/self/mountinfo) for the type name, and for a FUSE mount the real type that
// the drive scan learned from its device (FuseTypes). Nothing here probes a device or
// waits for one: it is safe on the main thread.
namespace MountQuery {

// Absent when the path cannot be queried (it does not exist, or statvfs fails).
std::optional<DriveRules::MountState> query(const QString &path);

// The mount's read-only flag (ST_RDONLY); absent when statvfs fails.
std::optional<bool> readOnlyFlag(const QString &path);

// The kernel's mount table as it is now.
QList<MountEntry> mountTable();

// The mount's real type: its table name, or for a FUSE mount the type learned for it.
QString realType(const MountEntry &mount);

// The file-system types that need no device ("nodev" in /proc/filesystems: tmpfs, proc,
// overlay, nfs, fuse, ...).
QSet<QString> typesWithoutDevice();

// Whether `source` names a block device node.
bool isBlockDevice(const QString &source);

} // namespace MountQuery
