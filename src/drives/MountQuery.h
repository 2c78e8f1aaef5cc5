#pragma once

#include "drives/DriveRules.h"

#include <QString>

#include <optional>

// The Linux counterpart of statfs on one path: statvfs for the read-only flag, the mount
// table (through QStorageInfo) for the type name, and for a FUSE mount the real type that
// blkid finds on its device. Blocking: blkid may run for a FUSE mount.
namespace MountQuery {

// Absent when the path cannot be queried (it does not exist, or statvfs fails).
std::optional<DriveRules::MountState> query(const QString &path);

// The mount's read-only flag (ST_RDONLY); absent when statvfs fails.
std::optional<bool> readOnlyFlag(const QString &path);

// The real type of a mount whose table entry says `mountType`, probing `device` when needed.
QString realType(const QString &mountType, const QString &device);

} // namespace MountQuery
