#pragma once

#include "platform/Notifier.h"

// Notifications through the session's org.freedesktop.Notifications service.
class LinuxNotifier : public Notifier
{
public:
    bool canNotify() override;
    void notify(const QString &title, const QString &body, bool withSound) override;
};
