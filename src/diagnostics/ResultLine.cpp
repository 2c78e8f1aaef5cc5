#include "diagnostics/ResultLine.h"

QString resultLine(const QString &name, bool ok, const QString &detail)
{
    QString line = (ok ? QStringLiteral("PASS ") : QStringLiteral("FAIL ")) + name;
    if (!detail.isEmpty())
        line += QStringLiteral("  \u2014 ") + detail;
    return line;
}
