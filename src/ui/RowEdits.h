#pragma once

#include "bridge/FileEntry.h"

#include <QList>

#include <optional>

// One step that turns the rows a pane shows into a new listing of the same folder. Steps apply
// in order to the rows as the earlier steps left them: remove the row at `row`; insert
// `next[from]` at `row`; replace the row at `row` by `next[from]`.
struct RowEdit
{
    enum class Kind { remove, insert, change };
    Kind kind = Kind::change;
    qsizetype row = 0;
    qsizetype from = 0;

    bool operator==(const RowEdit &) const = default;
};

// The steps from `shown` to `next`, both in the panes' name order with each path once (a row's
// identity is its path): rows gone, rows new and rows whose entry changed, in one walk down
// both lists. Absent when the two differ in order, or by more than `limit` steps; then the
// whole table is better replaced at once.
std::optional<QList<RowEdit>> rowEdits(const QList<FileEntry> &shown, const QList<FileEntry> &next,
                                       qsizetype limit);
