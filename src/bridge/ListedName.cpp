#include "bridge/ListedName.h"

#include <QByteArray>
#include <QStringView>

namespace {

// Never part of UTF-8, so decoding turns it into U+FFFD.
constexpr char unreadable = char(0xff);

int octalDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('7') ? c.unicode() - '0' : -1;
}

// The control that `ls -b` writes as a backslash and this letter; 0 for another letter.
char control(QChar letter)
{
    switch (letter.unicode()) {
    case 'a': return '\a';
    case 'b': return '\b';
    case 'e': return '\x1b';
    case 'f': return '\f';
    case 'n': return '\n';
    case 'r': return '\r';
    case 't': return '\t';
    case 'v': return '\v';
    default: return 0;
    }
}

// The byte of a three-digit octal escape starting at `at`, unreadable when it is one that
// toybox does not write for a byte of a name; -1 when there are not three octal digits.
int octalByte(const QString &printed, qsizetype at)
{
    if (at + 2 >= printed.size())
        return -1;
    const int high = octalDigit(printed.at(at));
    const int middle = octalDigit(printed.at(at + 1));
    const int low = octalDigit(printed.at(at + 2));
    if (high < 0 || middle < 0 || low < 0)
        return -1;
    const int value = high * 64 + middle * 8 + low;
    // A name holds neither NUL nor "/"; 0x80–0x9F may stand for a control character.
    if (value == 0 || value == '/' || value > 0xff || (value >= 0x80 && value <= 0x9f))
        return static_cast<unsigned char>(unreadable);
    return value;
}

} // namespace

QString unescapeListedName(const QString &printed)
{
    if (!printed.contains(QLatin1Char('\\')))
        return printed;
    QByteArray bytes;
    bytes.reserve(printed.size() + 8);
    const qsizetype n = printed.size();
    qsizetype pending = 0; // start of the printed characters not yet copied
    qsizetype i = 0;
    while (i < n) {
        if (printed.at(i) != QLatin1Char('\\')) {
            ++i;
            continue;
        }
        bytes += QStringView(printed).mid(pending, i - pending).toUtf8();
        ++i;
        if (i == n) {
            bytes += unreadable;
        } else if (const QChar next = printed.at(i); next == QLatin1Char('\\') || next == QLatin1Char(' ')) {
            bytes += char(next.unicode());
            ++i;
        } else if (const char c = control(next)) {
            bytes += c;
            ++i;
        } else if (const int byte = octalByte(printed, i); byte >= 0) {
            bytes += char(byte);
            i += 3;
        } else {
            bytes += unreadable;
        }
        pending = i;
    }
    bytes += QStringView(printed).mid(pending).toUtf8();
    return QString::fromUtf8(bytes);
}
