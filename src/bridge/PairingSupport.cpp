#include "bridge/PairingSupport.h"

#include "bridge/TextLines.h"

bool adbLacksPairing(const QString &answer)
{
    for (const QString &line : splitLines(answer)) {
        if (trimBlanks(line).endsWith(QLatin1String("unknown command pair")))
            return true;
    }
    return false;
}

QString pairingNeedsNewerAdb(const QString &adbPath, const QString &version)
{
    const QString found = version.isEmpty()
        ? QStringLiteral("the adb found at %1 is older").arg(adbPath)
        : QStringLiteral("the adb found at %1 is version %2").arg(adbPath, version);
    return QStringLiteral("Pairing needs adb 30 or newer, and ") + found
        + QStringLiteral(". Install a newer adb (Android SDK Platform-Tools) to pair a phone; "
                         "connecting to an address still works with this one.");
}
