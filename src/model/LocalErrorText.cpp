#include "model/LocalErrorText.h"

#include "common/FailureSentence.h"

#include <QFileInfo>

#include <cerrno>
#include <cstring>

QString localErrorText(const QString &action, const QString &path, int error)
{
    QString name = QFileInfo(path).fileName();
    if (name.isEmpty())
        name = path;
    return failureSentence(action, name, QString::fromLocal8Bit(std::strerror(error)));
}

QString fullDiskAccessExplanation()
{
    return QStringLiteral("macOS is blocking Tessary from reading this folder. Give Tessary "
                          "\u201CFull Disk Access\u201D and reopen the app.");
}

bool isPermissionError(int error)
{
    return error == EACCES || error == EPERM;
}
