#include "model/LocalListing.h"

#include <QDateTime>
#include <QFile>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

QString modifiedText(const struct stat &info)
{
    const qint64 ms = qint64(info.st_mtim.tv_sec) * 1000 + info.st_mtim.tv_nsec / 1000000;
    return QDateTime::fromMSecsSinceEpoch(ms).toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}

} // namespace

LocalListing LocalListing::read(const QString &folder, bool showHidden)
{
    LocalListing result;
    const QByteArray encodedFolder = QFile::encodeName(folder);
    DIR *dir = opendir(encodedFolder.constData());
    if (!dir) {
        result.error = errno;
        return result;
    }
    const int dirFd = dirfd(dir);
    const QString prefix = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');

    for (;;) {
        errno = 0;
        const dirent *child = readdir(dir);
        if (!child) {
            result.error = errno;
            break;
        }
        const char *raw = child->d_name;
        if (qstrcmp(raw, ".") == 0 || qstrcmp(raw, "..") == 0)
            continue;
        if (!showHidden && raw[0] == '.')
            continue;

        FileEntry entry;
        entry.name = QFile::decodeName(raw);
        entry.path = prefix + entry.name;

        // A child whose attributes cannot be read is still listed: a file, size 0, no date.
        struct stat info {};
        if (fstatat(dirFd, raw, &info, AT_SYMLINK_NOFOLLOW) == 0) {
            entry.isDirectory = S_ISDIR(info.st_mode);
            entry.size = entry.isDirectory ? 0 : qint64(info.st_size);
            entry.modified = modifiedText(info);
            if (S_ISLNK(info.st_mode)) {
                struct stat target {};
                entry.isDirectory = fstatat(dirFd, raw, &target, 0) == 0 && S_ISDIR(target.st_mode);
            }
        }
        result.rows.append(entry);
    }
    closedir(dir);
    if (result.error != 0)
        result.rows.clear();
    return result;
}
