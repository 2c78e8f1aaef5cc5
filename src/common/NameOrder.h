#pragma once

#include <QCollatorSortKey>
#include <QString>

// The one name order of the whole application, as a desktop file browser sorts:
// letters compared without regard to case, runs of digits by numeric value
// (file2 before file10). Returns <0, 0 or >0.
int compareNames(const QString &a, const QString &b);
bool nameLess(const QString &a, const QString &b);

// The same order as a key made once per name: comparing two keys gives compareNames' answer
// without collating again, so sorting n names costs n key builds instead of n·log n
// collations.
QCollatorSortKey nameSortKey(const QString &name);
