#include "ui/Popover.h"

#include <QScreen>
#include <QVBoxLayout>

Popover::Popover(QWidget *content, QWidget *parent) : QFrame(parent, Qt::Popup), m_content(content)
{
    setFrameShape(QFrame::StyledPanel);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 12, 14, 12);
    layout->addWidget(content);
}

void Popover::showAt(QWidget *anchor)
{
    adjustSize();
    QPoint pos = anchor->mapToGlobal(QPoint(anchor->width() / 2 - width() / 2, anchor->height() + 2));
    if (const QScreen *screen = anchor->screen()) {
        const QRect area = screen->availableGeometry();
        pos.setX(qBound(area.left(), pos.x(), qMax(area.left(), area.right() - width())));
        pos.setY(qBound(area.top(), pos.y(), qMax(area.top(), area.bottom() - height())));
    }
    move(pos);
    show();
}

void Popover::hideEvent(QHideEvent *event)
{
    QFrame::hideEvent(event);
    emit closed();
}
