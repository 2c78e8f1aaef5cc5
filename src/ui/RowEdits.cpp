#include "ui/RowEdits.h"

#include <QSet>

namespace {

QSet<QString> pathsOf(const QList<FileEntry> &entries)
{
    QSet<QString> paths;
    paths.reserve(entries.size());
    for (const FileEntry &entry : entries)
        paths.insert(entry.path);
    return paths;
}

} // namespace

std::optional<QList<RowEdit>> rowEdits(const QList<FileEntry> &shown, const QList<FileEntry> &next,
                                       qsizetype limit)
{
    const QSet<QString> shownPaths = pathsOf(shown);
    const QSet<QString> nextPaths = pathsOf(next);
    if (shownPaths.size() != shown.size() || nextPaths.size() != next.size())
        return std::nullopt;
    QList<RowEdit> edits;
    qsizetype i = 0;
    qsizetype j = 0;
    qsizetype row = 0;
    while (i < shown.size() || j < next.size()) {
        if (edits.size() > limit)
            return std::nullopt;
        if (i < shown.size() && !nextPaths.contains(shown.at(i).path)) {
            edits.append({RowEdit::Kind::remove, row, 0});
            ++i;
            continue;
        }
        if (j < next.size() && !shownPaths.contains(next.at(j).path)) {
            edits.append({RowEdit::Kind::insert, row, j});
            ++row;
            ++j;
            continue;
        }
        // Both rows stay: the same path must come next on both sides.
        if (i >= shown.size() || j >= next.size() || shown.at(i).path != next.at(j).path)
            return std::nullopt;
        if (shown.at(i) != next.at(j))
            edits.append({RowEdit::Kind::change, row, j});
        ++row;
        ++i;
        ++j;
    }
    if (edits.size() > limit)
        return std::nullopt;
    return edits;
}
