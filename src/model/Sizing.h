#pragma once

#include <QString>

#include <optional>

namespace Sizing {

// Reads the number from the phone's `stat -c %s` / `du -sk` output: the first line that is
// not empty, does not begin with "stat:" or "du:" and does not contain "No such" gives the
// value, its first blank-separated field read as a decimal integer that is not negative.
// Absent otherwise.
std::optional<qint64> parseStat(const QString &output);

// The same, in bytes: a folder's value (du's kibibytes) times 1024; 0 when absent or when
// the bytes would not fit in 64 bits.
qint64 parseStat(const QString &output, bool isDirectory);

// Recursive byte size of a local file or folder (0 when missing). Blocking: run it off
// the main thread.
qint64 local(const QString &path);

}
