#pragma once

#include "drives/DriveInfo.h"

#include <QList>
#include <QSet>
#include <QString>

#include <functional>
#include <optional>

// The decisions behind Drives that need no file system, kept apart so they can be tested
// with made-up mounts.
namespace DriveRules {

// What one query of a mount tells: its real type name and whether it is mounted read-only.
struct MountState
{
    QString fsType;
    bool readOnly = false;
};

// The path itself if `exists` says so, else its nearest ancestor that exists; "/" ends the
// walk for an absolute path, the empty string for a relative one.
QString nearestExistingPath(const QString &path, const std::function<bool(const QString &)> &exists);

// The read-only explanation for `path`: the containing drive's own text, else one built from
// the mount query of the path (absent when the query failed).
QString explanationText(const QString &path, const QList<DriveInfo> &drives,
                        const std::optional<MountState> &mount);

// The type a FUSE mount really holds. "fuse.sshfs" names it after the dot; a plain "fuse" or
// "fuseblk" mount (exfat-fuse, ntfs-3g) only knows it from probing its device, which
// `probeDevice` does (returning empty when the probe fails, which keeps the FUSE name).
// Other types come back unchanged.
QString realFileSystemType(const QString &mountType, const std::function<QString()> &probeDevice);

// Network file systems are not local drives and are never listed.
bool isNetworkFileSystem(const QString &fsType);

// Whether a mount is a drive: a file system on a block device (a disk, a card, a disk image
// on a loop device), or a FUSE driver's over one (exfat-fuse, ntfs-3g). Memory file systems
// (tmpfs, ramfs), overlays, the kernel's pseudo file systems and network shares are not,
// whatever their source says: their types need no device. `typesWithoutDevice` are the
// kernel's "nodev" types, among which FUSE itself.
bool isDriveMount(const QString &mountType, bool sourceIsBlockDevice, const QSet<QString> &typesWithoutDevice);

} // namespace DriveRules
