#pragma once

#include <QString>

// Wireless pairing came with adb 30 (platform-tools 30.0.0). An older adb refuses the
// command outright: "adb: unknown command pair".

// Whether adb's answer to "pair" (output then error) is that refusal.
bool adbLacksPairing(const QString &answer);

// What the user is told instead: that pairing needs adb 30 or newer, which adb was found
// (its path, and its version when known) and that connecting by address still works.
QString pairingNeedsNewerAdb(const QString &adbPath, const QString &version);
