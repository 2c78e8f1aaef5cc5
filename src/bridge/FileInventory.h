#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// What one walk of a copy's source or of the copy itself found: every regular file with its
// byte size, keyed by its path relative to the walked root ("" for a root that is a file
// itself, "/sub/b.bin" for a file below a folder), and the folders the walk could not read.
struct FileInventory
{
    QHash<QString, qint64> files;
    // Absolute paths of the folders that could not be read.
    QStringList unreadable;
    // True only when the walk ran to its end, read every folder and every line of its
    // output was understood; a walk that is not complete may have missed files.
    bool complete = false;

    bool operator==(const FileInventory &) const = default;
};

// The phone shell command that walks `root`: one `ls -ldb` line per regular file on
// standard output (its path escaped, so a name holding a line break stays on its line and
// cannot pass for another file), find's message for each folder it cannot read on standard
// error, and a last line with find's exit status, so a walk cut short by a lost connection
// is told from a whole one.
QString inventoryCommand(const QString &root);

// The same walk through the folders alone: nothing on standard output but the status line
// (the walk reads each folder but lists no file), find's message for each folder it cannot
// read on standard error. parseInventory reads its output as a walk that found no file.
QString folderWalkOnlyCommand(const QString &root);

// The walk's result from the command's standard output and standard error.
FileInventory parseInventory(const QString &output, const QString &error, const QString &root);

// `path` without trailing slashes ("/" stays "/").
QString withoutTrailingSlash(const QString &path);
