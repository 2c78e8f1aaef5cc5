#include "drives/MountQuery.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QStorageInfo>

#include <sys/statvfs.h>

namespace {

// blkid lives in sbin, which an ordinary user's PATH often lacks. Without root it answers
// from its cache, or not at all, in which case the mount keeps its FUSE name.
QString probeDeviceType(const QString &device)
{
    if (!device.startsWith(QLatin1String("/dev/")) || !QFile::exists(device))
        return {};
    const QString blkid = QStandardPaths::findExecutable(
        QStringLiteral("blkid"), {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin"),
                                  QStringLiteral("/usr/bin"), QStringLiteral("/bin")});
    if (blkid.isEmpty())
        return {};
    QProcess process;
    process.start(blkid, {QStringLiteral("-o"), QStringLiteral("value"), QStringLiteral("-s"),
                          QStringLiteral("TYPE"), device});
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

} // namespace

namespace MountQuery {

QString realType(const QString &mountType, const QString &device)
{
    return DriveRules::realFileSystemType(mountType, [&device] { return probeDeviceType(device); });
}

std::optional<bool> readOnlyFlag(const QString &path)
{
    struct statvfs info {};
    if (path.isEmpty() || ::statvfs(QFile::encodeName(path).constData(), &info) != 0)
        return std::nullopt;
    return (info.f_flag & ST_RDONLY) != 0;
}

std::optional<DriveRules::MountState> query(const QString &path)
{
    const std::optional<bool> readOnly = readOnlyFlag(path);
    if (!readOnly)
        return std::nullopt;
    DriveRules::MountState state;
    state.readOnly = *readOnly;
    const QStorageInfo storage(path);
    if (storage.isValid())
        state.fsType = realType(QString::fromUtf8(storage.fileSystemType()),
                                QString::fromUtf8(storage.device()));
    return state;
}

} // namespace MountQuery
