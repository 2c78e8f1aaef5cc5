#pragma once

#include "EmulatorOptions.h"

#include <QString>

// Builds the phone's system image in a folder: /system/bin with toybox (Android's userland)
// and mksh (Android's shell) and the libraries they load, the phone's own commands (getprop,
// dumpsys, screencap, cmd, pm) with their data files, /etc/passwd with Android's user names,
// and the mount points of /storage, /data/local/tmp, /dev and /proc. The /sdcard and
// /storage/self/primary links point at /storage/emulated/0 as on a phone.
bool buildSystemImage(const EmulatorOptions &options, const QString &imageRoot, QString &error);

// The text of `getprop` (one "[name]: [value]" line per property) and of `dumpsys battery`.
QByteArray propertiesText(const EmulatorOptions &options);
QByteArray batteryText(const EmulatorOptions &options);
