#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Where a popover of `size` opens for an anchor control (all rectangles in screen
// coordinates): centred below the anchor, moved sideways to stay inside the window when it
// fits there (a button at the window's edge would otherwise push half of it past the frame),
// and always kept on the screen.
QPoint popoverPosition(const QRect &anchor, const QSize &size, const QRect &window, const QRect &screen);
