#pragma once

#include "bridge/FileEntry.h"

#include <QList>
#include <QRegularExpression>
#include <QString>

#include <optional>

// The phone's long listing (`ls -lAL`): one line per entry with type letter, nine
// permission characters (plus optional markers), link count, owner, group, size,
// year-month-day date, hours:minutes and the name. Compiled once, shared read-only.
const QRegularExpression &lsRegex();

// The folder as it goes into a listing command: with a trailing "/", shell-quoted.
QString quotedFolder(const QString &path);

// `name` inside the listed folder `folder` ("/" and trailing slashes handled).
QString childPath(const QString &folder, const QString &name);

// The entries of a listing text (standard output then standard error) of `folder`,
// unsorted, hidden names left out unless `showHidden`.
QList<FileEntry> parseListing(const QString &text, const QString &folder, bool showHidden);

// Folders first, then the shared name order; stable. Both panes sort their rows with it.
void sortEntries(QList<FileEntry> &entries);

// What a listing that yielded no entry means: nullopt for an empty folder, else the
// message to fail with.
std::optional<QString> emptyListingFailure(const QString &text, int status, const QString &folder);
