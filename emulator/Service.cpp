#include "Service.h"

#include "AdbMessage.h"
#include "Connection.h"
#include "EmulatorContext.h"

#include <QTimer>

Service::Service(Connection *connection, quint32 localId, quint32 remoteId)
    : QObject(connection), m_connection(connection), m_localId(localId), m_remoteId(remoteId)
{
}

const EmulatorContext &Service::context() const
{
    return m_connection->context();
}

void Service::send(const QByteArray &data)
{
    if (m_pending.isEmpty())
        m_pending = data;  // shared, not copied
    else
        m_pending += data;
    flush();
}

void Service::flush()
{
    if (!m_waiting && !m_pending.isEmpty()) {
        const qsizetype size = std::min<qsizetype>(m_pending.size(), m_connection->maxPayload());
        m_inFlight = size;
        m_waiting = true;
        const qint64 delay = context().link->reserve(size);
        if (delay <= 0) {
            transmit(QByteArrayView(m_pending).first(size));
        } else {
            QTimer::singleShot(delay, this, [this, chunk = m_pending.left(size)] { transmit(chunk); });
        }
        m_pending.remove(0, size);
    }
    if (m_finishing) {
        if (!m_waiting && m_pending.isEmpty())
            m_connection->closeStream(this);
        return;
    }
    // Less than one message left to send: the producer may add more while this one travels.
    if (m_pending.size() < m_connection->maxPayload())
        readyForMore();
}

void Service::transmit(QByteArrayView chunk)
{
    m_connection->sendMessage(AdbMessage::WRTE, m_localId, m_remoteId, chunk);
}

void Service::acked()
{
    if (!m_waiting)
        return;
    m_waiting = false;
    m_inFlight = 0;
    flush();
}

void Service::acknowledge(qsizetype receivedBytes)
{
    const qint64 delay = context().link->reserve(receivedBytes);
    if (delay <= 0) {
        m_connection->sendMessage(AdbMessage::OKAY, m_localId, m_remoteId);
        return;
    }
    QTimer::singleShot(delay, this, [this] { m_connection->sendMessage(AdbMessage::OKAY, m_localId, m_remoteId); });
}

void Service::finish()
{
    m_finishing = true;
    flush();
}
