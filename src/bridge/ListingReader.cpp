#include "bridge/ListingReader.h"

#include "bridge/Listing.h"
#include "common/NameOrder.h"

ListingReader::ListingReader(QString folder, bool showHidden)
    : m_folder(std::move(folder)), m_showHidden(showHidden)
{
}

void ListingReader::add(QByteArrayView bytes)
{
    // A line feed never occurs inside a UTF-8 sequence, so lines decode as the whole text would.
    qsizetype start = 0;
    for (qsizetype end = bytes.indexOf('\n'); end >= 0; end = bytes.indexOf('\n', start)) {
        const QByteArrayView piece = bytes.sliced(start, end - start);
        if (m_partial.isEmpty()) {
            take(piece);
        } else {
            m_partial += piece;
            take(QByteArrayView(m_partial));
            m_partial.clear();
        }
        start = end + 1;
    }
    m_partial += bytes.sliced(start);
}

QList<FileEntry> ListingReader::finish(const QString &errorText)
{
    take(QByteArrayView(m_partial));
    m_partial.clear();
    for (const QString &line : errorText.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        take(line);
    QList<FileEntry> entries = std::move(m_entries);
    sortEntriesByKeys(entries, m_keys);
    m_entries.clear();
    m_keys.clear();
    return entries;
}

void ListingReader::take(QByteArrayView line)
{
    if (!line.isEmpty())
        take(QString::fromUtf8(line));
}

void ListingReader::take(const QString &line)
{
    std::optional<FileEntry> entry = parseListingLine(line, m_folder, m_showHidden);
    if (!entry)
        return;
    m_keys.push_back(nameSortKey(entry->name));
    m_entries.append(std::move(*entry));
}
