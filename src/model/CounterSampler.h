#pragma once

#include "bridge/ProcessIo.h"

#include <QTimer>

#include <chrono>
#include <functional>

// Follows one running adb child through its I/O counters: from start(), on the thread's event
// loop, every `interval` it reads them and reports the bytes the child has moved since it
// started (bytesMoved) and whether it read or wrote anything since the last reading. Reading
// the counters costs a few microseconds and the child nothing. Readings that fail (the child
// has just ended) are skipped. Stops when destroyed.
class CounterSampler
{
public:
    using Reading = std::function<void(qint64 moved, bool active)>;

    CounterSampler(qint64 pid, std::chrono::milliseconds interval, Reading onReading);
    CounterSampler(const CounterSampler &) = delete;
    CounterSampler &operator=(const CounterSampler &) = delete;

    // Takes the child's counters now as its starting point and reports 0 bytes moved; when
    // they cannot be read, reports nothing, now or later.
    void start();

private:
    void sample();

    qint64 m_pid;
    Reading m_onReading;
    QTimer m_timer;
    ProcessIo m_start;
    ProcessIo m_last;
};
