#pragma once

#include <chrono>

// Seconds on the monotonic clock (the system's uptime), the time base of meter samples.
inline double uptime()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}
