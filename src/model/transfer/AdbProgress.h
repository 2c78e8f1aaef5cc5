#pragma once

#include <QString>
#include <optional>

// adb's own progress, "[ 42%]", as a fraction: the last percentage in the chunk, or absent.
std::optional<double> adbReportedProgress(const QString &chunk);
