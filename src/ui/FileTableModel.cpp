#include "ui/FileTableModel.h"

#include "common/ByteCount.h"
#include "ui/Icons.h"
#include "ui/RowEdits.h"

#include <QApplication>
#include <QPalette>

FileTableModel::FileTableModel(QObject *parent) : QAbstractTableModel(parent) {}

void FileTableModel::setItems(const QList<FileEntry> &items)
{
    if (items == m_items)
        return;
    // A reload that finds a few rows added, gone or changed (a copy landing in the shown
    // folder) edits just those rows: the view keeps its scroll position and the sort proxy
    // places the new rows instead of sorting the folder again.
    const std::optional<QList<RowEdit>> edits = rowEdits(m_items, items, editLimit);
    if (!edits) {
        beginResetModel();
        m_items = items;
        endResetModel();
        return;
    }
    for (const RowEdit &edit : *edits) {
        const int row = int(edit.row);
        switch (edit.kind) {
        case RowEdit::Kind::remove:
            beginRemoveRows({}, row, row);
            m_items.removeAt(row);
            endRemoveRows();
            break;
        case RowEdit::Kind::insert:
            beginInsertRows({}, row, row);
            m_items.insert(row, items.at(edit.from));
            endInsertRows();
            break;
        case RowEdit::Kind::change:
            m_items[row] = items.at(edit.from);
            emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
            break;
        }
    }
}

int FileTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_items.size());
}

int FileTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant FileTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_items.size())
        return {};
    const FileEntry &e = m_items.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case NameColumn:
            return e.name;
        case SizeColumn:
            return e.isDirectory ? QStringLiteral("--") : formatByteCount(e.size);
        case ModifiedColumn:
            return e.modified;
        }
        break;
    case Qt::ToolTipRole:
        if (index.column() == NameColumn)
            return e.name;
        break;
    case Qt::DecorationRole:
        if (index.column() == NameColumn)
            return e.isDirectory
                ? Icons::tinted(QStringLiteral("folder.fill"), QApplication::palette().color(QPalette::Highlight))
                : Icons::tinted(QStringLiteral("doc"), QApplication::palette().color(QPalette::PlaceholderText));
        break;
    case Qt::ForegroundRole:
        if (index.column() != NameColumn)
            return QApplication::palette().brush(QPalette::PlaceholderText);
        break;
    case PathRole:
        return e.path;
    case IsDirectoryRole:
        return e.isDirectory;
    case SizeRole:
        return e.size;
    case EntryRole:
        return QVariant::fromValue(e);
    }
    return {};
}

QVariant FileTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case NameColumn:
        return QStringLiteral("Name");
    case SizeColumn:
        return QStringLiteral("Size");
    case ModifiedColumn:
        return QStringLiteral("Modified");
    }
    return {};
}

Qt::ItemFlags FileTableModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    // Every row takes drops: a folder row receives into itself, a file row into the pane's folder.
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled;
}
