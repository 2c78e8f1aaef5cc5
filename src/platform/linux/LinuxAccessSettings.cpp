#include "platform/linux/LinuxAccessSettings.h"

#include "platform/Platform.h"

void LinuxAccessSettings::openFullDiskAccessSettings(const QString &blockedFolder)
{
    Platform::instance().fileBrowser().reveal({blockedFolder});
}
