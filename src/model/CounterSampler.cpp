#include "model/CounterSampler.h"

#include "bridge/ProcessIoFile.h"
#include "model/transfer/CounterBytes.h"

CounterSampler::CounterSampler(qint64 pid, std::chrono::milliseconds interval, Reading onReading)
    : m_pid(pid), m_onReading(std::move(onReading))
{
    m_timer.setInterval(interval);
    QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] { sample(); });
}

void CounterSampler::start()
{
    const std::optional<ProcessIo> first = readProcessIo(m_pid);
    if (!first)
        return;
    m_start = m_last = *first;
    m_timer.start();
    m_onReading(0, true);
}

void CounterSampler::sample()
{
    const std::optional<ProcessIo> now = readProcessIo(m_pid);
    if (!now)
        return;
    const bool active = *now != m_last;
    m_last = *now;
    m_onReading(bytesMoved(m_start, *now), active);
}
