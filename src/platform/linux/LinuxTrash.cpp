#include "platform/linux/LinuxTrash.h"

#include <QFile>
#include <QFileInfo>

std::optional<QString> LinuxTrash::moveToTrash(const QString &path)
{
    QFile file(path);
    if (file.moveToTrash())
        return std::nullopt;
    // The system's reason alone ("Operation not permitted") does not say what failed.
    return QStringLiteral("\u201C") + QFileInfo(path).fileName()
        + QStringLiteral("\u201D couldn't be moved to the Trash: ") + file.errorString()
        + QLatin1Char('.');
}
