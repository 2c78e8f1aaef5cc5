#include "ui/FileSortProxy.h"

#include "ui/FileTableModel.h"

namespace {

QString trimSpacesAndTabs(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    auto blank = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    while (begin < end && blank(text.at(begin)))
        ++begin;
    while (end > begin && blank(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin);
}

} // namespace

FileSortProxy::FileSortProxy(QObject *parent) : QSortFilterProxyModel(parent)
{
    setDynamicSortFilter(true);
}

void FileSortProxy::setSearch(const QString &search)
{
    m_search = search;
    const QString trimmed = trimSpacesAndTabs(search);
    if (trimmed == m_trimmed)
        return;
    m_trimmed = trimmed;
    invalidateRowsFilter();
}

bool FileSortProxy::filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const
{
    if (m_trimmed.isEmpty())
        return true;
    const QModelIndex index = sourceModel()->index(sourceRow, FileTableModel::NameColumn, sourceParent);
    return index.data(Qt::DisplayRole).toString().contains(m_trimmed, Qt::CaseInsensitive);
}

bool FileSortProxy::lessThan(const QModelIndex &left, const QModelIndex &right) const
{
    const bool leftDir = left.data(FileTableModel::IsDirectoryRole).toBool();
    const bool rightDir = right.data(FileTableModel::IsDirectoryRole).toBool();
    if (leftDir != rightDir) {
        // A descending sort asks lessThan(right, left); answer so that folders still lead.
        return sortOrder() == Qt::AscendingOrder ? leftDir : rightDir;
    }
    switch (left.column()) {
    case FileTableModel::SizeColumn: {
        const qint64 a = left.data(FileTableModel::SizeRole).toLongLong();
        const qint64 b = right.data(FileTableModel::SizeRole).toLongLong();
        if (a != b)
            return a < b;
        break;
    }
    case FileTableModel::ModifiedColumn: {
        const int c = QString::compare(left.data().toString(), right.data().toString());
        if (c != 0)
            return c < 0;
        break;
    }
    default:
        break;
    }
    // The rows arrive in the name order already, so their position is their name's rank.
    return left.row() < right.row();
}
