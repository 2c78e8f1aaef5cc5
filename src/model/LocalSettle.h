#pragma once

#include <QString>

#include <optional>

// Gives a finished local copy at `temporary` the name `destination`. A file, or a folder whose
// destination does not exist, is renamed; a folder onto an existing folder is merged, each of
// its files renamed over its counterpart and its other entries kept. Nothing is ever moved
// into a folder that happens to carry the destination's name. Blocking. The system's reason
// when a step failed.
std::optional<QString> settleLocal(const QString &temporary, const QString &destination);

// Removes whatever a copy left at `temporary`; links are removed, never followed. Blocking.
void discardLocal(const QString &temporary);
