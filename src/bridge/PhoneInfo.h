#pragma once

#include <QMetaType>
#include <QString>

#include <optional>

// What the phone information sheet shows. Texts are empty and optionals absent when
// the phone did not report them.
struct PhoneInfo
{
    QString manufacturer;  // each word capitalised
    QString model;
    QString androidVersion;
    std::optional<int> batteryLevel;
    bool charging = false; // charging or full
    std::optional<double> temperatureC;
    QString serial;

    bool operator==(const PhoneInfo &) const = default;
};

Q_DECLARE_METATYPE(PhoneInfo)
