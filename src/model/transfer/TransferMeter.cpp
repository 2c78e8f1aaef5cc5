#include "model/transfer/TransferMeter.h"

#include "common/ByteCount.h"

#include <QStringList>
#include <algorithm>
#include <cmath>

namespace {

// Spans shorter than this are too noisy to give a rate.
constexpr double minimumSpan = 0.4;

} // namespace

std::optional<double> TransferMeter::speed() const
{
    if (samples.isEmpty())
        return std::nullopt;
    const double span = samples.last().t - samples.first().t;
    if (span < minimumSpan)
        return std::nullopt;
    const qint64 delta = samples.last().bytes - samples.first().bytes;
    return delta > 0 ? double(delta) / span : 0.0;
}

std::optional<double> TransferMeter::secondsLeft() const
{
    if (total < 1 || samples.isEmpty())
        return std::nullopt;
    const double span = samples.last().t - samples.first().t;
    if (span < minimumSpan)
        return std::nullopt;
    const qint64 delta = samples.last().bytes - samples.first().bytes;
    if (delta < 1)
        return std::nullopt;
    const double rate = double(delta) / span;
    if (rate <= 1.0)
        return std::nullopt;
    return std::max(0.0, double(total - done) / rate);
}

QString TransferMeter::description() const
{
    QStringList parts;
    parts << (total < 1 ? formatByteCount(done)
                        : formatByteCount(done) + QStringLiteral(" of ") + formatByteCount(total));
    if (const auto rate = speed(); rate && *rate > 0)
        parts << formatByteCount(qint64(*rate)) + QStringLiteral("/s");
    if (const auto left = secondsLeft())
        parts << duration(*left) + QStringLiteral(" left");
    return parts.join(QStringLiteral(" \u00B7 "));
}

QString TransferMeter::duration(double seconds)
{
    const long long s = std::llround(seconds);
    if (s <= 59)
        return QStringLiteral("%1s").arg(s);
    if (s <= 3599)
        return QString::asprintf("%lld:%02lld", s / 60, s % 60);
    return QString::asprintf("%lld:%02lld:%02lld", s / 3600, (s / 60) % 60, s % 60);
}

void TransferMeter::record(QList<Sample> &samples, double now, qint64 bytes)
{
    samples.append({now, std::max<qint64>(0, bytes)});
    // The sample just added has age 0 and always stays.
    samples.removeIf([now](const Sample &sample) { return now - sample.t > window; });
}
