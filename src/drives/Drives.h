#pragma once

#include "drives/DriveInfo.h"

#include <QList>
#include <QString>

#include <optional>

// Stateless functions over the computer's mounted volumes. All are safe on any thread;
// scan(), isReadOnly() and explanation() touch the file system (scan() may run blkid for a
// FUSE mount), so the main thread calls scan() through a worker.
namespace Drives {

// The mounted external volumes (mount points under /media, /run/media or /mnt), without
// network file systems, sorted by name in the shared name order.
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
