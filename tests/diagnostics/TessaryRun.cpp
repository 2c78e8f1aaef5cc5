#include "TessaryRun.h"

#include <QProcess>

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
    }

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
