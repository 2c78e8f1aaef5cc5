#pragma once

#include "bridge/FileEntry.h"

#include <QList>
#include <QString>

// One folder of a recursive walk, resolved and listed by a single shell run: the shell
// enters the folder, prints its physical path (links resolved), then the long listing,
// which begins with its "total" line. A folder the shell cannot enter prints nothing on
// standard output.
QString folderWalkCommand(const QString &folder);

struct WalkedFolder
{
    // The physical path as the phone printed it, or `folder` itself when it printed none.
    QString identity;
    // The visible entries (hidden names left out), as `ls -lALb` ordered them.
    QList<FileEntry> entries;
};

// The standard output of `folderWalkCommand(folder)`.
WalkedFolder parseWalkedFolder(const QString &output, const QString &folder);
