#include "drives/Drives.h"

#include <QHash>

namespace Drives {

QString friendlyFormat(const QString &fsType)
{
    // Linux names sit beside the names other systems use for the same format: the kernel's
    // "vfat", "hfsplus" and "iso9660", and the FUSE mounts whose device could not be probed.
    static const QHash<QString, QString> exact{
        {QStringLiteral("exfat"), QStringLiteral("exFAT")},
        {QStringLiteral("msdos"), QStringLiteral("FAT")},
        {QStringLiteral("vfat"), QStringLiteral("FAT")},
        {QStringLiteral("apfs"), QStringLiteral("APFS")},
        {QStringLiteral("hfs"), QStringLiteral("Mac OS Extended")},
        {QStringLiteral("hfsplus"), QStringLiteral("Mac OS Extended")},
        {QStringLiteral("udf"), QStringLiteral("UDF")},
        {QStringLiteral("cd9660"), QStringLiteral("CD/DVD")},
        {QStringLiteral("iso9660"), QStringLiteral("CD/DVD")},
        {QStringLiteral("fusefs"), QStringLiteral("FUSE")},
        {QStringLiteral("macfuse"), QStringLiteral("FUSE")},
        {QStringLiteral("osxfuse"), QStringLiteral("FUSE")},
        {QStringLiteral("fuse"), QStringLiteral("FUSE")},
        {QStringLiteral("fuseblk"), QStringLiteral("FUSE")},
    };
    const QString lower = fsType.toLower();
    // "ntfs", "ntfs3" (the kernel driver) and the names of other NTFS drivers.
    if (lower.contains(QLatin1String("ntfs")))
        return QStringLiteral("NTFS");
    if (const auto it = exact.constFind(lower); it != exact.constEnd())
        return it.value();
    if (fsType.isEmpty())
        return QStringLiteral("Unknown");
    return fsType.toUpper();
}

} // namespace Drives
