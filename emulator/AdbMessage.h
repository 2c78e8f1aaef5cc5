#pragma once

#include <QByteArray>

// The framing of adb's transport: a 24-byte header of six little-endian words
// (command, arg0, arg1, payload length, payload checksum, command ^ 0xffffffff), then the payload.
namespace AdbMessage {

enum Command : quint32 {
    CNXN = 0x4e584e43,
    AUTH = 0x48545541,
    OPEN = 0x4e45504f,
    OKAY = 0x59414b4f,
    CLSE = 0x45534c43,
    WRTE = 0x45545257,
};

// Since this version the payload checksum is neither checked nor filled in.
constexpr quint32 Version = 0x01000001;
constexpr quint32 MaxPayload = 1024 * 1024;
constexpr int HeaderSize = 24;

// AUTH arg0 values.
constexpr quint32 AuthToken = 1;
constexpr quint32 AuthSignature = 2;
constexpr quint32 AuthPublicKey = 3;

struct Header {
    quint32 command = 0;
    quint32 arg0 = 0;
    quint32 arg1 = 0;
    quint32 length = 0;
    quint32 checksum = 0;
    quint32 magic = 0;

    bool isValid() const { return magic == (command ^ 0xffffffffu); }
};

Header decodeHeader(const char *bytes);
QByteArray encodeHeader(quint32 command, quint32 arg0, quint32 arg1, quint32 payloadLength);

}
