#include "platform/PrivateFolder.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

PrivateFolder PrivateFolder::check(const QString &path)
{
    PrivateFolder folder{path, QString()};
    struct stat info {};
    // lstat: a link is judged as the link, not as what it points to.
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        folder.problem = QStringLiteral("The folder “%1” can't be used: %2.")
                             .arg(path, QString::fromLocal8Bit(std::strerror(errno)));
    else if (S_ISLNK(info.st_mode))
        folder.problem = QStringLiteral("The folder “%1” is a link, not a folder of its own.").arg(path);
    else if (!S_ISDIR(info.st_mode))
        folder.problem = QStringLiteral("“%1” is not a folder.").arg(path);
    else if (info.st_uid != ::geteuid())
        folder.problem = QStringLiteral("The folder “%1” belongs to another user.").arg(path);
    else if ((info.st_mode & (S_IRWXG | S_IRWXO)) != 0)
        folder.problem = QStringLiteral("The folder “%1” is open to other users.").arg(path);
    return folder;
}

PrivateFolder PrivateFolder::make(const QString &path)
{
    if (::mkdir(QFile::encodeName(path).constData(), S_IRWXU) != 0 && errno != EEXIST)
        return {path, QStringLiteral("Could not create the folder “%1”: %2.")
                          .arg(path, QString::fromLocal8Bit(std::strerror(errno)))};
    return check(path);
}

PrivateFolder PrivateFolder::runtime()
{
    const QString runtimeFolder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (QDir::isAbsolutePath(runtimeFolder)) {
        PrivateFolder folder = check(QDir::cleanPath(runtimeFolder));
        if (folder.usable())
            return folder;
    }
    return temporary();
}

PrivateFolder PrivateFolder::temporary()
{
    return make(QDir(QDir::tempPath()).filePath(QStringLiteral("tessary-private-%1").arg(::geteuid())));
}
