#include "AdbMessage.h"

#include <QtEndian>

namespace AdbMessage {

Header decodeHeader(const char *bytes)
{
    auto word = [bytes](int i) { return qFromLittleEndian<quint32>(bytes + 4 * i); };
    return Header{word(0), word(1), word(2), word(3), word(4), word(5)};
}

QByteArray encodeHeader(quint32 command, quint32 arg0, quint32 arg1, quint32 payloadLength)
{
    QByteArray header(HeaderSize, Qt::Uninitialized);
    const quint32 words[6] = {command, arg0, arg1, payloadLength, 0, command ^ 0xffffffffu};
    for (int i = 0; i < 6; ++i)
        qToLittleEndian<quint32>(words[i], header.data() + 4 * i);
    return header;
}

}
