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

// The window as the user sees it, root coordinates: the client's `contentRect` with the frame the
// window manager says it drew (_NET_FRAME_EXTENTS), less the shadow a client-side decorated
// window draws around itself (_GTK_FRAME_EXTENTS). The frame window may reach further: GNOME's
// window managers keep an invisible border around it to resize by.
QRect visibleFrame(Connection &connection, xcb_window_t window, const QRect &contentRect);

} // namespace tarn::X11
