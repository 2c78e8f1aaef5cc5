#include "diagnostics/Shell.h"

#include <QCoro/QCoroProcess>
#include <QProcess>
#include <QStandardPaths>

#include <memory>

namespace DriveTests {

QCoro::Task<ShellResult> shell(const QString &tool, const QStringList &args)
{
    QString program = QStandardPaths::findExecutable(tool);
    if (program.isEmpty())
        program = QStandardPaths::findExecutable(tool, {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin"),
                                                        QStringLiteral("/usr/bin"), QStringLiteral("/bin")});
    if (program.isEmpty())
        co_return ShellResult{-1, tool + QStringLiteral(" not found")};

    auto process = std::make_unique<QProcess>();
    process->setProcessChannelMode(QProcess::MergedChannels);
    process->setStandardInputFile(QProcess::nullDevice());
    if (!co_await qCoro(*process).start(program, args)) {
        co_return ShellResult{-1, process->errorString()};
    }
    co_await qCoro(*process).waitForFinished(std::chrono::minutes(2));
    ShellResult result;
    result.out = QString::fromUtf8(process->readAll());
    if (process->state() != QProcess::NotRunning) {
        process->kill();
        process->waitForFinished(1000);
        result.out += tool + QStringLiteral(" did not finish");
        co_return result;
    }
    result.code = process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -1;
    co_return result;
}

}
