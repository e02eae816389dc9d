// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace tarn::x11 {

// Asks the window manager to show a mapped top-level window on every desktop (EWMH sticky
// state). Does nothing without an X display.
void showOnAllDesktops(uint32_t window);

} // namespace tarn::x11
