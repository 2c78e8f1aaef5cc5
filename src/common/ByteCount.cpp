#include "common/ByteCount.h"

#include <array>
#include <cmath>

namespace {

QString formatMagnitude(quint64 bytes)
{
    if (bytes == 1)
        return QStringLiteral("1 byte");
    if (bytes < 1000)
        return QStringLiteral("%1 bytes").arg(bytes);

    static constexpr std::array<const char *, 6> units{"kB", "MB", "GB", "TB", "PB", "EB"};
    double value = double(bytes) / 1000.0;
    std::size_t unit = 0;
    // Round to tenths first, so 999,960 bytes reads "1 MB" rather than "1000 kB".
    double tenths = std::round(value * 10.0);
    while (tenths >= 10000.0 && unit + 1 < units.size()) {
        value /= 1000.0;
        ++unit;
        tenths = std::round(value * 10.0);
    }
    const qint64 whole = qint64(tenths) / 10;
    const qint64 fraction = qint64(tenths) % 10;
    const QString number = fraction == 0 ? QString::number(whole)
                                         : QStringLiteral("%1.%2").arg(whole).arg(fraction);
    return number + QLatin1Char(' ') + QLatin1String(units[unit]);
}

} // namespace

QString formatByteCount(qint64 bytes)
{
    if (bytes < 0)
        return QLatin1Char('-') + formatMagnitude(quint64(0) - quint64(bytes));
    return formatMagnitude(quint64(bytes));
}
