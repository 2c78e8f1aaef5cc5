#include "bridge/Listing.h"

#include "bridge/ListedName.h"
#include "bridge/ShellQuote.h"
#include "common/NameOrder.h"

#include <algorithm>
#include <numeric>
#include <vector>

const QRegularExpression &lsRegex()
{
    static const QRegularExpression regex(QStringLiteral(
        "^([-dlcbps])[rwxsStT-]{9}\\S*\\s+\\d+\\s+\\S+\\s+\\S+\\s+(\\d+)\\s+"
        "(\\d{4}-\\d{2}-\\d{2}\\s+\\d{2}:\\d{2})\\s+(.+)$"));
    return regex;
}

QString listingCommand(const QString &folder)
{
    return QStringLiteral("ls -lALb ") + quotedFolder(folder);
}

QString nameListCommand(const QString &folder)
{
    return QStringLiteral("ls -1Ab ") + quotedFolder(folder);
}

QString quotedFolder(const QString &path)
{
    return shellQuote(path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/'));
}

QString childPath(const QString &folder, const QString &name)
{
    if (folder == QLatin1String("/"))
        return QLatin1Char('/') + name;
    if (folder.endsWith(QLatin1Char('/')))
        return folder + name;
    return folder + QLatin1Char('/') + name;
}

namespace {

// Whether the character at `index` is escaped: it follows an odd run of backslashes.
bool isEscaped(const QString &printed, qsizetype index)
{
    qsizetype backslashes = 0;
    while (index - 1 - backslashes >= 0 && printed.at(index - 1 - backslashes) == QLatin1Char('\\'))
        ++backslashes;
    return backslashes % 2 == 1;
}

// Where a link's " -> target" begins: the name's own spaces are escaped, so it is the first
// " -> " whose space is not.
qsizetype linkArrow(const QString &printed)
{
    for (qsizetype arrow = printed.indexOf(QLatin1String(" -> ")); arrow >= 0;
         arrow = printed.indexOf(QLatin1String(" -> "), arrow + 1)) {
        if (!isEscaped(printed, arrow))
            return arrow;
    }
    return -1;
}

bool isRawBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\r');
}

// The line without the blanks and carriage returns around it. A name's own are escaped, so
// a blank after an odd run of backslashes stays.
QString trimPrinted(const QString &line)
{
    qsizetype begin = 0;
    qsizetype end = line.size();
    while (begin < end && isRawBlank(line.at(begin)))
        ++begin;
    while (end > begin && isRawBlank(line.at(end - 1)) && !isEscaped(line, end - 1))
        --end;
    return line.mid(begin, end - begin);
}

} // namespace

std::optional<FileEntry> parseListingLine(QString line, const QString &folder, bool showHidden)
{
    while (line.startsWith(QLatin1Char('\r')))
        line.remove(0, 1);
    while (line.endsWith(QLatin1Char('\r')))
        line.chop(1);
    const QRegularExpressionMatch match = lsRegex().match(line);
    if (!match.hasMatch())
        return std::nullopt;
    const QString type = match.captured(1);
    QString printed = match.captured(4);
    if (type == QLatin1String("l")) {
        const qsizetype arrow = linkArrow(printed);
        if (arrow >= 0)
            printed.truncate(arrow);
    }
    const QString name = unescapeListedName(printed);
    if (!showHidden && name.startsWith(QLatin1Char('.')))
        return std::nullopt;
    FileEntry entry;
    entry.name = name;
    entry.path = childPath(folder, name);
    entry.isDirectory = type == QLatin1String("d");
    bool ok = false;
    entry.size = match.captured(2).toLongLong(&ok);
    if (!ok)
        entry.size = 0;
    entry.modified = match.captured(3);
    return entry;
}

QList<FileEntry> parseListing(const QString &text, const QString &folder, bool showHidden)
{
    QList<FileEntry> entries;
    // ls ends each entry with a line feed; any other line-break character is part of a
    // name where a phone prints it unescaped.
    for (const QString &line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        if (std::optional<FileEntry> entry = parseListingLine(line, folder, showHidden))
            entries.append(std::move(*entry));
    }
    return entries;
}

QSet<QString> parseNameList(const QString &output)
{
    QSet<QString> names;
    for (const QString &line : output.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QString printed = trimPrinted(line);
        // An error line holds an unescaped space after "ls:"; a name never does.
        if (printed.isEmpty() || printed.startsWith(QLatin1String("ls: ")))
            continue;
        names.insert(unescapeListedName(printed));
    }
    return names;
}

void sortEntries(QList<FileEntry> &entries)
{
    std::vector<QCollatorSortKey> keys;
    keys.reserve(size_t(entries.size()));
    for (const FileEntry &entry : std::as_const(entries))
        keys.push_back(nameSortKey(entry.name));
    sortEntriesByKeys(entries, keys);
}

void sortEntriesByKeys(QList<FileEntry> &entries, const std::vector<QCollatorSortKey> &keys)
{
    std::vector<qsizetype> order(size_t(entries.size()));
    std::iota(order.begin(), order.end(), qsizetype(0));
    std::stable_sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) {
        if (entries.at(a).isDirectory != entries.at(b).isDirectory)
            return entries.at(a).isDirectory;
        return keys[size_t(a)].compare(keys[size_t(b)]) < 0;
    });
    QList<FileEntry> sorted;
    sorted.reserve(entries.size());
    for (qsizetype index : order)
        sorted.append(std::move(entries[index]));
    entries = std::move(sorted);
}

std::optional<QString> emptyListingFailure(const QString &text, int status, const QString &folder)
{
    if (text.contains(QLatin1String("Permission denied")))
        return QStringLiteral("Permission denied for ") + folder;
    if (text.contains(QLatin1String("No such file")))
        return QStringLiteral("Folder not found: ") + folder;
    if (status == 0)
        return std::nullopt;
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    return trimmed;
}
