#pragma once

#include <QStringList>

// Shows items in the desktop's file browser.
class FileBrowser
{
public:
    virtual ~FileBrowser() = default;
    // Opens the folders holding `paths` with those items selected, where the browser can do
    // that; the items are handed over together, in one request.
    virtual void reveal(const QStringList &paths) = 0;
};
