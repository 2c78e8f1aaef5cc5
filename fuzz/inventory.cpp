// A walk's output, as the phone prints it with `find -exec ls -ldb`: whatever it holds,
// every file lies at or below the root and a walk is complete only when its end line says
// find succeeded; and a file's name, whatever it holds (line breaks, text that looks like
// another file's line), is one file of the walk, read back exactly.
#include "FuzzInput.h"

#include "bridge/FileInventory.h"

#include <algorithm>

namespace {

const QString root = QStringLiteral("/storage/emulated/0/Trip");

// `ls -b` for the characters a name decoded from UTF-8 can hold below U+00A0.
QString printed(const QString &name)
{
    QString text;
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        switch (u) {
        case '\\': text += QStringLiteral("\\\\"); continue;
        case ' ': text += QStringLiteral("\\ "); continue;
        case '\n': text += QStringLiteral("\\n"); continue;
        case '\r': text += QStringLiteral("\\r"); continue;
        case '\t': text += QStringLiteral("\\t"); continue;
        default: break;
        }
        if (u < 0x20 || u == 0x7f)
            text += QStringLiteral("\\%1").arg(unsigned(u), 3, 8, QLatin1Char('0'));
        else
            text += c;
    }
    return text;
}

QString fileLine(qint64 size, const QString &path)
{
    return QStringLiteral("-rw-rw---- 1 u0_a1 media_rw %1 2026-01-01 10:00 %2\n").arg(size).arg(printed(path));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = inputText(data, size);
    const FileInventory walked = parseInventory(text, QString(), root);
    for (auto file = walked.files.cbegin(); file != walked.files.cend(); ++file) {
        require(file.key().isEmpty() || file.key().startsWith(QLatin1Char('/')), "files lie at or below the root");
        require(file.value() >= 0, "sizes are never negative");
    }
    if (walked.complete)
        require(text.contains(QStringLiteral("tessary-walk-end 0")), "a complete walk ended with find's success");

    // The input as one name inside the walked folder (no file name holds "/" or NUL).
    QString name = text;
    name.remove(QLatin1Char('/'));
    name.remove(QChar(0));
    if (name.isEmpty() || name.contains(QChar::ReplacementCharacter)
        || std::any_of(name.cbegin(), name.cend(), [](QChar c) { return c.unicode() >= 0x80 && c.unicode() < 0xa0; }))
        return 0;
    const QString output = fileLine(1, root + QStringLiteral("/a")) + fileLine(7, root + QLatin1Char('/') + name)
        + fileLine(2, root + QStringLiteral("/z")) + QStringLiteral("tessary-walk-end 0\n");
    const FileInventory three = parseInventory(output, QString(), root);
    // A name "a" or "z" is the same file as its neighbour's line, the later line's size kept.
    const bool neighbour = name == QLatin1String("a") || name == QLatin1String("z");
    require(three.complete && three.files.size() == (neighbour ? 2 : 3)
                && three.files.value(QLatin1Char('/') + name) == (name == QLatin1String("z") ? 2 : 7),
            "a name is one file of the walk, read back exactly");
    return 0;
}
