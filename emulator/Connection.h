#pragma once

#include <QByteArray>
#include <QObject>

#include <map>

class QTcpSocket;
class Service;
struct EmulatorContext;

// The device side of one adb transport over TCP: the CNXN handshake (or a never-ending AUTH
// exchange for a phone that rejects the computer), then OPEN/OKAY/WRTE/CLSE for streams.
class Connection : public QObject {
    Q_OBJECT
public:
    Connection(QTcpSocket *socket, const EmulatorContext &context, QObject *parent);
    ~Connection() override;

    const EmulatorContext &context() const { return m_context; }
    quint32 maxPayload() const { return m_maxPayload; }
    void sendMessage(quint32 command, quint32 arg0, quint32 arg1, QByteArrayView payload = {});
    // Sends CLSE for the service's stream and deletes the service.
    void closeStream(Service *service);
    // Kills the transport as a pulled cable would; the connection deletes itself.
    void drop();

signals:
    void closed();

private:
    void readMessages();
    void handle(quint32 command, quint32 arg0, quint32 arg1, QByteArrayView payload);
    void handleConnect(quint32 hostMaxPayload);
    void sendAuthToken();
    void open(quint32 remoteId, const QByteArray &serviceName);
    Service *createService(quint32 localId, quint32 remoteId, const QByteArray &name);
    void removeService(quint32 localId);
    void shutDown();

    QTcpSocket *m_socket;
    const EmulatorContext &m_context;
    QByteArray m_input;
    quint32 m_maxPayload;
    bool m_online = false;
    bool m_shutDown = false;
    quint32 m_nextId = 1;
    std::map<quint32, Service *> m_services;
};
