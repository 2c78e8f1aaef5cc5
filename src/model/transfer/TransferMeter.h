#pragma once

#include <QList>
#include <QString>
#include <optional>

// Speed and time-left arithmetic over the recent (uptime, bytes) samples of one transfer.
struct TransferMeter
{
    struct Sample
    {
        double t = 0.0; // monotonic uptime in seconds
        qint64 bytes = 0;
        bool operator==(const Sample &) const = default;
    };

    static constexpr double window = 6.0;

    qint64 total = 0; // expected bytes; 0 or less means unknown
    qint64 done = 0;  // bytes present at the destination now
    QList<Sample> samples; // oldest first

    // Bytes per second over the samples; absent when they span less than 0.4 s.
    std::optional<double> speed() const;
    std::optional<double> secondsLeft() const;
    // "12 MB of 100 MB · 5 MB/s · 18s left"
    QString description() const;

    // "5s", "1:15", "1:02:05"
    static QString duration(double seconds);

    // Appends (now, bytes clamped at 0) and drops samples older than the window.
    static void record(QList<Sample> &samples, double now, qint64 bytes);
};
