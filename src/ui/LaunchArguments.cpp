#include "ui/LaunchArguments.h"

#include <QDir>
#include <QUrl>

QStringList apksToInstall(const QStringList &arguments, const QString &workingFolder)
{
    QStringList apks;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        QString path = arguments[i];
        if (path.startsWith(QLatin1Char('-')))
            continue;
        if (const QUrl url(path); !url.scheme().isEmpty()) {
            if (!url.isLocalFile())
                continue;
            path = url.toLocalFile();
        }
        if (path.endsWith(QLatin1String(".apk"), Qt::CaseInsensitive))
            apks << QDir::cleanPath(QDir(workingFolder).absoluteFilePath(path));
    }
    return apks;
}
