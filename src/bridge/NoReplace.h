#pragma once

#include <QString>

// Phone commands that never put anything in the place of an existing item. The phone's
// `mv` replaces a file and moves into a folder that has the target's name, and `mkdir -p`
// succeeds quietly on an existing folder; so each command first tests the target in the
// phone's shell and, when something has that name, prints nameTakenMarker and does nothing.
// Both are one command string for `adb shell`, every path quoted.

// Renames (or moves) `from` to the full path `to` unless `to` is taken.
QString noReplaceRenameCommand(const QString &from, const QString &to);

// Creates the one folder `path` (its parent must exist) unless the name is taken.
QString noReplaceFolderCommand(const QString &path);

// Whether the phone's standard output of one of these commands says the name was taken.
bool saysNameTaken(const QString &output);

// The sentence for a refused command, as the computer side words it:
// "Couldn't rename “readme 3.txt”: File exists." (`action` "rename" or "create", the
// phone path of the item renamed or created).
QString nameTakenSentence(const QString &action, const QString &phonePath);
