#include "platform/Platform.h"

#include "platform/DefaultServices.h"

Platform &Platform::instance()
{
    static Platform platform;
    return platform;
}

Platform::Platform()
{
    restoreDefaults();
}

void Platform::restoreDefaults()
{
    installDefaultServices(*this);
}
