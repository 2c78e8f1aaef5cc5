#include "model/LocalRowOrder.h"

#include "common/NameOrder.h"

#include <algorithm>

void sortLocalRows(QList<FileEntry> &rows)
{
    std::stable_sort(rows.begin(), rows.end(), [](const FileEntry &a, const FileEntry &b) {
        if (a.isDirectory != b.isDirectory)
            return a.isDirectory;
        return nameLess(a.name, b.name);
    });
}
