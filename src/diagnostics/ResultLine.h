#pragma once

#include <QString>

// One line of a self-test's report: "PASS " or "FAIL ", the check's name and, only when there
// is a detail, two spaces, an em dash, a space and the detail.
QString resultLine(const QString &name, bool ok, const QString &detail = {});
