// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include <QImage>

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
// The screen's pixels now, at device resolution, with the screen's device pixel ratio set.
QImage grab(QScreen *screen);

} // namespace DesktopScreens
} // namespace tarn
