#pragma once

#include <QString>

// Shows an item in the desktop's file browser.
class FileBrowser
{
public:
    virtual ~FileBrowser() = default;
    // Opens the folder holding `path` with the item selected, where the browser can do that.
    virtual void reveal(const QString &path) = 0;
};
