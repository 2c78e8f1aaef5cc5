#pragma once

#include <QByteArray>
#include <QMutex>
#include <QObject>

#include <thread>

// Reads the master side of a pseudo-terminal on a thread of its own and hands what it read
// to the thread that created it, in order, in batches (a few milliseconds apart while the
// child prints slowly).
//
// The kernel makes every read and every poll of a terminal that finds no data ready wait
// for the terminal's buffer work to run first; on a busy machine that work waits for a
// processor, for tens of milliseconds at a time. A terminal polled by an event loop would
// freeze that loop just as long, so only this reader's own thread ever waits on it.
class TerminalReader : public QObject
{
    Q_OBJECT
public:
    // Starts reading `master` (owned by the caller, kept open until this reader is gone),
    // switched to non-blocking reads.
    explicit TerminalReader(int master, QObject *parent = nullptr);
    // Stops the thread, waiting for it; nothing arrives after that.
    ~TerminalReader() override;

Q_SIGNALS:
    void received(const QByteArray &bytes);
    // Every holder of the other side has closed it (or reading failed); follows the last
    // `received`.
    void ended();

private:
    void readLoop();
    // Adds to what waits for the owner's thread and makes sure a delivery is on its way.
    void hand(const QByteArray &bytes, bool atEnd);
    void deliver();

    int m_master;
    int m_wake = -1;
    QMutex m_lock;
    QByteArray m_pending;
    bool m_pendingEnd = false;
    bool m_deliveryQueued = false;
    std::thread m_thread;
};
