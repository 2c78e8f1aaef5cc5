#pragma once

#include "platform/Trash.h"

// The freedesktop.org trash ($XDG_DATA_HOME/Trash, or the drive's own .Trash-<uid>).
class LinuxTrash : public Trash
{
public:
    std::optional<QString> moveToTrash(const QString &path) override;
};
