// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

namespace tarn::PointSize {

// Keeps a top-level window's size in points when it moves to a screen of another scale. The X
// server keeps a window's size in device pixels, so a window dragged from a 1x to a 2x monitor
// would shrink to half its size in points (below its smallest size, its content cut off), and
// one dragged back would double and spill onto the next monitor.
void keepAcrossScreens(QWidget *window);

} // namespace tarn::PointSize
