// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSize>

class QMainWindow;

// Sizes of a main window that carries its menu bar inside its frame. The interface is drawn
// for the size of the content under the menu bar, so a window's default and smallest sizes are
// its content's sizes plus the menu bar's height.
//
// The smallest size needs no call here: give the central widget its minimum and leave the
// window's own minimum unset; the window's layout then adds the menu bar by itself, whenever the
// menu bar is attached and however tall its font makes it. A minimum set on the window instead
// takes the menu bar out of the content's share.
namespace tarn::WindowContentSize {

// The height the window's menu bar takes over a content `width` wide (it wraps when narrow);
// 0 without one, when it is hidden or when the desktop shows the menus elsewhere.
int menuBarHeight(const QMainWindow &window, int width);

// The window size whose content is exactly `content`.
QSize windowSize(const QMainWindow &window, QSize content);

// Resizes the window so that its content is `content` (call it once the menu bar is attached).
void resize(QMainWindow &window, QSize content);

} // namespace tarn::WindowContentSize
