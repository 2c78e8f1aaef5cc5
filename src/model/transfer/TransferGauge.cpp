#include "model/transfer/TransferGauge.h"

#include <algorithm>
#include <cmath>

namespace {

// The bar stays short of full until the outcome is known.
constexpr double highestProgress = 0.99;

} // namespace

void TransferGauge::setTotal(qint64 total)
{
    m_total = std::max<qint64>(0, total);
    m_totalKnown = true;
    updateProgress();
}

void TransferGauge::polled(double now, qint64 bytes)
{
    if (!m_counted)
        add(now, bytes);
}

void TransferGauge::reported(double now, double fraction)
{
    if (!m_counted && m_total > 0)
        add(now, std::llround(std::clamp(fraction, 0.0, 1.0) * double(m_total)));
}

void TransferGauge::counted(double now, qint64 bytes, bool active)
{
    if (!m_counted || active)
        m_lastActivity = now;
    m_counted = true;
    add(now, bytes);
}

void TransferGauge::add(double now, qint64 bytes)
{
    m_bytes = std::max(m_bytes, bytes);
    TransferMeter::record(m_samples, now, m_bytes);
    updateProgress();
}

void TransferGauge::updateProgress()
{
    if (m_total > 0)
        m_progress = std::max(m_progress, std::min(highestProgress, double(m_bytes) / double(m_total)));
}

bool TransferGauge::isStalled(double now) const
{
    return m_counted && now - m_lastActivity >= m_stallAfter;
}

QString TransferGauge::detail(double now) const
{
    if (isStalled(now)) {
        return QStringLiteral("No data for %1 s \u00B7 check that the phone is unlocked and connected")
            .arg(qint64(std::floor(now - m_lastActivity)));
    }
    return TransferMeter{m_total, m_bytes, m_samples}.description();
}
