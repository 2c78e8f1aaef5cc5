#pragma once

#include <QString>

#include <optional>

// Decides an `adb install` from its text (standard output then standard error): nullopt
// when it holds "Success", else the reason to fail with — the last line naming "Failure"
// or "Error", trimmed, or else the last meaningful line.
std::optional<QString> installFailure(const QString &text);
