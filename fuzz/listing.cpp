// A whole phone listing, any text: entries are well formed and where the folder says,
// hidden names stay out unless asked for, sorting keeps every entry, and the name list and
// the empty-listing verdict hold whatever the text; read in two pieces as it streams in,
// the listing gives the same sorted entries.
#include "FuzzInput.h"

#include "bridge/Listing.h"
#include "bridge/ListingReader.h"
#include "common/NameOrder.h"

#include <QRegularExpression>

namespace {

QStringList pathsOf(const QList<FileEntry> &entries)
{
    QStringList paths;
    for (const FileEntry &entry : entries)
        paths << entry.path;
    return paths;
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // The input is the phone's text as it is; its length picks the folder and the status.
    const QString folder = (size & 1) ? QStringLiteral("/") : QStringLiteral("/storage/emulated/0/Down load");
    const int status = (size & 2) ? 1 : 0;
    const QString text = inputText(data, size);

    static const QRegularExpression date(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}\\s+\\d{2}:\\d{2}$"));
    QList<FileEntry> all = parseListing(text, folder, true);
    const QList<FileEntry> visible = parseListing(text, folder, false);
    QStringList visiblePaths;
    for (const FileEntry &entry : std::as_const(all)) {
        require(!entry.name.isEmpty(), "a listed name is never empty");
        require(entry.path == childPath(folder, entry.name), "the path is the folder and the name");
        require(entry.size >= 0, "sizes are not negative");
        require(date.match(entry.modified).hasMatch(), "the date is the phone's year-month-day form");
        if (!entry.name.startsWith(QLatin1Char('.')))
            visiblePaths << entry.path;
    }
    require(pathsOf(visible) == visiblePaths, "hiding leaves exactly the dot names out");

    const QStringList before = pathsOf(all);
    sortEntries(all);
    QStringList after = pathsOf(all);
    QStringList sortedBefore = before;
    sortedBefore.sort();
    after.sort();
    require(sortedBefore == after, "sorting keeps every entry");
    for (qsizetype i = 1; i < all.size(); ++i) {
        const FileEntry &a = all.at(i - 1);
        const FileEntry &b = all.at(i);
        require(a.isDirectory || !b.isDirectory, "folders come first");
        if (a.isDirectory == b.isDirectory)
            require(!nameLess(b.name, a.name), "names are in order");
    }

    const QByteArray bytes = text.toUtf8();
    const qsizetype cut = qsizetype(size % (size_t(bytes.size()) + 1));
    ListingReader reader(folder, true);
    reader.add(QByteArrayView(bytes).first(cut));
    reader.add(QByteArrayView(bytes).sliced(cut));
    require(reader.finish({}) == all, "a listing read in pieces is the listing parsed whole");

    if (all.isEmpty()) {
        const std::optional<QString> failure = emptyListingFailure(text, status, folder);
        require(!failure || !failure->isEmpty(), "a failure says something");
    }
    for (const QString &name : parseNameList(text))
        require(!name.isEmpty(), "a listed name is never empty");
    return 0;
}
