#pragma once

#include <QString>

#include <optional>

// Moves items to the desktop's trash.
class Trash
{
public:
    virtual ~Trash() = default;
    // Nothing on success; otherwise the complete sentence to show the user.
    virtual std::optional<QString> moveToTrash(const QString &path) = 0;
};
