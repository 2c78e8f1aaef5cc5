#pragma once

#include <QByteArrayView>
#include <QtGlobal>

#include <optional>

// The kernel's count of the bytes one process has passed through read and write calls, as
// /proc/<pid>/io shows them: `rchar` and `wchar` (files, pipes and sockets alike).
struct ProcessIo
{
    qint64 rchar = 0;
    qint64 wchar = 0;

    bool operator==(const ProcessIo &) const = default;
};

// Parses the text of /proc/<pid>/io ("rchar: 6976\nwchar: 0\nsyscr: 10\n..."): the values of
// the "rchar" and "wchar" lines, in any order among the others. Absent when either is missing
// or is not a non-negative decimal number.
std::optional<ProcessIo> parseProcessIo(QByteArrayView text);
