#include "bridge/ADB.h"
#include "bridge/TextLines.h"

#include <QRegularExpression>

namespace {

// "\r" and "\n" are separators each on their own: push/pull rewrite their progress line
// with a bare carriage return.
QStringList blankTrimmedPieces(const QString &text)
{
    static const QRegularExpression separator(QStringLiteral("[\\r\\n]"));
    QStringList pieces = text.split(separator);
    for (QString &piece : pieces)
        piece = trimBlanks(piece);
    return pieces;
}

bool isErrorLine(const QString &line)
{
    return line.startsWith(QLatin1String("adb: error:")) || line.startsWith(QLatin1String("error:"))
        || line.startsWith(QLatin1String("adb: failed to")) || line.startsWith(QLatin1String("failed to"));
}

} // namespace

QString ADB::lastMeaningfulLine(const QString &text)
{
    const QStringList pieces = blankTrimmedPieces(text);
    for (auto it = pieces.crbegin(); it != pieces.crend(); ++it) {
        if (!it->isEmpty() && !it->startsWith(QLatin1Char('[')))
            return *it;
    }
    return QStringLiteral("Transfer failed");
}

std::optional<QString> ADB::errorLine(const QString &text)
{
    const QStringList pieces = blankTrimmedPieces(text);
    for (auto it = pieces.crbegin(); it != pieces.crend(); ++it) {
        if (isErrorLine(*it))
            return *it;
    }
    return std::nullopt;
}

QString ADB::failureLine(const QString &text)
{
    // A failed push or pull prints its reason and then a summary ("x: 0 files pushed, …");
    // the reason is what the user needs.
    return errorLine(text).value_or(lastMeaningfulLine(text));
}
