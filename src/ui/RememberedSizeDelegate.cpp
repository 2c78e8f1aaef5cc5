#include "ui/RememberedSizeDelegate.h"

namespace {

// Enough for the rows a fit looks at in several folders; past it the table starts afresh
// rather than growing without bound.
constexpr qsizetype kMostSizes = 20000;

} // namespace

QSize RememberedSizeDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const QPair<int, QString> key(index.column(), index.data(Qt::DisplayRole).toString());
    if (const auto known = m_sizes.constFind(key); known != m_sizes.cend())
        return *known;
    if (m_sizes.size() >= kMostSizes)
        m_sizes.clear();
    const QSize size = QStyledItemDelegate::sizeHint(option, index);
    m_sizes.insert(key, size);
    return size;
}
