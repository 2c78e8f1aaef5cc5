#pragma once

#include "model/transfer/TransferMeter.h"

#include <QList>
#include <QString>

// What the row of one running push or pull shows, kept as one count of the bytes moved that
// both the bar and the "X of Y" text are made from, so the two always agree.
//
// Three sources report bytes: the monitor's polls of the destination's size, adb's own
// "[ nn%]" lines (a fraction of the total) and the adb child's I/O counters. The counters,
// once they have reported, are the only measure for the rest of the run: they follow the
// copy itself several times a second, while a poll can see an older file of the same name.
// Without counters the count is the most bytes any poll or percentage has reported. The
// count never goes down, and the bar never reaches 1: only the run's outcome marks a job done.
//
// The counters also tell when nothing moves: once the adb child has read and written nothing
// for `stallAfter` seconds, the detail says so instead, until it moves again.
class TransferGauge
{
public:
    explicit TransferGauge(double stallAfter = 15.0) : m_stallAfter(stallAfter) {}

    // The expected size, once the monitor has measured it; 0 or less means unknown.
    void setTotal(qint64 total);
    bool knowsTotal() const { return m_totalKnown; }

    // Readings at the monotonic uptime `now` (seconds).
    void polled(double now, qint64 bytes);
    void reported(double now, double fraction);
    // The counters' bytes moved since the child started, and whether it read or wrote
    // anything since the previous reading.
    void counted(double now, qint64 bytes, bool active);
    // Whether the counters have reported: from then on only they move the count, and a
    // polled size is not taken into account.
    bool isCounted() const { return m_counted; }

    qint64 bytes() const { return m_bytes; }
    // min(0.99, bytes / total); 0 while the total is unknown.
    double progress() const { return m_progress; }
    bool isStalled(double now) const;
    // "12 MB of 100 MB · 5 MB/s · 18s left", or, while stalled,
    // "No data for 20 s · check that the phone is unlocked and connected".
    QString detail(double now) const;

private:
    void add(double now, qint64 bytes);
    void updateProgress();

    double m_stallAfter;
    qint64 m_total = 0;
    bool m_totalKnown = false;
    qint64 m_bytes = 0;
    double m_progress = 0.0;
    QList<TransferMeter::Sample> m_samples;
    bool m_counted = false;
    double m_lastActivity = 0.0;
};
