#include "model/transfer/AdbProgress.h"

#include <QRegularExpression>

std::optional<double> adbReportedProgress(const QString &chunk)
{
    // adb rewrites its line after a carriage return; the path it prints after the
    // percentage may itself hold "[ 99%]".
    static const QRegularExpression percentage(QStringLiteral("(?:^|[\\r\\n])\\[\\s*(\\d+)%\\]"));
    std::optional<double> last;
    auto matches = percentage.globalMatch(chunk);
    while (matches.hasNext())
        last = matches.next().captured(1).toDouble() / 100.0;
    return last;
}
