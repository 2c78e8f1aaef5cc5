#include "Link.h"

#include <algorithm>
#include <cmath>

Link::Link(double throttleMBps, qint64 dropAfterBytes)
    : m_bytesPerMs(throttleMBps * 1000.0), m_dropAfter(dropAfterBytes)
{
    m_clock.start();
}

qint64 Link::reserve(qint64 bytes)
{
    if (m_bytesPerMs <= 0)
        return 0;
    const double now = double(m_clock.elapsed());
    m_busyUntilMs = std::max(m_busyUntilMs, now) + double(bytes) / m_bytesPerMs;
    return qint64(std::ceil(m_busyUntilMs - now));
}

bool Link::countFileBytes(qint64 bytes)
{
    if (m_dropAfter <= 0 || m_dropped)
        return false;
    m_fileBytes += bytes;
    if (m_fileBytes < m_dropAfter)
        return false;
    m_dropped = true;
    return true;
}
