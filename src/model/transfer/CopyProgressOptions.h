#pragma once

#include "bridge/ProcessIoFile.h"

#include <chrono>

// How the worker follows a running push or pull. The defaults are the product's; tests
// choose others.
struct CopyProgressOptions
{
    // adb runs on plain pipes at its full speed and its child's I/O counters are sampled;
    // without them (where the system does not show them) adb runs on a pseudo-terminal,
    // which costs it more, and its own "[ nn%]" lines move the bar.
    bool counters = processIoReadable();
    // Often enough that even a copy of a second or two moves the bar in small steps; a
    // reading costs microseconds, the row's repaint a fraction of a millisecond.
    std::chrono::milliseconds sampleEvery{25};
    // How long the counters may stand still before the row says that no data moves.
    std::chrono::milliseconds stallAfter{15000};
};
