#pragma once

#include "bridge/FileEntry.h"

#include <QList>
#include <QString>

// One folder of a recursive walk, resolved and listed by a single shell run: the shell
// enters the folder, prints its physical path (links resolved) on the first line, then
// the long listing. A folder the shell cannot enter prints nothing on standard output.
QString folderWalkCommand(const QString &folder);

struct WalkedFolder
{
    // The physical path, or `folder` itself when the phone printed none.
    QString identity;
    // The visible entries (hidden names left out), as `ls -lAL` ordered them.
    QList<FileEntry> entries;
};

// The standard output of `folderWalkCommand(folder)`.
WalkedFolder parseWalkedFolder(const QString &output, const QString &folder);
