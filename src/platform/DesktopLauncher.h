#pragma once

#include "platform/Launcher.h"

// Opens through Qt's desktop services (xdg-open or the portal on Linux, the workspace on macOS).
class DesktopLauncher : public Launcher
{
public:
    bool open(const QUrl &url) override;
};
