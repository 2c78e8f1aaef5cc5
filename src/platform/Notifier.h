#pragma once

#include <QString>

// Desktop notifications ("2 transfers finished.", "Backup connected").
class Notifier
{
public:
    virtual ~Notifier() = default;
    // Whether the desktop session has somewhere to show notifications; where it has not,
    // callers post nothing.
    virtual bool canNotify() = 0;
    // Posts at once; each call is a new notification. Returns without waiting for the desktop.
    virtual void notify(const QString &title, const QString &body, bool withSound) = 0;
};
