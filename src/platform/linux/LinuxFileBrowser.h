#pragma once

#include "platform/FileBrowser.h"

// Asks the file browser over D-Bus (org.freedesktop.FileManager1.ShowItems) to show the item
// selected; without such a browser on the session bus, opens the item's folder instead.
class LinuxFileBrowser : public FileBrowser
{
public:
    void reveal(const QString &path) override;
};
