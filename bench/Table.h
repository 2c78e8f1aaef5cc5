#pragma once

#include <QList>
#include <QString>

// One printed figure: what Tessary took, what the bare tool took in the same run, how the
// two compare and whether that meets the goal.
struct FigureRow
{
    QString number;
    QString figure;
    QString tessary;
    QString reference;
    QString ratio;
    QString goal;
    QString verdict; // "met", "MISSED" or why there is no value
};

// The median of the samples (the mean of the middle two for an even count); 0 for none.
double median(QList<double> samples);

// Seconds as "12.3 s" or "456 ms".
QString secondsText(double seconds);

// Rows for the three ways a goal is stated.
// Throughput: the reference time over Tessary's (≥ goal is met).
FigureRow throughputRow(const QString &number, const QString &figure, const QList<double> &tessary,
                        const QList<double> &reference, double goal);
// Slowdown: Tessary's time over the reference's (≤ goal is met).
FigureRow slowdownRow(const QString &number, const QString &figure, const QList<double> &tessary,
                      const QList<double> &reference, double goal);
// An absolute limit on a value shown with `unit` (≤ goal is met).
FigureRow limitRow(const QString &number, const QString &figure, const QString &value,
                   double measured, const QString &reference, double goal, const QString &unit);
// A count that has to reach `goal` (≥ goal is met).
FigureRow atLeastRow(const QString &number, const QString &figure, const QString &value, double measured,
                     double goal);
// A figure that could not be measured, with the reason.
FigureRow missingRow(const QString &number, const QString &figure, const QString &reason);

// The rows as an aligned plain-text table.
QString formatTable(const QList<FigureRow> &rows);
