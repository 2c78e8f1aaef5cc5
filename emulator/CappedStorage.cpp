#include "CappedStorage.h"

#include <QFile>
#include <QProcess>

#include <cerrno>
#include <cstring>
#include <sys/mount.h>

CappedStorage::~CappedStorage()
{
    if (!m_folder.isEmpty())
        umount2(QFile::encodeName(m_folder).constData(), MNT_DETACH);
}

bool CappedStorage::mount(const QString &folder, int megabytes, const QString &staging, QString &error)
{
    const QByteArray stagingPath = QFile::encodeName(staging);
    const QByteArray options = QByteArray("size=") + QByteArray::number(megabytes) + "m,mode=0771";
    if (::mount("tmpfs", stagingPath.constData(), "tmpfs", 0, options.constData()) != 0) {
        error = QStringLiteral("cannot mount a tmpfs on %1: %2").arg(staging, QString::fromLocal8Bit(strerror(errno)));
        return false;
    }
    QProcess copy;
    copy.start(QStringLiteral("cp"), {QStringLiteral("-a"), folder + QStringLiteral("/."), staging + QLatin1Char('/')});
    const bool copied = copy.waitForFinished(-1) && copy.exitStatus() == QProcess::NormalExit && copy.exitCode() == 0;
    const bool bound = copied
        && ::mount(stagingPath.constData(), QFile::encodeName(folder).constData(), nullptr, MS_BIND, nullptr) == 0;
    const int bindError = errno;
    umount2(stagingPath.constData(), MNT_DETACH);
    if (!copied) {
        error = QStringLiteral("cannot copy %1 into a %2 MiB storage: %3")
                    .arg(folder).arg(megabytes).arg(QString::fromLocal8Bit(copy.readAllStandardError()));
        return false;
    }
    if (!bound) {
        error = QStringLiteral("cannot mount the storage on %1: %2").arg(folder, QString::fromLocal8Bit(strerror(bindError)));
        return false;
    }
    m_folder = folder;
    return true;
}
