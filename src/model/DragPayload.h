#pragma once

#include "bridge/FileEntry.h"
#include "model/transfer/DroppedPaths.h"

#include <QList>
#include <QSet>
#include <QStringList>

class QMimeData;

// What a drag of `entry` carries: the whole selection in the order of the pane's `rows` when
// the row is part of it, otherwise the row alone.
QStringList draggedPaths(const FileEntry &entry, const QSet<QString> &selection,
                         const QList<FileEntry> &rows);

// The items of a drop: the private payload when there is one (nothing when it cannot be
// decoded), otherwise one item without a side per file URL (an empty path list for a URL
// that is not a file).
QList<DroppedPaths> droppedItems(const QMimeData *data);

// `paths` with later repeats removed, the first occurrence kept in place.
QStringList withoutDuplicates(const QStringList &paths);
