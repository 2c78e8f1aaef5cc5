#include "StallMeter.h"

#include <algorithm>

namespace {

constexpr int periodMs = 10;

} // namespace

StallMeter::StallMeter()
{
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(periodMs);
    connect(&m_timer, &QTimer::timeout, this, &StallMeter::tick);
}

void StallMeter::start()
{
    m_worst = 0;
    m_clock.start();
    m_last = m_clock.nsecsElapsed();
    m_timer.start();
}

void StallMeter::stop()
{
    m_timer.stop();
}

void StallMeter::tick()
{
    const qint64 now = m_clock.nsecsElapsed();
    const double late = double(now - m_last) / 1e9 - periodMs / 1000.0;
    m_worst = std::max(m_worst, late);
    m_last = now;
}
