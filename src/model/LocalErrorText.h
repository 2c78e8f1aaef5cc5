#pragma once

#include <QString>

// The sentence shown when a local file operation fails: the action, the item's name in
// curly quotes and the system's reason, e.g. "Couldn't create “Photos”: File exists."
QString localErrorText(const QString &action, const QString &path, int error);

// What the computer pane shows for a folder it is not allowed to read.
QString fullDiskAccessExplanation();

// Whether a failure to list a folder means the user lacks permission to read it.
bool isPermissionError(int error);
