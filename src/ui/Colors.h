#pragma once

#include <QColor>

// The few fixed colours of the window's status texts.
namespace Colors {
inline QColor warning() { return QColor(0xe6, 0x7e, 0x00); }
inline QColor success() { return QColor(0x2e, 0x9d, 0x45); }
inline QColor failure() { return QColor(0xd0, 0x2b, 0x2b); }
} // namespace Colors
