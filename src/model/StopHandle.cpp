#include "model/StopHandle.h"

#include <QCoro/QCoroTimer>
#include <QTimer>

void StopHandle::stop()
{
    if (m_stopped)
        return;
    m_stopped = true;
    emit stopped();
}

QCoro::Task<> StopHandle::sleep(std::chrono::milliseconds duration)
{
    if (m_stopped)
        co_return;
    QTimer timer;
    timer.setSingleShot(true);
    // Stopping fires the timer at the next turn of the event loop, which resumes the sleeper.
    connect(this, &StopHandle::stopped, &timer, [&timer] { timer.start(0); });
    timer.start(duration);
    co_await timer;
}
