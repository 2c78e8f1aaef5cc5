#include "drives/MountQuery.h"

#include "drives/FuseTypes.h"

#include <QFile>
#include <QStorageInfo>

#include <sys/stat.h>
#include <sys/statvfs.h>

namespace {

QByteArray readProcFile(const char *path)
{
    // Files under /proc report size 0: read to the end.
    QFile file(QString::fromLatin1(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

namespace MountQuery {

std::optional<bool> readOnlyFlag(const QString &path)
{
    struct statvfs info {};
    if (path.isEmpty() || ::statvfs(QFile::encodeName(path).constData(), &info) != 0)
        return std::nullopt;
    return (info.f_flag & ST_RDONLY) != 0;
}

QList<MountEntry> mountTable()
{
    return MountTable::parse(readProcFile("/proc/self/mountinfo"));
}

QString realType(const MountEntry &mount)
{
    return DriveRules::realFileSystemType(
        mount.fsType, [&mount] { return FuseTypes::known(mount).value_or(QString()); });
}

std::optional<DriveRules::MountState> query(const QString &path)
{
    const std::optional<bool> readOnly = readOnlyFlag(path);
    if (!readOnly)
        return std::nullopt;
    DriveRules::MountState state;
    state.readOnly = *readOnly;
    const QStorageInfo storage(path);
    if (!storage.isValid())
        return state;
    state.fsType = QString::fromUtf8(storage.fileSystemType());
    if (const std::optional<MountEntry> mount = MountTable::topmost(mountTable(), storage.rootPath()))
        state.fsType = realType(*mount);
    return state;
}

QSet<QString> typesWithoutDevice()
{
    // Lines such as "nodev\ttmpfs" and "\text4".
    QSet<QString> types;
    for (const QByteArray &line : readProcFile("/proc/filesystems").split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() == 2 && fields.first() == "nodev")
            types.insert(QString::fromLatin1(fields.last()));
    }
    return types;
}

bool isBlockDevice(const QString &source)
{
    struct stat info {};
    return source.startsWith(QLatin1Char('/')) && ::stat(QFile::encodeName(source).constData(), &info) == 0
        && S_ISBLK(info.st_mode);
}

} // namespace MountQuery
