#pragma once

#include <QHashFunctions>
#include <QMetaType>
#include <QString>

// One row of either pane. Identity is `path`.
struct FileEntry
{
    QString name;          // the entry's own name (for a dangling link, the part before " -> ")
    QString path;          // absolute path
    bool isDirectory = false;
    qint64 size = 0;       // bytes as listed; 0 when not given
    QString modified;      // "yyyy-MM-dd HH:mm"; on the phone exactly as printed

    bool operator==(const FileEntry &) const = default;
};

inline size_t qHash(const FileEntry &e, size_t seed = 0)
{
    return qHashMulti(seed, e.name, e.path, e.isDirectory, e.size, e.modified);
}

Q_DECLARE_METATYPE(FileEntry)
