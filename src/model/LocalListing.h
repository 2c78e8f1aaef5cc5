#pragma once

#include "bridge/FileEntry.h"

#include <QList>
#include <QString>

// The direct children of a local folder, read in one pass: for each child one lstat
// gives its type, link flag, size and modification time; a symbolic link costs one
// more stat of its target, which decides whether the row is a folder.
struct LocalListing
{
    QList<FileEntry> rows; // in the order the directory returned them
    int error = 0;         // errno of a folder that could not be read; 0 on success

    // Hidden children (names starting with ".") are left out unless showHidden.
    static LocalListing read(const QString &folder, bool showHidden);
};
