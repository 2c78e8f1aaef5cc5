#pragma once

#include "bridge/FileEntry.h"

#include <QList>
#include <QSet>
#include <QStringList>

// `paths` in the order of the pane's rows, so a batch runs top to bottom as the pane shows
// it; paths that are no row of the pane keep their given order after them.
QStringList inRowOrder(const QStringList &paths, const QList<FileEntry> &rows);

// A selection as a list in the order of the pane's rows; selected paths that are no row
// follow in name order.
QStringList inRowOrder(const QSet<QString> &selection, const QList<FileEntry> &rows);
