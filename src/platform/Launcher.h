#pragma once

#include <QUrl>

// Hands a file to its default application, or a URL to the desktop.
class Launcher
{
public:
    virtual ~Launcher() = default;
    // Whether the desktop accepted the request (not whether the application started).
    virtual bool open(const QUrl &url) = 0;
};
