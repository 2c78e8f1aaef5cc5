#include "SyncService.h"

#include "Connection.h"
#include "EmulatorContext.h"
#include "SyncProtocol.h"

#include <QtEndian>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

namespace {

QByteArray errorText(int error)
{
    return QByteArray(strerror(error));
}

// mkdir -p of the folders above path.
bool makeParents(const QByteArray &path)
{
    for (qsizetype slash = path.indexOf('/', 1); slash > 0; slash = path.indexOf('/', slash + 1)) {
        const QByteArray folder = path.left(slash);
        if (::mkdir(folder.constData(), 0775) != 0 && errno != EEXIST)
            return false;
    }
    return true;
}

}

SyncService::SyncService(Connection *connection, quint32 localId, quint32 remoteId)
    : Service(connection, localId, remoteId)
{
}

SyncService::~SyncService()
{
    abandonSend();
    if (m_recvFd >= 0)
        ::close(m_recvFd);
}

void SyncService::received(QByteArrayView data)
{
    m_input += data;
    process();
    if (m_state != State::Ended)
        acknowledge(data.size());
}

void SyncService::process()
{
    m_processing = true;
    qsizetype pos = 0;
    while (m_input.size() - pos >= SyncProtocol::RequestSize) {
        if (m_state == State::Receiving || m_state == State::Ended)
            break;
        const quint32 id = qFromLittleEndian<quint32>(m_input.constData() + pos);
        const quint32 length = qFromLittleEndian<quint32>(m_input.constData() + pos + 4);
        if (m_state == State::Sending || m_state == State::Discarding) {
            if (id == SyncProtocol::Done) {
                pos += SyncProtocol::RequestSize;
                if (m_state == State::Sending)
                    endSend(length);
                m_state = m_state == State::Ended ? State::Ended : State::Requests;
                continue;
            }
            if (id != SyncProtocol::Data || length > quint32(SyncProtocol::MaxData)) {
                failSend("invalid data message", EINVAL);
                m_state = State::Ended;
                finish();
                break;
            }
            if (m_input.size() - pos < SyncProtocol::RequestSize + qsizetype(length))
                break;
            const QByteArrayView chunk = QByteArrayView(m_input).sliced(pos + SyncProtocol::RequestSize, length);
            pos += SyncProtocol::RequestSize + length;
            if (m_state == State::Sending)
                sendData(chunk);
            continue;
        }
        if (id == SyncProtocol::Quit) {
            m_state = State::Ended;
            finish();
            break;
        }
        if (length > SyncProtocol::MaxPathLength) {
            send(SyncProtocol::fail("path too long"));
            m_state = State::Ended;
            finish();
            break;
        }
        if (m_input.size() - pos < SyncProtocol::RequestSize + qsizetype(length))
            break;
        const QByteArray path = m_input.mid(pos + SyncProtocol::RequestSize, length);
        pos += SyncProtocol::RequestSize + length;
        if (!handleRequest(id, path)) {
            m_state = State::Ended;
            finish();
            break;
        }
    }
    m_input.remove(0, pos);
    m_processing = false;
}

bool SyncService::handleRequest(quint32 id, const QByteArray &pathBytes)
{
    const QString path = QString::fromUtf8(pathBytes);
    switch (id) {
    case SyncProtocol::Stat:
    case SyncProtocol::Stat2:
    case SyncProtocol::Lstat2:
        stat(id, path);
        return true;
    case SyncProtocol::List:
    case SyncProtocol::List2:
        list(id == SyncProtocol::List2, path);
        return true;
    case SyncProtocol::Send:
        beginSend(path);
        return true;
    case SyncProtocol::Recv:
        beginReceive(path);
        return true;
    default:
        send(SyncProtocol::fail("unknown sync request"));
        return false;
    }
}

void SyncService::stat(quint32 id, const QString &path)
{
    const PhoneFileSystem &files = context().files;
    struct stat st;
    int error = 0;
    if (files.isInsideDenied(path)) {
        error = EACCES;
    } else {
        const QByteArray host = files.hostPath(path);
        const int result = id == SyncProtocol::Stat2 ? ::stat(host.constData(), &st)
                                                     : ::lstat(host.constData(), &st);
        if (result != 0)
            error = errno;
    }
    if (id == SyncProtocol::Stat)
        send(SyncProtocol::statV1(error ? nullptr : &st));
    else
        send(SyncProtocol::statV2(id, error, &st));
}

void SyncService::list(bool v2, const QString &path)
{
    const PhoneFileSystem &files = context().files;
    QByteArray reply;
    if (!files.isInsideDenied(path) && !files.isDeniedFolder(path)) {
        const QByteArray host = files.hostPath(path);
        if (DIR *dir = ::opendir(host.constData())) {
            while (const dirent *entry = ::readdir(dir)) {
                const QByteArray name(entry->d_name);
                const QByteArray entryPath = host + '/' + name;
                struct stat st = {};
                const int error = ::lstat(entryPath.constData(), &st) == 0 ? 0 : errno;
                if (v2)
                    reply += SyncProtocol::dentV2(st, error, name);
                else if (!error)
                    reply += SyncProtocol::dentV1(st, name);
            }
            ::closedir(dir);
        }
    }
    send(reply + SyncProtocol::listDone(v2));
}

