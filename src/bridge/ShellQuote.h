#pragma once

#include <QString>

// Quotes a path as one word of an `adb shell` command string: single quotes around it,
// each "'" written as '\''. Nothing else is escaped.
QString shellQuote(const QString &path);
