#include "bridge/TextLines.h"

#include <QRegularExpression>

QStringList splitLines(const QString &text, Qt::SplitBehavior behavior)
{
    static const QRegularExpression lineBreak(
        QStringLiteral("\\r\\n|[\\n\\r\\x{000B}\\x{000C}\\x{0085}\\x{2028}\\x{2029}]"));
    return text.split(lineBreak, behavior);
}

namespace {
bool isBlank(QChar c)
{
    return c == QLatin1Char('\t') || c.category() == QChar::Separator_Space;
}
}

QString trimBlanks(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text.at(begin)))
        ++begin;
    while (end > begin && isBlank(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin);
}

QStringList splitFields(const QString &line)
{
    static const QRegularExpression separator(QStringLiteral("[ \\t]+"));
    return line.split(separator, Qt::SkipEmptyParts);
}
