#pragma once

#include <QString>

// Takes the user to where access to a folder the application may not read is granted.
class AccessSettings
{
public:
    virtual ~AccessSettings() = default;
    virtual void openFullDiskAccessSettings(const QString &blockedFolder) = 0;
};
