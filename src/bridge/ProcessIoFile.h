#pragma once

#include "bridge/ProcessIo.h"

// The I/O counters of a process of this user, read from /proc/<pid>/io; absent where they
// cannot be read (another system, a kernel that hides them, a process that has ended).
std::optional<ProcessIo> readProcessIo(qint64 pid);

// Whether this system shows processes their I/O counters, decided once from this process's own.
bool processIoReadable();
