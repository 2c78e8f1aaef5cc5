#pragma once

#include "drives/DriveInfo.h"

#include <QList>
#include <QString>

#include <optional>

// Functions over the computer's mounted volumes, safe on any thread. scan() may run blkid
// (once for each new FUSE mount), so the main thread calls it through a worker;
// isReadOnly() and explanation() only read the file system's own answers.
namespace Drives {

// The mounted external drives (mount points under /media, /run/media or /mnt backed by a
// block device, DriveRules::isDriveMount), sorted by name in the shared name order.
QList<DriveInfo> scan();

// Display name of a file-system type name, e.g. "exfat" -> "exFAT", "vfat" -> "FAT".
QString friendlyFormat(const QString &fsType);

// The drive whose mount path equals `path` or is a folder prefix of it; the deepest mount wins,
// and among equally long mount paths the earliest in `drives`.
std::optional<DriveInfo> drive(const QString &containing, const QList<DriveInfo> &drives);

// True when a write at `path` would land on a read-only mount. A path that does not exist yet
// takes the state of its nearest existing ancestor. A failed query gives false.
bool isReadOnly(const QString &path);

// The sentence to show when isReadOnly(path) said yes.
QString explanation(const QString &forReadOnly, const QList<DriveInfo> &drives);

// Whether a mount point counts as an external drive: /media, /run/media or /mnt and anything
// below them. Used by scan() and by the mount watcher, and by the model to tell whether the
// computer pane shows a folder on a drive.
bool isExternalMountPath(const QString &mountPath);

} // namespace Drives
