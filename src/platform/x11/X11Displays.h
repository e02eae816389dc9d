// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include "platform/ScreenSource.h"
#include "platform/x11/X11Connection.h"

namespace tarn::X11 {

// The active RandR monitors, primary first marked; each is identified by its first output's id
// (a monitor made with `xrandr --setmonitor` without outputs by its name atom). Without RandR the
// whole root is one display with the root window's id.
std::vector<DisplayInfo> displays(Connection &connection);

} // namespace tarn::X11
