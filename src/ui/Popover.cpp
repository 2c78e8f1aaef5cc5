#include "ui/Popover.h"

#include "ui/PopoverPlacement.h"

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
    const QWidget *window = anchor->window();
    const QRect anchorRect(anchor->mapToGlobal(QPoint(0, 0)), anchor->size());
    const QRect windowRect(window->mapToGlobal(QPoint(0, 0)), window->size());
    const QRect screenRect = anchor->screen() ? anchor->screen()->availableGeometry() : QRect();
    move(popoverPosition(anchorRect, size(), windowRect, screenRect));
    show();
}

void Popover::hideEvent(QHideEvent *event)
{
    QFrame::hideEvent(event);
    emit closed();
}
