#pragma once

#include <QByteArray>
#include <sys/stat.h>

// The file sync service's messages: an 8-byte request (4-letter id, little-endian length)
// followed by a path or data, and the fixed-layout replies.
namespace SyncProtocol {

constexpr quint32 id(const char (&text)[5])
{
    return quint32(quint8(text[0])) | quint32(quint8(text[1])) << 8 | quint32(quint8(text[2])) << 16
        | quint32(quint8(text[3])) << 24;
}

enum : quint32 {
    Stat = id("STAT"),      // lstat, old reply
    Stat2 = id("STA2"),     // stat, reply with an errno
    Lstat2 = id("LST2"),    // lstat, reply with an errno
    List = id("LIST"),
    List2 = id("LIS2"),
    Send = id("SEND"),
    Recv = id("RECV"),
    Dent = id("DENT"),
    Dent2 = id("DNT2"),
    Data = id("DATA"),
    Done = id("DONE"),
    Okay = id("OKAY"),
    Fail = id("FAIL"),
    Quit = id("QUIT"),
};

constexpr int RequestSize = 8;
constexpr int MaxPathLength = 1024;
constexpr int MaxData = 64 * 1024;

QByteArray header(quint32 id, quint32 length);
// STAT reply; a missing path is all zeros.
QByteArray statV1(const struct stat *st);
// STA2/LST2 reply under the request's id; error is an errno (0 on success).
QByteArray statV2(quint32 requestId, int error, const struct stat *st);
QByteArray dentV1(const struct stat &st, const QByteArray &name);
QByteArray dentV2(const struct stat &st, int error, const QByteArray &name);
QByteArray listDone(bool v2);
QByteArray done();
QByteArray okay();
QByteArray fail(const QByteArray &message);

}
