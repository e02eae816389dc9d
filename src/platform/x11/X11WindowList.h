// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include "platform/ScreenSource.h"
#include "platform/x11/X11Connection.h"

namespace tarn::X11 {

// The window manager's clients (_NET_CLIENT_LIST_STACKING), front-most first, with their titles,
// application names, process ids and frames. Without a window manager: the mapped top-level
// windows that are not override-redirect.
std::vector<WindowInfo> windows(Connection &connection);

} // namespace tarn::X11
