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

void FileSortProxy::setSourceModel(QAbstractItemModel *model)
{
    m_files = qobject_cast<const FileTableModel *>(model);
    Q_ASSERT(m_files || !model);
    QSortFilterProxyModel::setSourceModel(model);
}

bool FileSortProxy::filterAcceptsRow(int sourceRow, const QModelIndex &) const
{
    if (m_trimmed.isEmpty())
        return true;
    return m_files->entry(sourceRow).name.contains(m_trimmed, Qt::CaseInsensitive);
}

bool FileSortProxy::lessThan(const QModelIndex &left, const QModelIndex &right) const
{
    const FileEntry &a = m_files->entry(left.row());
    const FileEntry &b = m_files->entry(right.row());
    if (a.isDirectory != b.isDirectory) {
        // A descending sort asks lessThan(right, left); answer so that folders still lead.
        return sortOrder() == Qt::AscendingOrder ? a.isDirectory : b.isDirectory;
    }
    switch (left.column()) {
    case FileTableModel::SizeColumn:
        if (a.size != b.size)
            return a.size < b.size;
        break;
    case FileTableModel::ModifiedColumn:
        if (const int c = QString::compare(a.modified, b.modified); c != 0)
            return c < 0;
        break;
    default:
        break;
    }
    // The rows arrive in the name order already, so their position is their name's rank.
    return left.row() < right.row();
}
