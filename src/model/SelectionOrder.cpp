#include "model/SelectionOrder.h"

#include "common/NameOrder.h"

#include <QHash>

#include <algorithm>

QStringList inRowOrder(const QStringList &paths, const QList<FileEntry> &rows)
{
    QHash<QString, qsizetype> position;
    for (qsizetype row = 0; row < rows.size(); ++row)
        position.insert(rows.at(row).path, row);
    QStringList ordered = paths;
    std::stable_sort(ordered.begin(), ordered.end(), [&position, &rows](const QString &a, const QString &b) {
        const qsizetype rowA = position.value(a, rows.size());
        const qsizetype rowB = position.value(b, rows.size());
        return rowA < rowB;
    });
    return ordered;
}

QStringList inRowOrder(const QSet<QString> &selection, const QList<FileEntry> &rows)
{
    QStringList paths(selection.begin(), selection.end());
    std::stable_sort(paths.begin(), paths.end(), nameLess);
    return inRowOrder(paths, rows);
}
