#pragma once

#include "bridge/ProcessIo.h"

// The bytes a copying adb child has moved, from its I/O counters now and when it started: the
// smaller of what it has read and what it has written since then. A push reads the file and
// writes it to the adb server, a pull reads it from the server and writes the file, and
// either way the smaller count is the file's bytes (the other adds the protocol's few).
// Never negative.
qint64 bytesMoved(const ProcessIo &start, const ProcessIo &now);
