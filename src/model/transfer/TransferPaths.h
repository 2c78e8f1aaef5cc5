#pragma once

#include "model/transfer/TransferJob.h"

#include <QString>

// The last path component, ignoring trailing slashes: "/sdcard/tree/" gives "tree".
QString lastPathComponent(const QString &path);

// The destination argument given to `adb push` or `adb pull`: destDir joined with the
// target name, or without one destDir with a trailing "/", so that adb puts the item
// inside that folder under its own name.
QString destinationArgument(const TransferSpec &spec);

// The path a push (on the phone) or a pull (locally) writes, which progress measures.
QString destinationPath(const TransferSpec &spec);
