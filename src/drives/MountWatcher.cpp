#include "drives/MountWatcher.h"

#include "drives/Drives.h"

#include <QFile>
#include <QSocketNotifier>
#include <QTimer>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace {
const char mountInfoPath[] = "/proc/self/mountinfo";
}

MountWatcher::MountWatcher(QObject *parent)
    : QObject(parent)
{
    m_fd = ::open(mountInfoPath, O_RDONLY | O_CLOEXEC);
    if (m_fd >= 0) {
        m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Exception, this);
        connect(m_notifier, &QSocketNotifier::activated, this, &MountWatcher::check);
    } else {
        m_timer = new QTimer(this);
        m_timer->setInterval(1000);
        connect(m_timer, &QTimer::timeout, this, &MountWatcher::check);
        m_timer->start();
    }
    m_mounts = MountTable::parse(readTable());
}

MountWatcher::~MountWatcher()
{
    delete m_notifier;
    if (m_fd >= 0)
        ::close(m_fd);
}

QByteArray MountWatcher::readTable()
{
    if (m_fd < 0) {
        QFile file(QString::fromLatin1(mountInfoPath));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QByteArray text;
    char buffer[16384];
    if (::lseek(m_fd, 0, SEEK_SET) < 0)
        return text;
    for (;;) {
        const ssize_t got = ::read(m_fd, buffer, sizeof buffer);
        if (got > 0)
            text.append(buffer, got);
        else if (got < 0 && errno == EINTR)
            continue;
        else
            break;
    }
    return text;
}

void MountWatcher::check()
{
    const QList<MountEntry> now = MountTable::parse(readTable());
    const MountDiff change = MountTable::diff(m_mounts, now);
    m_mounts = now;
    if (change.isEmpty())
        return;
    for (const MountEntry &entry : change.unmounted) {
        if (Drives::isExternalMountPath(entry.mountPoint))
            emit unmounted(entry.mountPoint);
    }
    for (const auto &[from, to] : change.renamed) {
        if (Drives::isExternalMountPath(from) || Drives::isExternalMountPath(to))
            emit renamed(from, to);
    }
    for (const MountEntry &entry : change.remounted) {
        if (Drives::isExternalMountPath(entry.mountPoint))
            emit remounted(entry.mountPoint);
    }
    for (const MountEntry &entry : change.mounted) {
        if (Drives::isExternalMountPath(entry.mountPoint))
            emit mounted(entry.mountPoint);
    }
    emit mountsChanged();
}
