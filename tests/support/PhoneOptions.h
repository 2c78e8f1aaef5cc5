#pragma once

#include <QString>
#include <QStringList>

// How one emulated phone looks and misbehaves; each field maps to one phone-emulator option.
struct PhoneOptions {
    QString model = QStringLiteral("EmuPhone 1");
    QString manufacturer = QStringLiteral("emu");
    QString androidVersion = QStringLiteral("14");
    int batteryLevel = 85;
    int batteryStatus = 2;          // 2 charging, 3 discharging, 5 full
    int temperatureTenths = 291;    // the phone reports tenths of a degree
    QStringList cards;              // volume ids such as "1A2B-3C4D", each shown at /storage/<id>
    int storageMb = 0;              // > 0 caps the internal storage (a tmpfs of that size)
    bool locked = false;            // screencap prints nothing
    bool rejectAuth = false;        // the phone never accepts the computer: "unauthorized"
    double throttleMBps = 0;        // > 0 limits the link speed of the phone's data streams
    qint64 dropAfterBytes = 0;      // > 0: the connection dies once after that many file bytes
    QStringList denyPaths;          // phone paths whose contents cannot be read ("Permission denied")
    int maxPayload = 0;             // > 0: the largest message the phone accepts (4096 to 1 MiB)
};
