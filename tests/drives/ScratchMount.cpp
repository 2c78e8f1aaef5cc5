#include "ScratchMount.h"

#include <QDir>
#include <QProcess>
#include <QThread>
#include <QRandomGenerator>

ScratchMount::ScratchMount(const QString &name)
    : m_name(name.isEmpty() ? QStringLiteral("TsyT%1").arg(QRandomGenerator::global()->generate() % 1000000)
                            : name)
    , m_mountPoint(QStringLiteral("/media/") + m_name)
{
}

ScratchMount::~ScratchMount()
{
    unmount();
}

bool ScratchMount::run(const QString &program, const QStringList &arguments, QString *output)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        m_error = program + QStringLiteral(" did not finish");
        return false;
    }
    const QString text = QString::fromLocal8Bit(process.readAll()).trimmed();
    if (output)
        *output = text;
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        m_error = program + QLatin1Char(' ') + arguments.join(QLatin1Char(' ')) + QStringLiteral(": ") + text;
        return false;
    }
    return true;
}

bool ScratchMount::makeMountPoint()
{
    if (!QDir().mkpath(m_mountPoint)) {
        m_error = QStringLiteral("cannot create ") + m_mountPoint;
        return false;
    }
    m_madeFolders.append(m_mountPoint);
    return true;
}

bool ScratchMount::mountTmpfs(bool readOnly)
{
    if (!makeMountPoint())
        return false;
    const QString options = readOnly ? QStringLiteral("size=8m,ro") : QStringLiteral("size=8m");
    m_mounted = run(QStringLiteral("mount"),
                    {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"), options,
                     QStringLiteral("tmpfs"), m_mountPoint});
    return m_mounted;
}

bool ScratchMount::mountExfatImage(bool readOnly)
{
    const QString image = m_folder.filePath(QStringLiteral("drive.img"));
    if (!m_folder.isValid() || !makeMountPoint()
        || !run(QStringLiteral("truncate"), {QStringLiteral("-s"), QStringLiteral("32M"), image})
        || !run(QStringLiteral("mkfs.exfat"), {QStringLiteral("-L"), m_name, image}))
        return false;
    QStringList attach{QStringLiteral("--find"), QStringLiteral("--show")};
    if (readOnly)
        attach << QStringLiteral("--read-only");
    if (!run(QStringLiteral("losetup"), attach << image, &m_loopDevice))
        return false;
    const QString options = readOnly ? QStringLiteral("ro") : QStringLiteral("rw");
    m_mounted = run(QStringLiteral("mount"), {QStringLiteral("-t"), QStringLiteral("exfat"), QStringLiteral("-o"),
                                              options, m_loopDevice, m_mountPoint})
        || run(QStringLiteral("mount.exfat-fuse"),
               {QStringLiteral("-o"), options, m_loopDevice, m_mountPoint});
    return m_mounted;
}

bool ScratchMount::moveTo(const QString &newName)
{
    const QString target = QStringLiteral("/media/") + newName;
    if (!QDir().mkpath(target))
        return false;
    m_madeFolders.append(target);
    if (!run(QStringLiteral("mount"), {QStringLiteral("--move"), m_mountPoint, target}))
        return false;
    m_name = newName;
    m_mountPoint = target;
    return true;
}

bool ScratchMount::unmount()
{
    bool clean = true;
    if (m_mounted) {
        // A test that already unmounted (eject) leaves "not mounted" here, which is fine.
        // A drive scan of the code under test may be reading the volume's size at this very
        // moment, which makes umount answer "target is busy" for that instant; anything that
        // keeps it busy for seconds is a real leak and fails with umount's message.
        QString output;
        bool unmounted = run(QStringLiteral("umount"), {m_mountPoint}, &output);
        for (int attempt = 0; !unmounted && output.contains(QStringLiteral("busy")) && attempt < 50; ++attempt) {
            QThread::msleep(200);
            unmounted = run(QStringLiteral("umount"), {m_mountPoint}, &output);
        }
        if (!unmounted && !output.contains(QStringLiteral("not mounted"))) {
            run(QStringLiteral("umount"), {QStringLiteral("--lazy"), m_mountPoint});
            clean = false;
        }
        m_mounted = false;
    }
    if (!m_loopDevice.isEmpty()) {
        run(QStringLiteral("losetup"), {QStringLiteral("--detach"), m_loopDevice});
        m_loopDevice.clear();
    }
    for (const QString &folder : std::as_const(m_madeFolders))
        QDir().rmdir(folder);
    m_madeFolders.clear();
    return clean;
}
