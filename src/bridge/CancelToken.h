#pragma once

#include <QMutex>
#include <QtGlobal>

#include <memory>

// The cancel handle of one running adb child, shared between the code that starts the
// run and the code that may cancel it (from any thread). A cancelled token stays
// cancelled; a new operation needs a new token.
class CancelToken
{
public:
    CancelToken() = default;
    CancelToken(const CancelToken &) = delete;
    CancelToken &operator=(const CancelToken &) = delete;

    // Marks the token cancelled and asks the attached child, if any, to terminate
    // (SIGTERM, sent after the lock is released). Calling it again repeats the request.
    void cancel();
    bool isCancelled() const;

    // Used by the runner: binds a just-started child; when the token was cancelled
    // already, the child is asked to terminate at once.
    void attach(qint64 pid);
    // Used by the runner once the child has exited, so a later cancel never signals
    // a process id the system may have handed to someone else.
    void detach(qint64 pid);

private:
    mutable QMutex m_lock;
    qint64 m_pid = 0;
    bool m_cancelled = false;
};

using CancelTokenPtr = std::shared_ptr<CancelToken>;
