#pragma once

#include "platform/PrivateFolder.h"

#include <QString>

// The folder phone items are pulled into for drags out of the window and for previews:
// "TessaryDrag" in the user's private temporary folder (pulled items can be large, so not
// in the runtime folder, which is usually held in memory).
namespace DragFolder {

// Where the folder is; empty when the user's private temporary folder can't be had.
QString path();

// The folder, created when missing, once it has been checked to be a real folder of this
// user alone; otherwise the sentence that says why it can't be used.
PrivateFolder prepare();

// The start-up clean-up: removes the folder and everything in it. A link found in its place
// (or inside it) is removed itself, never followed; a folder of another user is left alone.
void clear();

} // namespace DragFolder
