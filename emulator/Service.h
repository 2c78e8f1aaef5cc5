#pragma once

#include <QByteArray>
#include <QObject>

class Connection;
struct EmulatorContext;

// One stream opened by the host (a shell, a sync session, ...). Outgoing data is queued and
// sent as WRTE messages no larger than the connection's payload limit, one at a time: the
// next goes only after the host's OKAY. Incoming data is acknowledged with OKAY when the
// service is ready for more, which is how a slow consumer holds the host back.
class Service : public QObject {
    Q_OBJECT
public:
    Service(Connection *connection, quint32 localId, quint32 remoteId);

    quint32 localId() const { return m_localId; }
    quint32 remoteId() const { return m_remoteId; }

    // Called once after the host has been told the stream is open.
    virtual void start() {}
    // Data from the host; the service calls acknowledge() when it may send more.
    virtual void received(QByteArrayView data) = 0;
    // The host closed the stream; the service is deleted right after.
    virtual void peerClosed() {}

    // The host's OKAY for the last WRTE.
    void acked();

protected:
    void send(const QByteArray &data);
    // Bytes queued or in flight.
    qsizetype backlog() const { return m_pending.size() + m_inFlight; }
    void acknowledge(qsizetype receivedBytes);
    // Closes the stream once everything queued has been delivered.
    void finish();
    // Less than one message is queued: a producer may add more.
    virtual void readyForMore() {}

    Connection *connection() const { return m_connection; }
    const EmulatorContext &context() const;

private:
    void flush();
    void transmit(QByteArrayView chunk);

    Connection *m_connection;
    quint32 m_localId;
    quint32 m_remoteId;
    QByteArray m_pending;
    qsizetype m_inFlight = 0;
    bool m_waiting = false;   // a WRTE is in flight or waiting for the link
    bool m_finishing = false;
};
