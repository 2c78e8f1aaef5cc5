#include "ui/SingleInstance.h"

#include "platform/PrivateFolder.h"
#include "ui/InstanceRequest.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>

#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int kWaitMs = 1500;
// A request is one line of paths; anything longer is not one.
constexpr qint64 kMaxRequestBytes = 1 << 20;

// Whether the process at the other end runs as this user (the kernel's word, not the peer's).
bool fromThisUser(const QLocalSocket *socket)
{
    ucred peer{};
    socklen_t length = sizeof peer;
    return ::getsockopt(int(socket->socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &peer, &length) == 0
        && peer.uid == ::geteuid();
}

// Whether a live instance accepts connections at `path` (a socket left behind does not).
bool answers(const QString &path)
{
    QLocalSocket probe;
    probe.connectToServer(path);
    return probe.waitForConnected(kWaitMs);
}

} // namespace

QString SingleInstance::defaultPath()
{
    const PrivateFolder folder = PrivateFolder::runtime();
    return folder.usable() ? QDir(folder.path).filePath(QStringLiteral("tessary.socket")) : QString();
}

SingleInstance::SingleInstance(QString path, QObject *parent) : QObject(parent), m_path(std::move(path)) {}

bool SingleInstance::handOver(const QStringList &apks)
{
    if (m_path.isEmpty())
        return false;
    QLocalSocket socket;
    socket.connectToServer(m_path);
    if (!socket.waitForConnected(kWaitMs))
        return false;
    socket.write(InstanceRequest::encode(apks));
    if (!socket.waitForBytesWritten(kWaitMs))
        return false;
    // The running instance closes the connection once it has read the request.
    socket.waitForDisconnected(kWaitMs);
    return true;
}

bool SingleInstance::listen()
{
    if (m_path.isEmpty())
        return false;
    // No access options: the socket's folder is private already, and with options Qt puts
    // the socket in place by renaming over whatever holds the name, a live instance's too.
    m_server = new QLocalServer(this);
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = m_server->nextPendingConnection())
            serve(socket);
    });
    if (m_server->listen(m_path))
        return true;
    if (m_server->serverError() != QAbstractSocket::AddressInUseError || answers(m_path))
        return false;
    QLocalServer::removeServer(m_path);
    return m_server->listen(m_path);
}

void SingleInstance::serve(QLocalSocket *socket)
{
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    if (!fromThisUser(socket)) {
        socket->abort();
        socket->deleteLater();
        return;
    }
    auto read = [this, socket] {
        if (!socket->canReadLine()) {
            if (socket->bytesAvailable() > kMaxRequestBytes)
                socket->abort();
            return;
        }
        QByteArray line = socket->readLine();
        line.chop(1);
        if (const std::optional<QStringList> apks = InstanceRequest::decode(line)) {
            emit activationRequested();
            if (!apks->isEmpty())
                emit installRequested(*apks);
        }
        socket->disconnectFromServer();
    };
    connect(socket, &QLocalSocket::readyRead, this, read);
    // The request may have arrived before the connection was taken.
    read();
}
