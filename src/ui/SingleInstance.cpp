#include "ui/SingleInstance.h"

#include <QLocalServer>
#include <QLocalSocket>

#include <unistd.h>

namespace {
const QByteArray kShow = QByteArrayLiteral("show\n");
constexpr int kWaitMs = 1500;
}

QString SingleInstance::defaultName()
{
    return QStringLiteral("tessary-%1").arg(::getuid());
}

SingleInstance::SingleInstance(QString name, QObject *parent) : QObject(parent), m_name(std::move(name)) {}

bool SingleInstance::handOver()
{
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(kWaitMs))
        return false;
    socket.write(kShow);
    if (!socket.waitForBytesWritten(kWaitMs))
        return false;
    // The running instance closes the connection once it has read the request.
    socket.waitForDisconnected(kWaitMs);
    return true;
}

bool SingleInstance::listen()
{
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (!socket->canReadLine())
                    return;
                if (socket->readLine() == kShow)
                    emit activationRequested();
                socket->disconnectFromServer();
            });
        }
    });
    if (m_server->listen(m_name))
        return true;
    // The name is left over from an instance that ended without closing it, or is taken over
    // on purpose by a self-test run.
    QLocalServer::removeServer(m_name);
    return m_server->listen(m_name);
}
