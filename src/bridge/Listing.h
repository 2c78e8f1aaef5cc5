#pragma once

#include "bridge/FileEntry.h"

#include <QCollatorSortKey>
#include <QList>
#include <QRegularExpression>
#include <QSet>
#include <QString>

#include <optional>
#include <vector>

// The phone's long listing (`ls -lALb`): one line per entry with type letter, nine
// permission characters (plus optional markers), link count, owner, group, size,
// year-month-day date, hours:minutes and the name. Compiled once, shared read-only.
const QRegularExpression &lsRegex();

// The listing command for a folder. "-b" makes toybox escape what a name holds (line
// breaks, spaces, bytes that are not text), so every entry is exactly one line and a name
// can never pass for another entry.
QString listingCommand(const QString &folder);

// The command that lists a folder's names, one per line, escaped the same way.
QString nameListCommand(const QString &folder);

// The folder as it goes into a listing command: with a trailing "/", shell-quoted.
QString quotedFolder(const QString &path);

// `name` inside the listed folder `folder` ("/" and trailing slashes handled).
QString childPath(const QString &folder, const QString &name);

// The entry one line of a listing names, if it names one; hidden names left out unless
// `showHidden`.
std::optional<FileEntry> parseListingLine(QString line, const QString &folder, bool showHidden);

// The entries of a listing text (standard output then standard error) of `folder`, one
// per line feed, unsorted, hidden names left out unless `showHidden`. Names are unescaped
// (unescapeListedName); a dangling link's " -> target" is cut off first.
QList<FileEntry> parseListing(const QString &text, const QString &folder, bool showHidden);

// The names of `nameListCommand` (standard output), unescaped; the phone's error lines
// ("ls: " and a message) left out.
QSet<QString> parseNameList(const QString &output);

// Folders first, then the shared name order; stable. Both panes sort their rows with it.
void sortEntries(QList<FileEntry> &entries);
// The same order, with keys[i] made by nameSortKey from entries[i]'s name beforehand.
void sortEntriesByKeys(QList<FileEntry> &entries, const std::vector<QCollatorSortKey> &keys);

// What a listing that yielded no entry means: nullopt for an empty folder, else the
// message to fail with.
std::optional<QString> emptyListingFailure(const QString &text, int status, const QString &folder);
