#pragma once

#include "bridge/FileEntry.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QCollatorSortKey>
#include <QList>
#include <QString>

#include <vector>

// A folder's listing read while the phone still prints it: each complete line is parsed as
// it arrives, and its name's sort key made with it, so little work is left once ls ends.
// Gives what parseListing and sortEntries give for the same text.
class ListingReader
{
public:
    ListingReader(QString folder, bool showHidden);

    // The next bytes of the listing's standard output.
    void add(QByteArrayView bytes);
    // The entries of all output added and of `errorText` (the listing's standard error),
    // sorted as sortEntries sorts.
    QList<FileEntry> finish(const QString &errorText);

private:
    void take(QByteArrayView line);
    void take(const QString &line);

    QString m_folder;
    bool m_showHidden;
    QByteArray m_partial;
    QList<FileEntry> m_entries;
    std::vector<QCollatorSortKey> m_keys;
};
