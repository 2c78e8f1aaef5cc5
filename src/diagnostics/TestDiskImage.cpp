#include "diagnostics/TestDiskImage.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QUuid>

namespace {

const QString udisksctl = QStringLiteral("udisksctl");
const QString noPrompt = QStringLiteral("--no-user-interaction");

// udisksctl answers "Mapped file … as /dev/loop0." and "Mounted /dev/loop0 at /media/u/NAME"
// (or, when the desktop mounted it first, "… is already mounted at `/media/u/NAME'.").
QString lastPathIn(const QString &text, const QString &after)
{
    static const QRegularExpression trailing(QStringLiteral("[.'`\\s]+$"));
    const int at = text.lastIndexOf(after);
    if (at < 0)
        return {};
    QString rest = text.mid(at + after.size()).section(QLatin1Char('\n'), 0, 0);
    rest.remove(trailing);
    if (rest.startsWith(QLatin1Char('`')) || rest.startsWith(QLatin1Char('\'')))
        rest.remove(0, 1);
    return rest.startsWith(QLatin1Char('/')) ? rest : QString();
}

}

TestDiskImage::TestDiskImage()
    : m_folder(QDir::tempPath() + QStringLiteral("/tydrive-") + QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper())
    , m_volumeName(QStringLiteral("TYTEST") + QString::number(QRandomGenerator::global()->bounded(100, 1000)))
    , m_mountPoint(QStringLiteral("/media/") + m_volumeName)
{
}

QCoro::Task<ShellResult> TestDiskImage::create()
{
    if (!QDir().mkpath(m_folder))
        co_return ShellResult{-1, QStringLiteral("cannot create ") + m_folder};

    // udisks needs a desktop session to ask for permission; without one, attach as root.
    m_useUdisks = false;
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) {
        const QStringList args{QStringLiteral("status")};
        const ShellResult status = co_await DriveTests::shell(udisksctl, args);
        m_useUdisks = status.code == 0;
    }

    QFile::remove(imagePath());
    const QStringList size{QStringLiteral("-s"), QStringLiteral("24M"), imagePath()};
    ShellResult sized = co_await DriveTests::shell(QStringLiteral("truncate"), size);
    if (sized.code != 0)
        co_return sized;
    const QStringList format{QStringLiteral("-L"), m_volumeName, imagePath()};
    co_return co_await DriveTests::shell(QStringLiteral("mkfs.exfat"), format);
}

QCoro::Task<ShellResult> TestDiskImage::attach(bool readOnly)
{
    if (m_useUdisks)
        co_return co_await attachWithUdisks(readOnly);
    co_return co_await attachAsRoot(readOnly);
}

QCoro::Task<ShellResult> TestDiskImage::attachWithUdisks(bool readOnly)
{
    QStringList setup{QStringLiteral("loop-setup"), noPrompt, QStringLiteral("-f"), imagePath()};
    if (readOnly)
        setup << QStringLiteral("-r");
    ShellResult mapped = co_await DriveTests::shell(udisksctl, setup);
    if (mapped.code != 0)
        co_return mapped;
    m_loopDevice = lastPathIn(mapped.out, QStringLiteral(" as "));
    if (m_loopDevice.isEmpty())
        co_return ShellResult{-1, mapped.out};

    QStringList mount{QStringLiteral("mount"), noPrompt, QStringLiteral("-b"), m_loopDevice};
    if (readOnly)
        mount << QStringLiteral("-o") << QStringLiteral("ro");
    ShellResult mounted = co_await DriveTests::shell(udisksctl, mount);
    const QString where = lastPathIn(mounted.out, QStringLiteral(" at "));
    if (where.isEmpty()) {
        co_await releaseLoopDevice();
        co_return ShellResult{mounted.code == 0 ? -1 : mounted.code, mounted.out};
    }
    m_mountPoint = where;
    co_return ShellResult{0, mounted.out};
}

QCoro::Task<ShellResult> TestDiskImage::attachAsRoot(bool readOnly)
{
    QStringList setup{QStringLiteral("--find"), QStringLiteral("--show")};
    if (readOnly)
        setup << QStringLiteral("--read-only");
    setup << imagePath();
    ShellResult mapped = co_await DriveTests::shell(QStringLiteral("losetup"), setup);
    if (mapped.code != 0)
        co_return mapped;
    m_loopDevice = mapped.out.trimmed();

    if (!QDir(m_mountPoint).exists()) {
        if (!QDir().mkpath(m_mountPoint)) {
            co_await releaseLoopDevice();
            co_return ShellResult{-1, QStringLiteral("cannot create ") + m_mountPoint};
        }
        m_madeMountPoint = true;
    }

    QStringList options;
    if (readOnly)
        options << QStringLiteral("-o") << QStringLiteral("ro");
    const QStringList target{m_loopDevice, m_mountPoint};
    const QStringList kernelMount = QStringList{QStringLiteral("-t"), QStringLiteral("exfat")} + options + target;
    ShellResult mounted = co_await DriveTests::shell(QStringLiteral("mount"), kernelMount);
    if (mounted.code != 0) {
        // Kernels built without exFAT: the FUSE driver mounts it instead.
        mounted = co_await DriveTests::shell(QStringLiteral("mount.exfat-fuse"), options + target);
    }
    if (mounted.code != 0) {
        co_await releaseLoopDevice();
        if (m_madeMountPoint && QDir().rmdir(m_mountPoint))
            m_madeMountPoint = false;
    }
    co_return mounted;
}

QCoro::Task<ShellResult> TestDiskImage::detach()
{
    ShellResult result;
    if (m_useUdisks) {
        if (m_loopDevice.isEmpty())
            co_return ShellResult{0, {}};
        const QStringList unmount{QStringLiteral("unmount"), noPrompt, QStringLiteral("-b"), m_loopDevice, QStringLiteral("-f")};
        result = co_await DriveTests::shell(udisksctl, unmount);
        co_await releaseLoopDevice();
        co_return result;
    }

    const QStringList forced{QStringLiteral("-f"), m_mountPoint};
    result = co_await DriveTests::shell(QStringLiteral("umount"), forced);
    if (result.code != 0) {
        // A busy volume still goes away from the file system at once when detached lazily.
        const QStringList detached{QStringLiteral("-l"), m_mountPoint};
        const ShellResult lazy = co_await DriveTests::shell(QStringLiteral("umount"), detached);
        if (lazy.code == 0)
            result = lazy;
    }
    co_await releaseLoopDevice();
    if (m_madeMountPoint && QDir().rmdir(m_mountPoint))
        m_madeMountPoint = false;
    co_return result;
}

QCoro::Task<ShellResult> TestDiskImage::releaseLoopDevice()
{
    if (m_loopDevice.isEmpty())
        co_return ShellResult{0, {}};
    const QString device = std::exchange(m_loopDevice, QString());
    if (m_useUdisks) {
        const QStringList remove{QStringLiteral("loop-delete"), noPrompt, QStringLiteral("-b"), device};
        co_return co_await DriveTests::shell(udisksctl, remove);
    }
    const QStringList remove{QStringLiteral("-d"), device};
    co_return co_await DriveTests::shell(QStringLiteral("losetup"), remove);
}

QCoro::Task<> TestDiskImage::cleanUp()
{
    if (!m_loopDevice.isEmpty() || m_madeMountPoint)
        co_await detach();
    QDir(m_folder).removeRecursively();
}
