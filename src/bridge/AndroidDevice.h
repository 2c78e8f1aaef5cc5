#pragma once

#include <QHashFunctions>
#include <QMetaType>
#include <QString>

// One device line of `adb devices -l`. Identity (for lists and selection) is `serial`.
struct AndroidDevice
{
    QString serial;
    QString state; // the state word as adb prints it; "device" means authorized and usable
    QString model; // the "model:" field unchanged (underscores kept); empty when absent

    // The model with "_" shown as spaces (or the serial when there is no model),
    // followed by " (state)" unless the state is "device".
    QString displayName() const;

    bool operator==(const AndroidDevice &) const = default;
};

inline size_t qHash(const AndroidDevice &d, size_t seed = 0)
{
    return qHashMulti(seed, d.serial, d.state, d.model);
}

Q_DECLARE_METATYPE(AndroidDevice)
