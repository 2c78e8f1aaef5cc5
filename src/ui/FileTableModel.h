#pragma once

#include "bridge/FileEntry.h"

#include <QAbstractTableModel>
#include <QList>

// The rows of one pane's folder, unsorted and unfiltered, as a three-column table:
// Name, Size ("--" for folders), Modified.
class FileTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { NameColumn, SizeColumn, ModifiedColumn, ColumnCount };
    enum Role { PathRole = Qt::UserRole + 1, IsDirectoryRole, SizeRole, EntryRole };

    explicit FileTableModel(QObject *parent = nullptr);

    // The rows in the panes' name order, as sortEntries leaves them. A list that differs by
    // up to editLimit rows added, removed or changed updates just those rows; any other
    // change resets the table.
    void setItems(const QList<FileEntry> &items);
    static constexpr qsizetype editLimit = 32;
    const QList<FileEntry> &items() const { return m_items; }
    const FileEntry &entry(int row) const { return m_items.at(row); }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    QList<FileEntry> m_items;
};
