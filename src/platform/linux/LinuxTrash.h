#pragma once

#include "platform/Trash.h"

// The freedesktop.org trash ($XDG_DATA_HOME/Trash, by default ~/.local/share/Trash, or the
// drive's own .Trash-<uid>). The user's trash is created first where it is missing (with
// mode 0700, as are the folders above it that had to be made), because Qt's trash, finding
// no $XDG_DATA_HOME, puts the item into the working folder instead. An item that cannot be
// trashed stays where it was.
class LinuxTrash : public Trash
{
public:
    std::optional<QString> moveToTrash(const QString &path) override;
};
