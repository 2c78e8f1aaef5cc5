#pragma once

#include "bridge/AndroidDevice.h"

#include <QList>
#include <QString>

// Reads the device lines of `adb devices -l` (standard output only), in printed order.
QList<AndroidDevice> parseDeviceList(const QString &output);
