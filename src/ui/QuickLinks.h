#pragma once

#include "bridge/StorageVolume.h"
#include "ui/FilePane.h"

#include <optional>

// The Shortcuts menus of both panes.
namespace QuickLinks {

// The computer's places, from the user's folders; home is the user's home folder and
// mediaRoot the folder external drives are mounted under.
QList<QuickLink> computer(const QString &home, const QString &mediaRoot, const QString &desktop,
                          const QString &downloads, const QString &documents, const QString &pictures,
                          const QString &movies, const QString &music);

// The computer's places for the user running the application.
QList<QuickLink> computerForCurrentUser();

// The phone's places inside the active volume (internal storage when there is none).
QList<QuickLink> phone(const std::optional<StorageVolume> &active);

} // namespace QuickLinks
