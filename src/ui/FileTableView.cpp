#include "ui/FileTableView.h"

#include "model/transfer/DroppedPaths.h"
#include "ui/RememberedSizeDelegate.h"

#include <QDrag>
#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>

#include <algorithm>

FileTableView::FileTableView(QWidget *parent) : QTableView(parent), m_delegate(new RememberedSizeDelegate(this))
{
    setItemDelegate(m_delegate);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSortingEnabled(true);
    setShowGrid(false);
    setWordWrap(false);
    setAlternatingRowColors(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    horizontalHeader()->setHighlightSections(false);
    setTextElideMode(Qt::ElideMiddle);
}

int FileTableView::contentWidth(int column) const
{
    return std::max(horizontalHeader()->sectionSizeHint(column), sizeHintForColumn(column));
}

void FileTableView::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        m_delegate->forgetSizes();
    QTableView::changeEvent(event);
}

void FileTableView::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        emit openRequested();
        return;
    case Qt::Key_Space:
        if (selectionModel()->selectedRows().size() == 1) {
            emit previewRequested();
            return;
        }
        event->ignore();
        return;
    case Qt::Key_Delete:
        emit deleteRequested();
        return;
    case Qt::Key_F2:
        emit renameRequested();
        return;
    case Qt::Key_Backspace:
        emit upRequested();
        return;
    case Qt::Key_Up:
        if (event->modifiers() & Qt::AltModifier) {
            emit upRequested();
            return;
        }
        QTableView::keyPressEvent(event);
        return;
    default:
        QTableView::keyPressEvent(event);
    }
}

void FileTableView::startDrag(Qt::DropActions)
{
    const QModelIndex index = currentIndex();
    if (!index.isValid() || !makeDrag)
        return;
    QMimeData *data = makeDrag(index);
    if (!data)
        return;
    auto *drag = new QDrag(this);
    drag->setMimeData(data);
    drag->exec(Qt::CopyAction, Qt::CopyAction);
}

static bool carriesPaths(const QMimeData *data)
{
    return data->hasFormat(QLatin1String(dragPathsMimeType)) || data->hasUrls();
}

void FileTableView::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->source() == this || !carriesPaths(event->mimeData())) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void FileTableView::dragMoveEvent(QDragMoveEvent *event)
{
    if (event->source() == this || !carriesPaths(event->mimeData())) {
        event->ignore();
        return;
    }
    QTableView::dragMoveEvent(event);
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void FileTableView::dropEvent(QDropEvent *event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    if (drop && drop(event->mimeData(), index)) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
    stopAutoScroll();
    setState(NoState);
    viewport()->update();
}
