#include "model/transfer/CopyCheck.h"

#include <QStringList>

std::optional<QString> firstDifference(const FileInventory &source, const FileInventory &copy)
{
    QStringList paths = source.files.keys();
    paths.sort();
    for (const QString &path : std::as_const(paths)) {
        const auto found = copy.files.constFind(path);
        if (found == copy.files.cend() || *found != source.files.value(path))
            return path;
    }
    return std::nullopt;
}
