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
void keep(QMainWindow &window, QSize minimum, QSize preferred);

} // namespace tarn::ContentSize
