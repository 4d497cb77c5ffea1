#pragma once
// Where a window goes on a screen: at its designed size when that fits, else
// as large as the screen's free area allows (never below its minimum), and in
// the centre of that area.

#include <QMargins>
#include <QRect>
#include <QSize>

// The client rectangle of a window whose designed client size is `designed`,
// given the screen's available geometry (without the taskbar and panels) and
// the frame the window system puts around the client area (title bar, borders).
// The frame, not only the client area, is kept inside `available`; when even
// `minimum` does not fit, the window takes its minimum at the area's top-left.
[[nodiscard]] QRect fitOnScreen(const QSize& designed, const QSize& minimum, const QRect& available,
                                const QMargins& frame);
