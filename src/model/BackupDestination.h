#pragma once

#include "bridge/AndroidDevice.h"

#include <QString>

// The folder a phone's photos are backed up into: home + "/Pictures/Tessary Backup/" and the
// phone's model (its serial when the model is empty), every "/" made a "-".
QString backupDestination(const QString &home, const AndroidDevice &device);

// A backed-up phone path without "/storage/emulated/0/": where it goes below the destination.
QString backupRelative(const QString &remote);
