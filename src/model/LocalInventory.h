#pragma once

#include "bridge/FileInventory.h"

#include <QString>

// One walk of a local file or folder: every regular file below it with its byte size (links
// are not followed and count as no file) and the folders that could not be read. Blocking:
// run it off the main thread.
FileInventory localInventory(const QString &root);
