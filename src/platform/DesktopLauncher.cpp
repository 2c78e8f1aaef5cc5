#include "platform/DesktopLauncher.h"

#include <QDesktopServices>

bool DesktopLauncher::open(const QUrl &url)
{
    return QDesktopServices::openUrl(url);
}
