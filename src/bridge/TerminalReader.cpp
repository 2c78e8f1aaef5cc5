#include "bridge/TerminalReader.h"

#include <QMutexLocker>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

TerminalReader::TerminalReader(int master, QObject *parent) : QObject(parent), m_master(master)
{
    // Each batch is read until the terminal has nothing more at that moment.
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    m_wake = ::eventfd(0, EFD_CLOEXEC);
    if (m_wake < 0) {
        // Without a way to stop a reading thread, no thread is started: the terminal
        // counts as ended at once, and the child's output is lost rather than hung on.
        hand({}, true);
        return;
    }
    m_thread = std::thread([this] { readLoop(); });
}

TerminalReader::~TerminalReader()
{
    if (m_thread.joinable()) {
        const quint64 one = 1;
        while (::write(m_wake, &one, sizeof one) < 0 && errno == EINTR) {
        }
        m_thread.join();
    }
    if (m_wake >= 0)
        ::close(m_wake);
}

void TerminalReader::readLoop()
{
    // Pause after a small batch. adb prints a progress line per 64 KiB copied, thousands a
    // second; reading each line alone would wake this thread and the owner's for every one
    // of them, and on a busy machine that work is taken from the copy itself. A terminal
    // holds only about 20 KB, though: after a large batch the next one is read at once, so
    // a child that prints fast never waits for room.
    constexpr int pauseMs = 5;
    constexpr qsizetype largeBatch = 4096;
    char buffer[65536];
    for (;;) {
        pollfd fds[2] = {{m_master, POLLIN, 0}, {m_wake, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            hand({}, true);
            return;
        }
        if (fds[1].revents != 0)
            return;
        if (fds[0].revents == 0)
            continue;
        QByteArray batch;
        for (;;) {
            const ssize_t n = ::read(m_master, buffer, sizeof buffer);
            if (n > 0) {
                batch.append(buffer, n);
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && errno == EAGAIN)
                break;
            // EIO (every holder of the other side has closed it) or end of file.
            hand(batch, true);
            return;
        }
        if (!batch.isEmpty())
            hand(batch, false);
        if (batch.size() >= largeBatch)
            continue;
        pollfd wake{m_wake, POLLIN, 0};
        if (::poll(&wake, 1, pauseMs) > 0)
            return;
    }
}

void TerminalReader::hand(const QByteArray &bytes, bool atEnd)
{
    QMutexLocker locker(&m_lock);
    m_pending += bytes;
    m_pendingEnd = m_pendingEnd || atEnd;
    if (m_deliveryQueued)
        return;
    m_deliveryQueued = true;
    // Queued on this object: dropped with it if it is destroyed first.
    QMetaObject::invokeMethod(this, &TerminalReader::deliver, Qt::QueuedConnection);
}

void TerminalReader::deliver()
{
    QByteArray bytes;
    bool atEnd = false;
    {
        QMutexLocker locker(&m_lock);
        bytes.swap(m_pending);
        atEnd = m_pendingEnd;
        m_pendingEnd = false;
        m_deliveryQueued = false;
    }
    if (!bytes.isEmpty())
        emit received(bytes);
    if (atEnd)
        emit ended();
}
