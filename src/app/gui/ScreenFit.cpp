#include "app/gui/ScreenFit.h"

#include <algorithm>

QRect fitOnScreen(const QSize& designed, const QSize& minimum, const QRect& available,
                  const QMargins& frame) {
    const QSize room = available.marginsRemoved(frame).size();
    const QSize size(std::max(minimum.width(), std::min(designed.width(), room.width())),
                     std::max(minimum.height(), std::min(designed.height(), room.height())));
    const QSize outer = size.grownBy(frame);
    // Centred in the area; pushed to its top-left edge when it is larger.
    const int x = available.x() + std::max(0, (available.width() - outer.width()) / 2);
    const int y = available.y() + std::max(0, (available.height() - outer.height()) / 2);
    return {QPoint(x + frame.left(), y + frame.top()), size};
}
