// One name through a listing line, as the phone's toybox prints it with `ls -b`: the line
// is one entry, and the name read back is the name on the phone, or it holds U+FFFD and so
// is never used for a command. A name that is UTF-8 and that toybox prints as it is, or
// escapes only with its ASCII escapes, always reads back exactly.
#include "FuzzInput.h"

#include "bridge/Listing.h"

#include <QChar>

namespace {

// The way toybox `ls -b` writes a name in a UTF-8 locale: ASCII controls, space and
// backslash escaped, bytes that are not UTF-8 and characters it does not print in octal
// (a character below U+0100 as one escape of its code point, any other as its bytes).
struct Printed
{
    QString text;
    // Whether octal escapes of bytes from 0x80 up are part of the printed name.
    bool highEscapes = false;
};

QString octal(unsigned value)
{
    return QStringLiteral("\\%1").arg(value, 3, 8, QLatin1Char('0'));
}

// Length of the UTF-8 character at `at`, or 0 when the bytes there are not one.
int characterLength(const QByteArray &bytes, qsizetype at, char32_t *code)
{
    const auto byte = [&](qsizetype i) { return static_cast<unsigned char>(bytes.at(i)); };
    const unsigned lead = byte(at);
    int length = lead < 0x80 ? 1 : lead >= 0xc2 && lead <= 0xdf ? 2 : lead >= 0xe0 && lead <= 0xef ? 3
                                : lead >= 0xf0 && lead <= 0xf4 ? 4 : 0;
    if (length == 0 || at + length > bytes.size())
        return 0;
    const QString decoded = QString::fromUtf8(bytes.mid(at, length));
    if (decoded.contains(QChar::ReplacementCharacter) || decoded.toUcs4().size() != 1)
        return 0;
    *code = decoded.toUcs4().first();
    return length;
}

// The letter toybox writes after a backslash for this control, or 0.
char controlLetter(unsigned char c)
{
    switch (c) {
    case '\a': return 'a';
    case '\b': return 'b';
    case 0x1b: return 'e';
    case '\f': return 'f';
    case '\n': return 'n';
    case '\r': return 'r';
    case '\t': return 't';
    case '\v': return 'v';
    default: return 0;
    }
}

Printed printLikeToybox(const QByteArray &name)
{
    Printed printed;
    QByteArray out;
    for (qsizetype i = 0; i < name.size();) {
        const unsigned char c = static_cast<unsigned char>(name.at(i));
        char32_t code = 0;
        const int length = characterLength(name, i, &code);
        if (length == 0) {
            out += octal(c).toLatin1();
            printed.highEscapes = printed.highEscapes || c >= 0x80;
            ++i;
            continue;
        }
        if (length == 1) {
            if (c == '\\' || c == ' ') {
                out += '\\';
                out += char(c);
            } else if (const char letter = controlLetter(c)) {
                out += '\\';
                out += letter;
            } else if (c < 0x20 || c == 0x7f) {
                out += octal(c).toLatin1();
            } else {
                out += char(c);
            }
        } else if (QChar::isPrint(code) && QChar::category(code) != QChar::Separator_Line
                   && QChar::category(code) != QChar::Separator_Paragraph) {
            out += name.mid(i, length);
        } else if (code < 0x100) {
            out += octal(code).toLatin1();
            printed.highEscapes = true;
        } else {
            for (int k = 0; k < length; ++k)
                out += octal(static_cast<unsigned char>(name.at(i + k))).toLatin1();
            printed.highEscapes = true;
        }
        i += length;
    }
    printed.text = QString::fromUtf8(out);
    return printed;
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    // The first byte picks the kind of entry; the rest is the name's bytes, which never
    // hold NUL or "/".
    const QByteArray name = inputBytes(data + 1, size - 1);
    if (name.contains('\0') || name.contains('/'))
        return 0;
    const char type = "-dl"[data[0] % 3];
    const Printed printed = printLikeToybox(name);
    QString line = QLatin1Char(type) + QStringLiteral("rwxr-xr-x 1 root root 5 2024-05-01 13:45 ") + printed.text;
    if (type == 'l')
        line += QStringLiteral(" -> /storage/emulated/0/gone -> here");

    const QString folder = QStringLiteral("/storage/emulated/0");
    const QList<FileEntry> entries = parseListing(line, folder, true);
    require(entries.size() == 1, "one name is one entry");
    const FileEntry &entry = entries.first();
    require(entry.isDirectory == (type == 'd'), "the type letter decides folders");
    require(entry.path == folder + QLatin1Char('/') + entry.name, "the path is the folder and the name");
    if (!entry.name.contains(QChar::ReplacementCharacter))
        require(entry.name.toUtf8() == name, "a name without U+FFFD is the name on the phone");
    const QString exact = QString::fromUtf8(name);
    if (!exact.contains(QChar::ReplacementCharacter) && !printed.highEscapes)
        require(entry.name == exact, "a readable name reads back exactly");
    require(parseNameList(printed.text + QLatin1Char('\n')) == QSet<QString>{entry.name},
            "the name list reads the name the same way");
    return 0;
}
