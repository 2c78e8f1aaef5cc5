#include "ScreenImage.h"

#include <QtEndian>

#include <array>

namespace {

quint32 crc32(const QByteArray &bytes)
{
    static const std::array<quint32, 256> table = [] {
        std::array<quint32, 256> t{};
        for (quint32 n = 0; n < 256; ++n) {
            quint32 c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xedb88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    quint32 c = 0xffffffffu;
    for (char byte : bytes)
        c = table[(c ^ quint8(byte)) & 0xff] ^ (c >> 8);
    return c ^ 0xffffffffu;
}

QByteArray bigEndian(quint32 value)
{
    QByteArray out(4, Qt::Uninitialized);
    qToBigEndian<quint32>(value, out.data());
    return out;
}

QByteArray chunk(const char *type, const QByteArray &data)
{
    const QByteArray typed = QByteArray(type, 4) + data;
    return bigEndian(quint32(data.size())) + typed + bigEndian(crc32(typed));
}

}

QByteArray screenPng(int width, int height)
{
    QByteArray header = bigEndian(quint32(width)) + bigEndian(quint32(height));
    header += char(8);  // bit depth
    header += char(2);  // truecolour RGB
    header += QByteArray(3, '\0');  // deflate, adaptive filtering, no interlace

    QByteArray pixels;
    pixels.reserve(height * (1 + 3 * width));
    for (int y = 0; y < height; ++y) {
        pixels += '\0';  // filter: none
        for (int x = 0; x < width; ++x) {
            pixels += char(20 + 60 * x / width);
            pixels += char(40 + 120 * y / height);
            pixels += char(160 + 80 * (x + y) / (width + height));
        }
    }
    // qCompress yields a zlib stream behind a 4-byte length prefix.
    const QByteArray zlib = qCompress(pixels, 9).mid(4);

    return QByteArray("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", header) + chunk("IDAT", zlib)
        + chunk("IEND", {});
}
