#include "Connection.h"

#include "AdbMessage.h"
#include "EmulatorContext.h"
#include "ServiceName.h"
#include "ShellService.h"
#include "SyncService.h"

#include <QRandomGenerator>
#include <QTcpSocket>

Connection::Connection(QTcpSocket *socket, const EmulatorContext &context, QObject *parent)
    : QObject(parent), m_socket(socket), m_context(context), m_maxPayload(context.options.maxPayload)
{
    m_socket->setParent(this);
    connect(m_socket, &QTcpSocket::readyRead, this, &Connection::readMessages);
    connect(m_socket, &QTcpSocket::disconnected, this, &Connection::shutDown);
    connect(m_socket, &QTcpSocket::errorOccurred, this, &Connection::shutDown);
}

Connection::~Connection()
{
    for (auto &[id, service] : m_services)
        delete service;
}

void Connection::sendMessage(quint32 command, quint32 arg0, quint32 arg1, QByteArrayView payload)
{
    if (m_shutDown)
        return;
    m_socket->write(AdbMessage::encodeHeader(command, arg0, arg1, quint32(payload.size())));
    if (!payload.isEmpty())
        m_socket->write(payload.data(), payload.size());
}

void Connection::readMessages()
{
    // Read in place: payloads reach the services as views into this buffer.
    const qsizetype old = m_input.size();
    const qint64 available = m_socket->bytesAvailable();
    m_input.resize(old + available);
    const qint64 n = m_socket->read(m_input.data() + old, available);
    m_input.resize(old + std::max<qint64>(n, 0));
    qsizetype pos = 0;
    while (!m_shutDown && m_input.size() - pos >= AdbMessage::HeaderSize) {
        const AdbMessage::Header header = AdbMessage::decodeHeader(m_input.constData() + pos);
        if (!header.isValid() || header.length > AdbMessage::MaxPayload) {
            drop();
            return;
        }
        if (m_input.size() - pos < AdbMessage::HeaderSize + qsizetype(header.length))
            break;
        const QByteArrayView payload = QByteArrayView(m_input).sliced(pos + AdbMessage::HeaderSize, header.length);
        pos += AdbMessage::HeaderSize + header.length;
        handle(header.command, header.arg0, header.arg1, payload);
    }
    if (!m_shutDown)
        m_input.remove(0, pos);
}

void Connection::handle(quint32 command, quint32 arg0, quint32 arg1, QByteArrayView payload)
{
    switch (command) {
    case AdbMessage::CNXN:
        handleConnect(arg1);
        return;
    case AdbMessage::AUTH:
        // A phone that rejects the computer answers every signature with a fresh token and
        // never accepts the offered public key: adb lists it as "unauthorized".
        if (arg0 == AdbMessage::AuthSignature)
            sendAuthToken();
        return;
    case AdbMessage::OPEN:
        if (m_online)
            open(arg0, payload.toByteArray());
        else
            sendMessage(AdbMessage::CLSE, 0, arg0);
        return;
    default:
        break;
    }
    const auto found = m_services.find(arg1);
    if (found == m_services.end())
        return;
    Service *service = found->second;
    switch (command) {
    case AdbMessage::WRTE:
        service->received(payload);
        break;
    case AdbMessage::OKAY:
        service->acked();
        break;
    case AdbMessage::CLSE:
        service->peerClosed();
        removeService(arg1);
        break;
    default:
        break;
    }
}

void Connection::handleConnect(quint32 hostMaxPayload)
{
    m_maxPayload = std::min(m_context.options.maxPayload, hostMaxPayload);
    if (m_context.options.rejectAuth) {
        sendAuthToken();
        return;
    }
    const QByteArray banner = "device::ro.product.name=emuphone;ro.product.model="
        + m_context.options.model.toUtf8()
        + ";ro.product.device=emu;features=shell_v2,cmd,stat_v2,ls_v2,fixed_push_mkdir";
    m_online = true;
    sendMessage(AdbMessage::CNXN, AdbMessage::Version, m_context.options.maxPayload, banner);
}

void Connection::sendAuthToken()
{
    QByteArray token(20, Qt::Uninitialized);
    for (char &c : token)
        c = char(QRandomGenerator::global()->generate());
    sendMessage(AdbMessage::AUTH, AdbMessage::AuthToken, 0, token);
}

void Connection::open(quint32 remoteId, const QByteArray &serviceName)
{
    QByteArray name = serviceName;
    while (name.endsWith('\0'))
        name.chop(1);
    const quint32 localId = m_nextId++;
    Service *service = createService(localId, remoteId, name);
    if (!service) {
        sendMessage(AdbMessage::CLSE, 0, remoteId);
        return;
    }
    m_services[localId] = service;
    sendMessage(AdbMessage::OKAY, localId, remoteId);
    service->start();
}

Service *Connection::createService(quint32 localId, quint32 remoteId, const QByteArray &name)
{
    const std::optional<ServiceName> parsed = ServiceName::parse(name);
    if (!parsed)
        return nullptr;
    if (parsed->kind == ServiceName::Sync)
        return new SyncService(this, localId, remoteId);
    return new ShellService(this, localId, remoteId, *parsed);
}

void Connection::closeStream(Service *service)
{
    const auto found = m_services.find(service->localId());
    if (found == m_services.end())
        return;
    sendMessage(AdbMessage::CLSE, service->localId(), service->remoteId());
    removeService(service->localId());
}

void Connection::removeService(quint32 localId)
{
    const auto found = m_services.find(localId);
    if (found == m_services.end())
        return;
    found->second->deleteLater();
    m_services.erase(found);
}

void Connection::drop()
{
    m_socket->abort();
    shutDown();
}

void Connection::shutDown()
{
    if (m_shutDown)
        return;
    m_shutDown = true;
    // Services go at once: a shell's command is killed, a half-written pushed file removed.
    for (auto &[id, service] : m_services)
        delete service;
    m_services.clear();
    emit closed();
}
