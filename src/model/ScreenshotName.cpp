#include "model/ScreenshotName.h"

QString screenshotFileName(const QDateTime &localTime)
{
    return QStringLiteral("Android Screenshot ")
        + localTime.toString(QStringLiteral("yyyy-MM-dd 'at' HH.mm.ss"))
        + QStringLiteral(".png");
}
