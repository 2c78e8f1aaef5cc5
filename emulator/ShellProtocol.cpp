#include "ShellProtocol.h"

#include <QRegularExpression>
#include <QtEndian>

namespace ShellProtocol {

QByteArray encode(quint8 id, const QByteArray &data)
{
    QByteArray packet(HeaderSize, Qt::Uninitialized);
    packet[0] = char(id);
    qToLittleEndian<quint32>(quint32(data.size()), packet.data() + 1);
    return packet + data;
}

std::optional<Packet> take(QByteArray &buffer)
{
    if (buffer.size() < HeaderSize)
        return std::nullopt;
    const quint32 length = qFromLittleEndian<quint32>(buffer.constData() + 1);
    if (quint64(buffer.size()) < HeaderSize + quint64(length))
        return std::nullopt;
    Packet packet{quint8(buffer[0]), buffer.mid(HeaderSize, length)};
    buffer.remove(0, HeaderSize + length);
    return packet;
}

std::optional<WindowSizeValue> parseWindowSize(const QByteArray &text)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d+)x(\\d+),(\\d+)x(\\d+)"));
    const auto match = pattern.match(QString::fromLatin1(text));
    if (!match.hasMatch())
        return std::nullopt;
    return WindowSizeValue{match.captured(1).toInt(), match.captured(2).toInt(),
                           match.captured(3).toInt(), match.captured(4).toInt()};
}

}
