// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include <QImage>
#include <QPoint>
#include <QSize>

class QScreen;

namespace tarn {

class ScreenSource;

// What the GUI's screens are on the X11 desktop, through one process-wide screen source used
// on the GUI thread only.
namespace DesktopScreens {

ScreenSource &source();
// The display id (RandR output) of a screen; the primary display's when the screen is not
// found among the displays.
uint32_t displayID(const QScreen *screen);
// The screen whose display holds the point (root-window device pixels), or none.
QScreen *screenShowing(QPoint devicePoint);
// The screen's size in device pixels: its display's. Qt rounds a screen's size in points, which
// times a fractional scale may miss the last pixel; off the X desktop, that product rounded.
QSize deviceSize(const QScreen *screen);
// The screen's pixels now, at device resolution, with the screen's device pixel ratio set.
QImage grab(QScreen *screen);

} // namespace DesktopScreens
} // namespace tarn
