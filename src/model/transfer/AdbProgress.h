#pragma once

#include <QString>
#include <optional>

// adb's own progress, "[ 42%]" at the start of a line, as a fraction: the last such
// percentage in the chunk (up to 100), or absent. A percentage elsewhere belongs to a
// file's name.
std::optional<double> adbReportedProgress(const QString &chunk);
