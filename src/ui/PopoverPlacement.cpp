#include "ui/PopoverPlacement.h"

#include <QtGlobal>

QPoint popoverPosition(const QRect &anchor, const QSize &size, const QRect &window, const QRect &screen)
{
    QPoint pos(anchor.left() + anchor.width() / 2 - size.width() / 2, anchor.bottom() + 1 + 2);
    if (size.width() <= window.width())
        pos.setX(qBound(window.left(), pos.x(), window.right() + 1 - size.width()));
    if (!screen.isEmpty()) {
        pos.setX(qBound(screen.left(), pos.x(), qMax(screen.left(), screen.right() + 1 - size.width())));
        pos.setY(qBound(screen.top(), pos.y(), qMax(screen.top(), screen.bottom() + 1 - size.height())));
    }
    return pos;
}
