#include "model/DragFolder.h"

#include <QDir>
#include <QFile>

#include <sys/stat.h>
#include <unistd.h>

namespace DragFolder {

QString path()
{
    const PrivateFolder base = PrivateFolder::temporary();
    return base.usable() ? QDir(base.path).filePath(QStringLiteral("TessaryDrag")) : QString();
}

PrivateFolder prepare()
{
    const PrivateFolder base = PrivateFolder::temporary();
    if (!base.usable())
        return base;
    return PrivateFolder::make(QDir(base.path).filePath(QStringLiteral("TessaryDrag")));
}

void clear()
{
    const QString folder = path();
    if (folder.isEmpty())
        return;
    struct stat info {};
    if (::lstat(QFile::encodeName(folder).constData(), &info) != 0)
        return;
    if (!S_ISDIR(info.st_mode)) {
        ::unlink(QFile::encodeName(folder).constData());
        return;
    }
    // removeRecursively removes the links it meets inside, without entering them.
    if (info.st_uid == ::geteuid())
        QDir(folder).removeRecursively();
}

} // namespace DragFolder
