#pragma once

#include <QString>

// Whether what `adb connect` or `adb pair` printed reports success. Both exit 0 after a
// refusal too, so only their words tell: "connected to …", "already connected to …",
// "Successfully paired to …".
bool wirelessSucceeded(const QString &said);
