#include "platform/linux/LinuxEjector.h"

#include <QCoro/QCoroProcess>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QProcess>
#include <QStandardPaths>
#include <QStorageInfo>

#include <chrono>

namespace {

const QStringList systemBinaries{QStringLiteral("/usr/bin"), QStringLiteral("/bin"),
                                 QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")};

bool udisksRunning()
{
    QDBusConnection bus = QDBusConnection::systemBus();
    return bus.isConnected() && bus.interface()
        && bus.interface()->isServiceRegistered(QStringLiteral("org.freedesktop.UDisks2")).value();
}

QString failureText(const QString &tool, QProcess &process)
{
    QString message = QString::fromLocal8Bit(process.readAllStandardError()).simplified();
    if (message.isEmpty())
        message = QString::fromLocal8Bit(process.readAllStandardOutput()).simplified();
    if (message.isEmpty())
        message = tool + QStringLiteral(" failed with status ") + QString::number(process.exitCode())
            + QLatin1Char('.');
    return message;
}

QString notStartedText(const QString &tool)
{
    return tool + QStringLiteral(" could not be started.");
}

struct EjectPlan
{
    QString program;
    QList<QStringList> steps;
};

// The udisksctl to use, or empty for none.
QString udisksTool(const LinuxEjector::Tools &tools)
{
    if (tools.udisksctl)
        return *tools.udisksctl;
    const QString found = QStandardPaths::findExecutable(QStringLiteral("udisksctl"), systemBinaries);
    return !found.isEmpty() && udisksRunning() ? found : QString();
}

EjectPlan planFor(const QString &mountPath, const LinuxEjector::Tools &tools)
{
    const QString device = QString::fromLocal8Bit(QStorageInfo(mountPath).device());
    const QString udisksctl = udisksTool(tools);
    if (!udisksctl.isEmpty() && device.startsWith(QLatin1String("/dev/"))) {
        const bool diskImage = device.startsWith(QLatin1String("/dev/loop"));
        return {udisksctl,
                {{QStringLiteral("unmount"), QStringLiteral("-b"), device},
                 {diskImage ? QStringLiteral("loop-delete") : QStringLiteral("power-off"),
                  QStringLiteral("-b"), device}}};
    }
    const QString umount = QStandardPaths::findExecutable(QStringLiteral("umount"), systemBinaries);
    return {umount.isEmpty() ? QStringLiteral("umount") : umount,
            QList<QStringList>{QStringList{mountPath}}};
}

// Runs one tool to its end without blocking the thread; its own message when it fails.
QCoro::Task<std::optional<QString>> runTool(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setProcessChannelMode(QProcess::SeparateChannels);
    const QString tool = program.section(QLatin1Char('/'), -1);
    if (!co_await qCoro(process).start(QIODevice::ReadOnly, std::chrono::milliseconds(-1)))
        co_return notStartedText(tool);
    co_await qCoro(process).waitForFinished(std::chrono::milliseconds(-1));
    if (process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
        co_return std::nullopt;
    co_return failureText(tool, process);
}

} // namespace

LinuxEjector::LinuxEjector(Tools tools)
    : m_tools(std::move(tools))
{
}

QCoro::Task<std::optional<QString>> LinuxEjector::eject(const QString &mountPath)
{
    const EjectPlan plan = planFor(mountPath, m_tools);
    // The first step unmounts; what follows only powers the drive off or frees its loop
    // device, and the drive is already safe to pull whether or not that works.
    if (auto failure = co_await runTool(plan.program, plan.steps.first()))
        co_return failure;
    for (qsizetype step = 1; step < plan.steps.size(); ++step)
        co_await runTool(plan.program, plan.steps.at(step));
    co_return std::nullopt;
}
