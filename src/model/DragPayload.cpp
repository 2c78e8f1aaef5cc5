#include "model/DragPayload.h"

#include "model/SelectionOrder.h"

#include <QMimeData>
#include <QUrl>

QStringList draggedPaths(const FileEntry &entry, const QSet<QString> &selection,
                         const QList<FileEntry> &rows)
{
    if (selection.contains(entry.path))
        return inRowOrder(selection, rows);
    return {entry.path};
}

QList<DroppedPaths> droppedItems(const QMimeData *data)
{
    if (!data)
        return {};
    if (data->hasFormat(QLatin1String(dragPathsMimeType))) {
        if (const auto payload = DroppedPaths::fromJson(data->data(QLatin1String(dragPathsMimeType))))
            return {*payload};
        return {};
    }
    QList<DroppedPaths> items;
    if (!data->hasUrls())
        return items;
    for (const QUrl &url : data->urls()) {
        DroppedPaths item;
        if (url.isLocalFile())
            item.paths.append(url.toLocalFile());
        items.append(item);
    }
    return items;
}

QStringList withoutDuplicates(const QStringList &paths)
{
    QStringList result;
    QSet<QString> seen;
    for (const QString &path : paths) {
        if (seen.contains(path))
            continue;
        seen.insert(path);
        result.append(path);
    }
    return result;
}
