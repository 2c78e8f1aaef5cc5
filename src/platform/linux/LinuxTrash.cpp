#include "platform/linux/LinuxTrash.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace {

QString failure(const QString &path, const QString &reason)
{
    // The system's reason alone ("Operation not permitted") does not say what failed.
    return QStringLiteral("\u201C") + QFileInfo(path).fileName()
        + QStringLiteral("\u201D couldn't be moved to the Trash: ") + reason + QLatin1Char('.');
}

// Makes `folder` and each missing folder above it with mode 0700. The reason it could not,
// or nothing once the folder is there.
std::optional<QString> makePrivateFolder(const QString &folder)
{
    QStringList missing;
    QString current = QDir::cleanPath(folder);
    while (!QFileInfo(current).isDir()) {
        missing.prepend(current);
        const QString parent = QFileInfo(current).path();
        if (parent == current)
            break;
        current = parent;
    }
    for (const QString &step : std::as_const(missing)) {
        if (::mkdir(QFile::encodeName(step).constData(), 0700) != 0 && errno != EEXIST)
            return QStringLiteral("the Trash folder %1 could not be created (%2)")
                .arg(folder, QString::fromLocal8Bit(std::strerror(errno)));
    }
    if (!QFileInfo(folder).isDir())
        return QStringLiteral("%1 is not a folder").arg(folder);
    return std::nullopt;
}

} // namespace

std::optional<QString> LinuxTrash::moveToTrash(const QString &path)
{
    // Qt asks the same place for the user's data folder ($XDG_DATA_HOME, else
    // ~/.local/share). A relative one would put the trash under the working folder.
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (dataHome.isEmpty() || QDir::isRelativePath(dataHome))
        return failure(path, QStringLiteral("there is no folder for the user's Trash"));
    if (const std::optional<QString> reason = makePrivateFolder(dataHome + QStringLiteral("/Trash")))
        return failure(path, *reason);

    QFile file(path);
    if (file.moveToTrash())
        return std::nullopt;
    return failure(path, file.errorString());
}
