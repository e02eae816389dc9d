// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSize>

class QMainWindow;

namespace tarn::ContentSize {

// The height a main window's menu bar takes inside it: none without one, or when the desktop
// shows the menus itself.
int menuBarHeight(const QMainWindow &window);

// Sizes a main window by what it shows below its menu bar: its minimum is `minimum` plus the
// menu bar, and it starts at `preferred` plus the menu bar. The menu bar may come after this
// call (the shell attaches its menus to windows others have built): the minimum follows it
// whenever it changes, and so does the size until someone else sizes the window or it is shown.
// On a screen too small for them, both give way to the room the screen has for the window,
// frame included (the window's content then scrolls where it must); the minimum follows the
// screen the window is on and that screen's available area.
void keep(QMainWindow &window, QSize minimum, QSize preferred);

} // namespace tarn::ContentSize
