#pragma once

#include <QHash>
#include <QStyledItemDelegate>

// The file tables' delegate: paints as the standard one does and remembers the size each
// cell's text needs. Fitting the columns asks for up to a thousand rows' sizes after every
// reload, and laying out their texts again each time cost more than the reload itself;
// the same text in the same column always needs the same size.
class RememberedSizeDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    // After a change of font or style, sizes are measured afresh.
    void forgetSizes() { m_sizes.clear(); }

private:
    mutable QHash<QPair<int, QString>, QSize> m_sizes;
};
