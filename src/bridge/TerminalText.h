#pragma once

#include <QString>

// Removes terminal control sequences (CSI such as "\x1b[K", OSC, and two-character
// escapes) from text read off a pseudo-terminal, keeping everything else.
QString stripTerminalEscapes(const QString &text);
