#pragma once

#include <QCoro/QCoroTask>
#include <QString>
#include <QStringList>

struct ShellResult
{
    int code = -1;
    QString out;  // standard output and standard error as one text
};

namespace DriveTests {

// Runs a system tool (looked up in the search path, then in the administrator folders) and
// waits for it without blocking the main thread. A tool that cannot be found or started gives
// code -1 and the reason as its output.
QCoro::Task<ShellResult> shell(const QString &tool, const QStringList &args);

}
