#pragma once

#include "platform/AccessSettings.h"

// Linux has no single switch that grants an application access to every file: a folder is
// unreadable because of its owner and permissions. The nearest place to change that is the
// folder itself in the file browser (its Properties, Permissions), so the folder is shown
// there, selected.
class LinuxAccessSettings : public AccessSettings
{
public:
    void openFullDiskAccessSettings(const QString &blockedFolder) override;
};
