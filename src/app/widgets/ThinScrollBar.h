// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QScrollBar;

namespace tarn::ThinScrollBar {

// Gives a scroll bar the thin look of the library's scrolling parts: a translucent grey handle
// 6 points across with rounded ends, centred in a bar `width` points across (high, for a
// horizontal one), on a transparent track without arrow buttons.
void apply(QScrollBar &bar, int width);

} // namespace tarn::ThinScrollBar
