#include "platform/DefaultServices.h"

#include "platform/DesktopLauncher.h"
#include "platform/Platform.h"
#include "platform/linux/LinuxAccessSettings.h"
#include "platform/linux/LinuxEjector.h"
#include "platform/linux/LinuxFileBrowser.h"
#include "platform/linux/LinuxNotifier.h"
#include "platform/linux/LinuxTrash.h"

void installDefaultServices(Platform &platform)
{
    platform.setTrash(std::make_unique<LinuxTrash>());
    platform.setLauncher(std::make_unique<DesktopLauncher>());
    platform.setFileBrowser(std::make_unique<LinuxFileBrowser>());
    platform.setNotifier(std::make_unique<LinuxNotifier>());
    platform.setAttention(std::make_unique<CallbackAttention>());
    platform.setAccessSettings(std::make_unique<LinuxAccessSettings>());
    platform.setEjector(std::make_unique<LinuxEjector>());
}
