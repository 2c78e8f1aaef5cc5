#pragma once

#include <QString>

// The report of one self-test run: prints each line to standard output at once (flushed, so a
// reader sees it even if the process ends right after) and counts the failed checks.
class CheckLog
{
public:
    void check(const QString &name, bool ok, const QString &detail = {});
    // An information, fatal or verdict line, printed as it stands.
    void print(const QString &line);
    int failures() const { return m_failures; }

private:
    int m_failures = 0;
};

void printLine(const QString &line);
