#pragma once

#include <QCoro/QCoroTask>
#include <QString>

#include <optional>

// Unmounts an external volume and, where the hardware allows, powers it off.
class Ejector
{
public:
    virtual ~Ejector() = default;
    // Runs without blocking the calling thread. Nothing on success; otherwise the message of
    // the tool that failed, to be shown after "Couldn't eject “name”: ".
    virtual QCoro::Task<std::optional<QString>> eject(const QString &mountPath) = 0;
};
