#pragma once

#include <QElapsedTimer>

// The emulated link's faults, shared by all connections of one phone: a speed limit and a
// connection that dies once after a number of file bytes.
class Link {
public:
    Link(double throttleMBps, qint64 dropAfterBytes);

    // Books bytes on the link; returns how many milliseconds to wait until they have passed.
    qint64 reserve(qint64 bytes);
    // Counts file bytes; true exactly once, when the drop threshold is reached.
    bool countFileBytes(qint64 bytes);

private:
    double m_bytesPerMs = 0;
    qint64 m_dropAfter = 0;
    qint64 m_fileBytes = 0;
    bool m_dropped = false;
    double m_busyUntilMs = 0;
    QElapsedTimer m_clock;
};
