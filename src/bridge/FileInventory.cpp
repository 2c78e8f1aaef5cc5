#include "bridge/FileInventory.h"

#include "bridge/ListedName.h"
#include "bridge/Listing.h"
#include "bridge/ShellQuote.h"

namespace {

const QString endMarker = QStringLiteral("tessary-walk-end ");

// Lines split at line feeds only: a name may hold any other character. A terminal-mode
// shell ends its lines with "\r\n".
QStringList lineFeedLines(const QString &text)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString &line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace

QString withoutTrailingSlash(const QString &path)
{
    QString trimmed = path;
    while (trimmed.size() > 1 && trimmed.endsWith(QLatin1Char('/')))
        trimmed.chop(1);
    return trimmed;
}

QString inventoryCommand(const QString &root)
{
    // -H follows the root itself when it is a link, as adb does; links below it are not files.
    return QStringLiteral("find -H ") + shellQuote(withoutTrailingSlash(root))
        + QStringLiteral(" -type f -exec ls -ldb {} +; echo \"") + endMarker
        + QStringLiteral("$?\"");
}

QString folderWalkOnlyCommand(const QString &root)
{
    return QStringLiteral("find -H ") + shellQuote(withoutTrailingSlash(root))
        + QStringLiteral(" -type d >/dev/null; echo \"") + endMarker + QStringLiteral("$?\"");
}

FileInventory parseInventory(const QString &output, const QString &error, const QString &root)
{
    const QString base = withoutTrailingSlash(root);
    FileInventory inventory;
    QStringList lines = lineFeedLines(output);
    bool understood = !lines.isEmpty() && lines.last().startsWith(endMarker);
    const bool findSucceeded = understood && lines.last().mid(endMarker.size()) == QLatin1String("0");
    if (understood)
        lines.removeLast();
    for (const QString &line : std::as_const(lines)) {
        const QRegularExpressionMatch match = lsRegex().match(line);
        bool isNumber = false;
        const qint64 size = match.captured(2).toLongLong(&isNumber);
        const QString path = unescapeListedName(match.captured(4));
        const bool inside = path == base || path.startsWith(base + QLatin1Char('/'));
        if (!match.hasMatch() || match.captured(1) != QLatin1String("-") || !isNumber || !inside) {
            understood = false;
            continue;
        }
        inventory.files.insert(path.mid(base.size()), size);
    }
    // toybox: "find: /storage/emulated/0/Private: Permission denied"
    for (const QString &line : lineFeedLines(error)) {
        if (!line.startsWith(QLatin1String("find: ")))
            continue;
        const QString rest = line.mid(6);
        const qsizetype reason = rest.lastIndexOf(QLatin1String(": "));
        inventory.unreadable.append(reason < 0 ? rest : rest.left(reason));
    }
    inventory.complete = understood && findSucceeded && inventory.unreadable.isEmpty();
    return inventory;
}
