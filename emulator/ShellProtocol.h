#pragma once

#include <QByteArray>
#include <optional>

// Shell protocol v2: each packet is a one-byte id, a little-endian 32-bit length and the data.
namespace ShellProtocol {

enum Id : quint8 { Stdin = 0, Stdout = 1, Stderr = 2, Exit = 3, CloseStdin = 4, WindowSize = 5 };

struct Packet {
    quint8 id = 0;
    QByteArray data;
};

constexpr int HeaderSize = 5;

QByteArray encode(quint8 id, const QByteArray &data);
// Takes one complete packet from the front of buffer, if there is one.
std::optional<Packet> take(QByteArray &buffer);

// "rows x cols, xpixels x ypixels" as sent in a WindowSize packet, e.g. "24x80,0x0".
struct WindowSizeValue {
    int rows = 0, cols = 0, xPixels = 0, yPixels = 0;
};
std::optional<WindowSizeValue> parseWindowSize(const QByteArray &text);

}
