#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The phone-emulator's command line.
struct EmulatorOptions {
    QString root;                    // the folder backing the phone's file system
    quint16 port = 0;                // 0: pick a free port outside 5555–5585
    QString model = QStringLiteral("EmuPhone 1");
    QString manufacturer = QStringLiteral("emu");
    QString androidVersion = QStringLiteral("14");
    int batteryLevel = 85;
    int batteryStatus = 2;
    int temperatureTenths = 291;
    QStringList cards;
    int storageMb = 0;
    bool locked = false;
    bool rejectAuth = false;
    double throttleMBps = 0;
    qint64 dropAfterBytes = 0;
    QStringList denyPaths;
    quint32 maxPayload = 1024 * 1024;
};

// Parses the arguments (without the program name). On a usage error returns nothing and sets
// error to the message to print.
std::optional<EmulatorOptions> parseEmulatorOptions(const QStringList &arguments, QString &error);
QString emulatorUsage();
