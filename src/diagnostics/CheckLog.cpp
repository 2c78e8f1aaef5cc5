#include "diagnostics/CheckLog.h"

#include "diagnostics/ResultLine.h"

#include <cstdio>

void printLine(const QString &line)
{
    const QByteArray bytes = line.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

void CheckLog::check(const QString &name, bool ok, const QString &detail)
{
    if (!ok)
        ++m_failures;
    printLine(resultLine(name, ok, detail));
}

void CheckLog::print(const QString &line)
{
    printLine(line);
}
