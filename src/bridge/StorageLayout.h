#pragma once

#include "bridge/StorageVolume.h"

#include <QList>
#include <QPair>
#include <QString>

// The volumes to list from `ls -1 /storage` (standard output): the internal storage
// first, then each removable volume's folder, named "SD card" when it is the only one
// and "SD card / USB n" otherwise. Sizes are left at 0.
QList<StorageVolume> volumesFromStorageListing(const QString &output);

// The rows of `df -k` (standard output) as (total, free) in bytes, heading skipped,
// unreadable lines left out (a count that is not a number, is negative or whose bytes do
// not fit in 64 bits).
QList<QPair<qint64, qint64>> parseDiskFree(const QString &output);

// Gives the i-th volume the i-th row; when the counts differ every volume keeps 0 and 0,
// because rows are matched by position only.
void applyDiskFree(QList<StorageVolume> &volumes, const QList<QPair<qint64, qint64>> &rows);

StorageVolume internalStorage();
