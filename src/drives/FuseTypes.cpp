#include "drives/FuseTypes.h"

#include <QFile>
#include <QHash>
#include <QMutex>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>

namespace {

// blkid lives in sbin, which an ordinary user's PATH often lacks. Without root it answers
// from its cache, or not at all, in which case the mount keeps its FUSE name.
QString blkidType(const QString &device)
{
    if (!device.startsWith(QLatin1String("/dev/")) || !QFile::exists(device))
        return {};
    const QString blkid = QStandardPaths::findExecutable(
        QStringLiteral("blkid"), {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin"),
                                  QStringLiteral("/usr/bin"), QStringLiteral("/bin")});
    if (blkid.isEmpty())
        return {};
    QProcess process;
    process.start(blkid, {QStringLiteral("-o"), QStringLiteral("value"), QStringLiteral("-s"),
                          QStringLiteral("TYPE"), device});
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

// One mount: the kernel's mount id is reused after an unmount, so the device and the
// mount point are part of the key.
QString keyOf(const MountEntry &mount)
{
    return QString::number(mount.mountId) + QLatin1Char('\n') + mount.source + QLatin1Char('\n')
        + mount.mountPoint;
}

struct Cache
{
    QMutex lock;
    QHash<QString, QString> types;
    std::function<QString(const QString &)> probe;
};

Cache &cache()
{
    static Cache instance;
    return instance;
}

} // namespace

namespace FuseTypes {

std::optional<QString> known(const MountEntry &mount)
{
    Cache &state = cache();
    QMutexLocker locker(&state.lock);
    const auto found = state.types.constFind(keyOf(mount));
    if (found == state.types.constEnd())
        return std::nullopt;
    return found.value();
}

QString learn(const MountEntry &mount)
{
    if (const std::optional<QString> type = known(mount))
        return *type;
    std::function<QString(const QString &)> probe;
    {
        QMutexLocker locker(&cache().lock);
        probe = cache().probe;
    }
    // The probe runs unlocked, so a reader on the main thread never waits for blkid.
    const QString type = probe ? probe(mount.source) : blkidType(mount.source);
    QMutexLocker locker(&cache().lock);
    cache().types.insert(keyOf(mount), type);
    return type;
}

void keepOnly(const QList<MountEntry> &table)
{
    QSet<QString> current;
    for (const MountEntry &mount : table)
        current.insert(keyOf(mount));
    Cache &state = cache();
    QMutexLocker locker(&state.lock);
    state.types.removeIf([&](const QHash<QString, QString>::iterator it) { return !current.contains(it.key()); });
}

void setProbeForTesting(std::function<QString(const QString &device)> probe)
{
    Cache &state = cache();
    QMutexLocker locker(&state.lock);
    state.probe = std::move(probe);
    state.types.clear();
}

} // namespace FuseTypes
