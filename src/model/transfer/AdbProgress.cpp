#include "model/transfer/AdbProgress.h"

#include <QRegularExpression>

std::optional<double> adbReportedProgress(const QString &chunk)
{
    // adb rewrites its line after a carriage return; the path it prints after the
    // percentage may itself hold "[ 99%]".
    static const QRegularExpression percentage(QStringLiteral("(?:^|[\\r\\n])\\[\\s*(\\d+)%\\]"));
    std::optional<double> last;
    auto matches = percentage.globalMatch(chunk);
    while (matches.hasNext()) {
        // adb counts to 100; a larger number in brackets is not its progress.
        const double percent = matches.next().captured(1).toDouble();
        if (percent <= 100.0)
            last = percent / 100.0;
    }
    return last;
}
