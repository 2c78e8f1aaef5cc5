#include "Table.h"

#include <QStringList>

#include <algorithm>

double median(QList<double> samples)
{
    if (samples.isEmpty())
        return 0;
    std::sort(samples.begin(), samples.end());
    const qsizetype middle = samples.size() / 2;
    return samples.size() % 2 ? samples.at(middle) : (samples.at(middle - 1) + samples.at(middle)) / 2;
}

QString secondsText(double seconds)
{
    if (seconds >= 1)
        return QStringLiteral("%1 s").arg(seconds, 0, 'f', 2);
    return QStringLiteral("%1 ms").arg(seconds * 1000, 0, 'f', seconds < 0.01 ? 2 : 1);
}

namespace {

// "median (min–max of n)" so the spread of a noisy machine stays visible.
QString samplesText(const QList<double> &samples)
{
    if (samples.size() < 2)
        return secondsText(median(samples));
    const auto [low, high] = std::minmax_element(samples.cbegin(), samples.cend());
    return QStringLiteral("%1 [%2–%3]").arg(secondsText(median(samples)), secondsText(*low), secondsText(*high));
}

QString verdict(bool met)
{
    return met ? QStringLiteral("met") : QStringLiteral("MISSED");
}

} // namespace

FigureRow throughputRow(const QString &number, const QString &figure, const QList<double> &tessary,
                        const QList<double> &reference, double goal)
{
    const double ratio = median(reference) / median(tessary);
    return {number, figure, samplesText(tessary), samplesText(reference),
            QStringLiteral("%1").arg(ratio, 0, 'f', 3), QStringLiteral("≥ %1").arg(goal, 0, 'f', 2),
            verdict(ratio >= goal)};
}

FigureRow slowdownRow(const QString &number, const QString &figure, const QList<double> &tessary,
                      const QList<double> &reference, double goal)
{
    const double ratio = median(tessary) / median(reference);
    return {number, figure, samplesText(tessary), samplesText(reference),
            QStringLiteral("%1×").arg(ratio, 0, 'f', 2), QStringLiteral("≤ %1×").arg(goal, 0, 'f', 2),
            verdict(ratio <= goal)};
}

FigureRow limitRow(const QString &number, const QString &figure, const QString &value,
                   double measured, const QString &reference, double goal, const QString &unit)
{
    return {number, figure, value, reference, QStringLiteral("—"),
            QStringLiteral("≤ %1 %2").arg(goal).arg(unit), verdict(measured <= goal)};
}

FigureRow atLeastRow(const QString &number, const QString &figure, const QString &value, double measured,
                     double goal)
{
    return {number, figure, value, QStringLiteral("—"), QStringLiteral("—"), QStringLiteral("≥ %1").arg(goal),
            verdict(measured >= goal)};
}

FigureRow missingRow(const QString &number, const QString &figure, const QString &reason)
{
    return {number, figure, QStringLiteral("—"), QStringLiteral("—"), QStringLiteral("—"),
            QStringLiteral("—"), reason};
}

QString formatTable(const QList<FigureRow> &rows)
{
    QList<QStringList> cells{{QStringLiteral("#"), QStringLiteral("figure"), QStringLiteral("Tessary"),
                              QStringLiteral("reference"), QStringLiteral("ratio"), QStringLiteral("goal"),
                              QStringLiteral("result")}};
    for (const FigureRow &row : rows)
        cells.append({row.number, row.figure, row.tessary, row.reference, row.ratio, row.goal, row.verdict});
    QList<qsizetype> widths(cells.first().size(), 0);
    for (const QStringList &line : std::as_const(cells))
        for (qsizetype column = 0; column < line.size(); ++column)
            widths[column] = std::max(widths[column], line.at(column).size());
    QString text;
    for (const QStringList &line : std::as_const(cells)) {
        QStringList padded;
        for (qsizetype column = 0; column < line.size(); ++column)
            padded << line.at(column).leftJustified(widths[column]);
        text += QStringLiteral("| ") + padded.join(QStringLiteral(" | ")) + QStringLiteral(" |\n");
        if (&line == &cells.first()) {
            QStringList rule;
            for (const qsizetype width : std::as_const(widths))
                rule << QString(width, QLatin1Char('-'));
            text += QStringLiteral("|-") + rule.join(QStringLiteral("-|-")) + QStringLiteral("-|\n");
        }
    }
    return text;
}
