#include "model/transfer/AdbProgress.h"

#include <QRegularExpression>

std::optional<double> adbReportedProgress(const QString &chunk)
{
    static const QRegularExpression percentage(QStringLiteral("\\[\\s*(\\d+)%\\]"));
    std::optional<double> last;
    auto matches = percentage.globalMatch(chunk);
    while (matches.hasNext())
        last = matches.next().captured(1).toDouble() / 100.0;
    return last;
}
