#include "model/LocalListing.h"

#include <QFile>

#include <cerrno>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

// Local time through localtime_r: QDateTime has the C library read the time zone file
// again for every conversion, which was most of the cost of listing a large folder.
QString modifiedText(const struct stat &info)
{
    struct tm local {};
    if (!localtime_r(&info.st_mtim.tv_sec, &local))
        return QString();
    char text[32];
    const size_t length = strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local);
    return QString::fromLatin1(text, qsizetype(length));
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
