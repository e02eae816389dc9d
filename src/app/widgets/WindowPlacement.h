// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QScreen;
class QWidget;

namespace tarn {

// Where our windows appear on a desktop of several screens. A window opens on the screen of the
// work it belongs to, centred there, and never with its frame out of reach: Qt alone would put a
// window that was not shown yet on the screen at the desktop's origin, centre one larger than the
// screen at negative coordinates, and place the content, not the frame, where it was asked, so
// that the title bar came above the screen's usable area.
namespace WindowPlacement {

// The screen under the pointer; else the primary screen; else the first one (none without any).
QScreen *pointerScreen();

// The present screen that holds most of `frame` (global points); none when no screen does.
QScreen *screenHolding(const QRect &frame);

// The screen that holds most of a shown window's frame, else the one Qt puts it on. While the
// window manager takes a window on, Qt may for a moment name another screen.
QScreen *screenOf(QWidget *window);

// The largest size of a top-level window whose frame fits into the available area of `screen`.
// The frame is the one the window manager drew around the window, or, before it is shown, the
// one it would draw around a window like it.
QSize room(QWidget *window, QScreen *screen);

// Centres a top-level window, frame included, on the available area of `screen` (the pointer's
// screen when none is given).
void centreOn(QWidget *window, QScreen *screen);
// Puts the frame of a top-level window with its centre at `centre`, inside the available area of
// `screen`; a frame larger than the area starts at its top-left corner, so the title bar stays on
// the screen.
void placeAround(QWidget *window, QScreen *screen, QPoint centre);
// Shrinks a shown window whose frame does not fit into the available area of its screen to the
// room there (never below its smallest size), and moves its frame inside the area.
void fitIntoScreen(QWidget *window);

} // namespace WindowPlacement
} // namespace tarn
