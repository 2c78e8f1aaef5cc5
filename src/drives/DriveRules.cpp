#include "drives/DriveRules.h"

#include "drives/Drives.h"

#include <QDir>
#include <QSet>

namespace DriveRules {

QString nearestExistingPath(const QString &path, const std::function<bool(const QString &)> &exists)
{
    QString current = path.isEmpty() ? path : QDir::cleanPath(path);
    while (!current.isEmpty() && current != QLatin1String("/") && !exists(current)) {
        const qsizetype slash = current.lastIndexOf(QLatin1Char('/'));
        if (slash < 0)
            current.clear();
        else if (slash == 0)
            current = QStringLiteral("/");
        else
            current.truncate(slash);
    }
    return current;
}

QString explanationText(const QString &path, const QList<DriveInfo> &drives,
                        const std::optional<MountState> &mount)
{
    if (const auto found = Drives::drive(path, drives))
        return found->readOnlyExplanation();
    if (!mount)
        return QStringLiteral("This location is read-only.");
    const QString format = Drives::friendlyFormat(mount->fsType);
    if (format == QLatin1String("NTFS")) {
        return QStringLiteral("This location is on an NTFS volume. macOS can read NTFS but can't write "
                              "to it, so you can copy files from it, but not onto it.");
    }
    return QStringLiteral("This location (") + format
        + QStringLiteral(") is read-only, so you can copy files from it but not onto it.");
}

QString realFileSystemType(const QString &mountType, const std::function<QString()> &probeDevice)
{
    if (mountType.startsWith(QLatin1String("fuse.")) && mountType.size() > 5)
        return mountType.mid(5);
    if (mountType == QLatin1String("fuse") || mountType == QLatin1String("fuseblk")) {
        const QString probed = probeDevice().trimmed();
        return probed.isEmpty() ? mountType : probed;
    }
    return mountType;
}

bool isNetworkFileSystem(const QString &fsType)
{
    static const QSet<QString> network{
        QStringLiteral("nfs"),    QStringLiteral("nfs4"),     QStringLiteral("cifs"),
        QStringLiteral("smb3"),   QStringLiteral("smbfs"),    QStringLiteral("ncpfs"),
        QStringLiteral("afs"),    QStringLiteral("ceph"),     QStringLiteral("glusterfs"),
        QStringLiteral("9p"),     QStringLiteral("davfs"),    QStringLiteral("sshfs"),
        QStringLiteral("lustre"), QStringLiteral("curlftpfs"), QStringLiteral("rclone"),
    };
    return network.contains(fsType.toLower());
}

bool isDriveMount(const QString &mountType, bool sourceIsBlockDevice, const QSet<QString> &typesWithoutDevice)
{
    if (!sourceIsBlockDevice)
        return false;
    const QString base = mountType.section(QLatin1Char('.'), 0, 0);
    if (base == QLatin1String("fuse") || base == QLatin1String("fuseblk"))
        return true;
    return !typesWithoutDevice.contains(mountType);
}

} // namespace DriveRules
