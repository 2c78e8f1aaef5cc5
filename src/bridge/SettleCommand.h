#pragma once

#include <QString>

// The phone shell command that gives a finished copy at `temporary` the name `destination`.
// A file, or a folder whose destination does not exist, is renamed; a folder onto an
// existing folder is merged, each of its files renamed over its counterpart and its other
// entries kept. Nothing is ever moved into a folder that happens to carry the destination's
// name. With `isFolder`, a copy that left nothing at `temporary` (a push creates no empty
// folders) settles as an empty folder. Its last output line reports whether every step
// succeeded.
QString settleCommand(const QString &temporary, const QString &destination, bool isFolder);

// Whether the standard output of settleCommand says that it succeeded; false as well when
// the output was cut off before the end.
bool settleSucceeded(const QString &output);
