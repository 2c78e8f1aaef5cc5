#include "PrivateNamespace.h"

#include "NamespaceAdvice.h"

#include <QByteArray>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

namespace {

std::optional<qint64> setting(const char *path)
{
    QFile file(QString::fromLatin1(path));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    bool ok = false;
    const qint64 value = file.readAll().trimmed().toLongLong(&ok);
    return ok ? std::optional<qint64>(value) : std::nullopt;
}

QString advice(const QString &step, int error)
{
    NamespaceSettings settings;
    settings.unprivilegedClone = setting("/proc/sys/kernel/unprivileged_userns_clone");
    settings.apparmorRestriction = setting("/proc/sys/kernel/apparmor_restrict_unprivileged_userns");
    settings.maxUserNamespaces = setting("/proc/sys/user/max_user_namespaces");
    return namespaceAdvice(settings, step, error);
}

bool writeProcFile(const char *path, const QByteArray &text)
{
    const int fd = ::open(path, O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool written = ::write(fd, text.constData(), size_t(text.size())) == text.size();
    const int error = errno;
    ::close(fd);
    errno = error;
    return written;
}

}

bool enterPrivateNamespace(QString &error)
{
    if (geteuid() == 0)
        return true;
    const QByteArray uid = QByteArray::number(geteuid());
    const QByteArray gid = QByteArray::number(getegid());
    if (unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) {
        error = advice(QStringLiteral("create a user namespace"), errno);
        return false;
    }
    // Without setgroups denied, an unprivileged process may not map its group.
    if (!writeProcFile("/proc/self/setgroups", "deny") || !writeProcFile("/proc/self/uid_map", "0 " + uid + " 1")
        || !writeProcFile("/proc/self/gid_map", "0 " + gid + " 1")) {
        error = advice(QStringLiteral("map this user to root in its user namespace"), errno);
        return false;
    }
    // The capped storage mounted here stays here.
    if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        error = advice(QStringLiteral("make the phone's mounts private"), errno);
        return false;
    }
    return true;
}

bool canMakeSandbox(QString &error)
{
    if (unshare(CLONE_NEWNS) != 0) {
        error = QStringLiteral("cannot create a mount namespace for the phone's shell: %1")
                    .arg(QString::fromLocal8Bit(strerror(errno)));
        return false;
    }
    return true;
}
