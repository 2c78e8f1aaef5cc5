#include "bridge/CancelToken.h"

#include <signal.h>

namespace {
void terminate(qint64 pid)
{
    if (pid > 0)
        ::kill(static_cast<pid_t>(pid), SIGTERM);
}
}

void CancelToken::cancel()
{
    qint64 pid = 0;
    {
        QMutexLocker locker(&m_lock);
        m_cancelled = true;
        pid = m_pid;
    }
    terminate(pid);
}

bool CancelToken::isCancelled() const
{
    QMutexLocker locker(&m_lock);
    return m_cancelled;
}

void CancelToken::attach(qint64 pid)
{
    bool cancelled = false;
    {
        QMutexLocker locker(&m_lock);
        m_pid = pid;
        cancelled = m_cancelled;
    }
    if (cancelled)
        terminate(pid);
}

void CancelToken::detach(qint64 pid)
{
    QMutexLocker locker(&m_lock);
    if (m_pid == pid)
        m_pid = 0;
}
