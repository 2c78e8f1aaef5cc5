#include "bridge/ADB.h"
#include "bridge/TextLines.h"

#include <QRegularExpression>

QString ADB::lastMeaningfulLine(const QString &text)
{
    // "\r" and "\n" are separators each on their own: push/pull rewrite their progress
    // line with a bare carriage return.
    static const QRegularExpression separator(QStringLiteral("[\\r\\n]"));
    const QStringList pieces = text.split(separator);
    for (auto it = pieces.crbegin(); it != pieces.crend(); ++it) {
        const QString line = trimBlanks(*it);
        if (!line.isEmpty() && !line.startsWith(QLatin1Char('[')))
            return line;
    }
    return QStringLiteral("Transfer failed");
}
