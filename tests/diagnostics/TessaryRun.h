#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// How the built tessary executable is started for one end-to-end run.
struct RunSetup
{
    QStringList arguments;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    QString workingDirectory;
    // Temporary folder of the run (TMPDIR, XDG_RUNTIME_DIR, and HOME unless the environment
    // names another), so parallel runs never meet. Without ANDROID_ADB_SERVER_PORT in the
    // environment the run gets a private adb server port, and its server is stopped afterwards.
    QString temporaryFolder;
    // Commands placed before tessary, e.g. to run it in its own mount namespace.
    QStringList wrapper;
    int timeoutMs = 240000;
};

struct RunOutcome
{
    bool finished = false;
    int status = -1;
    QStringList lines;  // standard output, one entry per line
    QString errorOutput;
};

QString tessaryExecutable();
RunOutcome runTessary(const RunSetup &setup);

// Standard output and error of a run, for failure messages.
QByteArray describe(const RunOutcome &outcome);
