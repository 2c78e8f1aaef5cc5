#pragma once

#include <QString>

// The tool's version from what `adb version` prints:
//   Android Debug Bridge version 1.0.41
//   Version 29.0.6-debian
//   Installed as /usr/lib/android-sdk/platform-tools/adb
// The platform-tools release of the "Version" line ("29.0.6-debian"); the protocol version
// of the first line where an older adb prints no such line ("1.0.39"); empty when neither.
QString adbVersion(const QString &versionOutput);
