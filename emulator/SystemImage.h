#pragma once

#include "EmulatorOptions.h"

#include <QString>

// Builds the phone's system image in a folder: /system/bin with toybox (Android's userland)
// and mksh (Android's shell), the phone's own commands (getprop, dumpsys, screencap, cmd, pm)
// with their data files, /etc/passwd with Android's user names, and the mount points of
// /storage, /data/local/tmp, /dev and /proc. The /sdcard and /storage/self/primary links point
// at /storage/emulated/0 as on a phone. toybox and mksh load this computer's libraries: the
// library folders that are links here are links in the image too; the real folders are
// returned in libraryFolders, to be bound read-only at the same place.
bool buildSystemImage(const EmulatorOptions &options, const QString &imageRoot, QStringList &libraryFolders,
                      QString &error);

// Where this computer's toybox and mksh are; false with error set when one is missing.
bool findUserland(QString &toybox, QString &mksh, QString &error);

// The text of `getprop` (one "[name]: [value]" line per property) and of `dumpsys battery`.
QByteArray propertiesText(const EmulatorOptions &options);
QByteArray batteryText(const EmulatorOptions &options);