void SyncService::beginSend(const QString &pathAndMode)
{
    const qsizetype comma = pathAndMode.lastIndexOf(QLatin1Char(','));
    const QString path = comma < 0 ? pathAndMode : pathAndMode.left(comma);
    const mode_t mode = comma < 0 ? 0644 : mode_t(pathAndMode.mid(comma + 1).toUInt());
    m_state = State::Sending;
    if (context().files.isInsideDenied(path) || context().files.isDeniedFolder(path)) {
        failSend("couldn't create file", EACCES);
        return;
    }
    m_sendPath = context().files.hostPath(path);
    m_sendIsLink = S_ISLNK(mode);
    m_linkTarget.clear();
    struct stat st;
    const bool replace = ::lstat(m_sendPath.constData(), &st) != 0 || S_ISREG(st.st_mode) || S_ISLNK(st.st_mode);
    if (replace)
        ::unlink(m_sendPath.constData());
    if (m_sendIsLink)
        return;
    auto create = [&] {
        return ::open(m_sendPath.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode & 0777);
    };
    m_fd = create();
    if (m_fd < 0 && errno == ENOENT && makeParents(m_sendPath))
        m_fd = create();
    if (m_fd < 0) {
        const int error = errno;
        m_sendPath.clear();
        failSend("couldn't create file", error);
    }
}

void SyncService::sendData(QByteArrayView chunk)
{
    if (m_sendIsLink) {
        m_linkTarget += chunk;
        return;
    }
    qsizetype written = 0;
    while (written < chunk.size()) {
        const ssize_t n = ::write(m_fd, chunk.constData() + written, size_t(chunk.size() - written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            failSend("write failed", errno);
            return;
        }
        written += n;
    }
    if (context().link->countFileBytes(chunk.size()))
        dropConnection();
}

void SyncService::endSend(quint32 mtime)
{
    if (m_sendIsLink) {
        QByteArray target = m_linkTarget;
        while (target.endsWith('\0'))
            target.chop(1);
        if (::symlink(target.constData(), m_sendPath.constData()) != 0) {
            failSend("symlink failed", errno);
            return;
        }
    } else {
        if (::close(std::exchange(m_fd, -1)) != 0) {
            failSend("close failed", errno);
            return;
        }
        const utimbuf times{time_t(mtime), time_t(mtime)};
        ::utime(m_sendPath.constData(), &times);
    }
    m_sendPath.clear();
    send(SyncProtocol::okay());
}

void SyncService::failSend(const QByteArray &reason, int error)
{
    abandonSend();
    send(SyncProtocol::fail(reason + ": " + errorText(error)));
    // The host keeps sending the rest of the file; it is read and thrown away up to DONE.
    m_state = State::Discarding;
}

void SyncService::abandonSend()
{
    if (m_fd >= 0)
        ::close(std::exchange(m_fd, -1));
    if (!m_sendPath.isEmpty())
        ::unlink(m_sendPath.constData());
    m_sendPath.clear();
}

void SyncService::beginReceive(const QString &path)
{
    int error = EACCES;
    if (!context().files.isInsideDenied(path)) {
        const QByteArray host = context().files.hostPath(path);
        m_recvFd = ::open(host.constData(), O_RDONLY | O_CLOEXEC);
        error = errno;
    }
    if (m_recvFd < 0) {
        send(SyncProtocol::fail("open failed: " + errorText(error)));
        return;
    }
    m_state = State::Receiving;
    pumpReceive();
}

void SyncService::pumpReceive()
{
    if (m_pumping)
        return;
    m_pumping = true;
    const qsizetype window = 2 * qsizetype(connection()->maxPayload());
    QByteArray out;
    out.reserve(window + SyncProtocol::MaxData);
    while (m_state == State::Receiving && backlog() + out.size() < window) {
        // Each DATA message is read straight behind its header.
        const qsizetype at = out.size();
        out.resize(at + SyncProtocol::RequestSize + SyncProtocol::MaxData);
        const ssize_t n = ::read(m_recvFd, out.data() + at + SyncProtocol::RequestSize, SyncProtocol::MaxData);
        const int error = errno;
        out.resize(at + SyncProtocol::RequestSize + std::max<ssize_t>(n, 0));
        if (n < 0 && error == EINTR) {
            out.resize(at);
            continue;
        }
        if (n <= 0) {
            out.resize(at);
            out += n == 0 ? SyncProtocol::done() : SyncProtocol::fail("read failed: " + errorText(error));
            ::close(std::exchange(m_recvFd, -1));
            m_state = State::Requests;
            break;
        }
        memcpy(out.data() + at, SyncProtocol::header(SyncProtocol::Data, quint32(n)).constData(), SyncProtocol::RequestSize);
        if (context().link->countFileBytes(n)) {
            dropConnection();
            m_pumping = false;
            return;
        }
    }
    if (!out.isEmpty())
        send(out);
    m_pumping = false;
    // Requests that arrived while the file was going out; inside process() its loop goes on.
    if (m_state == State::Requests && !m_processing && !m_input.isEmpty())
        process();
}

void SyncService::readyForMore()
{
    if (m_state == State::Receiving)
        pumpReceive();
}

void SyncService::dropConnection()
{
    m_state = State::Ended;
    QMetaObject::invokeMethod(connection(), &Connection::drop, Qt::QueuedConnection);
}
