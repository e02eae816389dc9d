// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QScreen;
class QWidget;

namespace tarn {

// Where our windows appear on a desktop of several screens. A window opens on the screen of the
// work it belongs to, centred there, and never with its title bar out of reach: Qt alone would
// put a window that was not shown yet on the screen at the desktop's origin, and centre one
// larger than the screen at negative coordinates.
namespace WindowPlacement {

// The screen under the pointer; else the primary screen; else the first one (none without any).
QScreen *pointerScreen();

// The present screen that holds most of `frame` (global points); none when no screen does.
QScreen *screenHolding(const QRect &frame);

// The top-left corner of a frame of `size` centred on `available`. A frame larger than the area
// starts at the area's edge instead, so its title bar stays on the screen.
QPoint centredOrigin(QSize size, const QRect &available);

// Centres a top-level window, frame included, on the available area of `screen` (the pointer's
// screen when none is given).
void centreOn(QWidget *window, QScreen *screen);

} // namespace WindowPlacement
} // namespace tarn
