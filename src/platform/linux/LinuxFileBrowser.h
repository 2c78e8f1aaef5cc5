#pragma once

#include "platform/FileBrowser.h"

// Asks the file browser over D-Bus (org.freedesktop.FileManager1.ShowItems, one call for all
// the items) to show the items selected; without such a browser on the session bus, opens
// each folder that holds one of them instead.
class LinuxFileBrowser : public FileBrowser
{
public:
    void reveal(const QStringList &paths) override;
};
