// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/x11/X11WindowHints.h"

#include "platform/x11/X11Connection.h"

namespace tarn::x11 {

void showOnAllDesktops(uint32_t window)
{
    static Connection connection; // GUI thread only
    if (!connection.ok() || window == 0)
        return;
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = connection.atom("_NET_WM_STATE");
    event.data.data32[0] = 1; // add
    event.data.data32[1] = connection.atom("_NET_WM_STATE_STICKY");
    event.data.data32[3] = 1; // from an application
    xcb_send_event(connection.get(), 0, connection.root(),
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char *>(&event));
    xcb_flush(connection.get());
}

} // namespace tarn::x11
