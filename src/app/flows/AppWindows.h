// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <vector>

#include <QPointer>
#include <QWidget>

class QScreen;

namespace tarn {

// The application's own windows and screens as the capture and recording flows handle them.
namespace AppWindows {

// Orders out the visible ordinary windows (library, editors, text and video windows) and
// returns them in the application's order; floating panels (quick capture, countdown, HUD,
// pins) stay as they are.
std::vector<QPointer<QWidget>> hideNormalWindows();
// Shows the windows again. When another window of ours is active (an editor the capture just
// opened) it stays in front of them; otherwise they come to the front.
void restoreWindows(const std::vector<QPointer<QWidget>> &windows);

// The screen showing a display, or none when no screen does.
QScreen *screenOf(uint32_t displayID);

} // namespace AppWindows
} // namespace tarn
