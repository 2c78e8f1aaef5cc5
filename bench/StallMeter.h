#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

// Watches the main thread's responsiveness: a 10 ms timer that should fire every 10 ms, and
// the worst lateness of any of its firings while it runs. A lateness is how long the event
// loop was busy with something else (a stall the user would feel as a frozen window).
class StallMeter : public QObject
{
public:
    StallMeter();
    void start();
    void stop();
    // The worst lateness so far, in seconds.
    double worst() const { return m_worst; }

private:
    void tick();

    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    double m_worst = 0;
};
