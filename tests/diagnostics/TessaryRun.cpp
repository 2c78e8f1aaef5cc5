#include "TessaryRun.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>

namespace {

// A port for an adb server of the run's own: not adb's default 5037, and outside 5555–5585,
// which an adb server scans for emulators.
int freeServerPort()
{
    for (int attempt = 0; attempt < 20; ++attempt) {
        QTcpServer probe;
        if (!probe.listen(QHostAddress::LocalHost, 0))
            continue;
        const int port = probe.serverPort();
        if (port != 5037 && (port < 5555 || port > 5585))
            return port;
    }
    return 0;
}

QString adbProgram()
{
    return QFileInfo::exists(QStringLiteral("/usr/bin/adb")) ? QStringLiteral("/usr/bin/adb")
                                                             : QStandardPaths::findExecutable(QStringLiteral("adb"));
}

// Stops the adb server the run's device poll may have started on its private port.
void stopServer(const QProcessEnvironment &environment)
{
    const QString adb = adbProgram();
    if (adb.isEmpty())
        return;
    QProcess kill;
    kill.setProcessEnvironment(environment);
    kill.start(adb, {QStringLiteral("kill-server")});
    if (!kill.waitForFinished(10000))
        kill.kill();
    kill.waitForFinished(2000);
}

}

QString tessaryExecutable()
{
    const QString explicitPath = qEnvironmentVariable("TESSARY_EXE");
    if (!explicitPath.isEmpty())
        return explicitPath;
    return qEnvironmentVariable("TESSARY_BUILD_DIR") + QStringLiteral("/tessary");
}

RunOutcome runTessary(const RunSetup &setup)
{
    QProcessEnvironment environment = setup.environment;
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    if (!setup.temporaryFolder.isEmpty()) {
        environment.insert(QStringLiteral("TMPDIR"), setup.temporaryFolder);
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), setup.temporaryFolder);
        // Unless the caller chose a home for the run, it gets one of its own.
        if (environment.value(QStringLiteral("HOME")) == QDir::homePath()) {
            const QString home = setup.temporaryFolder + QStringLiteral("/home");
            QDir().mkpath(home);
            environment.insert(QStringLiteral("HOME"), home);
        }
    }
    // Without a server port of its own, the run's device poll would start (or use) adb's default
    // server, the one that sees a developer's real phone.
    const bool ownServer = !environment.contains(QStringLiteral("ANDROID_ADB_SERVER_PORT"));
    if (ownServer)
        environment.insert(QStringLiteral("ANDROID_ADB_SERVER_PORT"), QString::number(freeServerPort()));

    QProcess process;
    process.setProcessEnvironment(environment);
    if (!setup.workingDirectory.isEmpty())
        process.setWorkingDirectory(setup.workingDirectory);
    QStringList command = setup.wrapper;
    command << tessaryExecutable() << setup.arguments;
    process.start(command.takeFirst(), command);

    RunOutcome outcome;
    outcome.finished = process.waitForFinished(setup.timeoutMs);
    if (!outcome.finished) {
        process.kill();
        process.waitForFinished(5000);
    }
    if (ownServer)
        stopServer(environment);
    outcome.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    QString output = QString::fromUtf8(process.readAllStandardOutput());
    if (output.endsWith(QLatin1Char('\n')))
        output.chop(1);
    outcome.lines = output.isEmpty() ? QStringList() : output.split(QLatin1Char('\n'));
    outcome.errorOutput = QString::fromUtf8(process.readAllStandardError());
    return outcome;
}

QByteArray describe(const RunOutcome &outcome)
{
    return (QStringLiteral("status %1, finished %2\n--- stdout\n%3\n--- stderr\n%4")
                .arg(outcome.status)
                .arg(outcome.finished)
                .arg(outcome.lines.join(QLatin1Char('\n')), outcome.errorOutput.right(4000)))
        .toUtf8();
}
