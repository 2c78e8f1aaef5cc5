#pragma once

#include <QObject>
#include <QCoro/QCoroTask>
#include <chrono>

// A cooperative stop for a task that loops on the main thread: the task checks
// isStopped() after every wake-up, and stop() ends a sleep in progress early.
class StopHandle : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    void stop();
    bool isStopped() const { return m_stopped; }

    // Suspends for the given time, or until stop() is called, whichever comes first.
    QCoro::Task<> sleep(std::chrono::milliseconds duration);

signals:
    void stopped();

private:
    bool m_stopped = false;
};
