#pragma once

#include <QString>

// The one name order of the whole application, as a desktop file browser sorts:
// letters compared without regard to case, runs of digits by numeric value
// (file2 before file10). Returns <0, 0 or >0.
int compareNames(const QString &a, const QString &b);
bool nameLess(const QString &a, const QString &b);
