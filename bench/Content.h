#pragma once

#include <QString>

// The files the figures move and list, written straight to disk (the phone's side too, as
// the folder behind it), so making them costs no adb run.

// One file of `size` bytes of incompressible-looking data.
void writeBigFile(const QString &path, qint64 size);
// `count` files of `size` bytes each in `folder` (made if missing), named like camera files.
void writeFiles(const QString &folder, int count, qint64 size, const QString &prefix,
                const QString &suffix);
// Removes a file or a whole folder if present.
void removePath(const QString &path);
// Writes what the page cache holds back to the disk, so that a timed copy does not share the
// disk with the writeback of the copy before it (a 1 GiB copy leaves that much to write).
void writeBackToDisk();
