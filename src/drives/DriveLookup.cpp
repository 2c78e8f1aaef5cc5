#include "drives/Drives.h"

namespace Drives {

std::optional<DriveInfo> drive(const QString &containing, const QList<DriveInfo> &drives)
{
    std::optional<DriveInfo> best;
    qsizetype bestLength = -1;
    for (const DriveInfo &candidate : drives) {
        const QString mount = candidate.path();
        const bool holds = containing == mount
            || (containing.startsWith(mount) && containing.size() > mount.size()
                && containing.at(mount.size()) == QLatin1Char('/'));
        if (holds && mount.size() > bestLength) {
            best = candidate;
            bestLength = mount.size();
        }
    }
    return best;
}

bool isExternalMountPath(const QString &mountPath)
{
    static const QString roots[] = {QStringLiteral("/media"), QStringLiteral("/run/media"),
                                    QStringLiteral("/mnt")};
    for (const QString &root : roots) {
        if (mountPath == root
            || (mountPath.startsWith(root) && mountPath.size() > root.size()
                && mountPath.at(root.size()) == QLatin1Char('/')))
            return true;
    }
    return false;
}

} // namespace Drives
