#include "model/StartFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString computerStartFolder()
{
    const QString downloads = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    if (!downloads.isEmpty() && QFileInfo(downloads).isDir())
        return downloads;
    return QDir::homePath();
}
