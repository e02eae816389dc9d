// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/x11/X11PointerEvents.h"

#include <cstdlib>

#include <QGuiApplication>

#include <xcb/xcb.h>
#include <xcb/xinput.h>

namespace tarn::X11 {
namespace {

// The XInput extension's opcode on Qt's connection, which tells its generic events from those
// of other extensions; 0 without the extension or outside X11.
uint8_t inputOpcode()
{
    static const uint8_t opcode = [] {
        const auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
        if (!x11 || !x11->connection())
            return uint8_t(0);
        xcb_connection_t *connection = x11->connection();
        static constexpr char name[] = "XInputExtension";
        xcb_query_extension_reply_t *reply =
            xcb_query_extension_reply(connection, xcb_query_extension(connection, sizeof name - 1, name), nullptr);
        const uint8_t found = reply && reply->present ? reply->major_opcode : 0;
        std::free(reply);
        return found;
    }();
    return opcode;
}

double fromFixed(xcb_input_fp1616_t value) { return value / 65536.0; }

} // namespace

std::optional<DevicePointerEvent> devicePointerEvent(const QByteArray &eventType, const void *message)
{
    if (!message || eventType != "xcb_generic_event_t")
        return std::nullopt;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    switch (event->response_type & 0x7f) {
    case XCB_BUTTON_PRESS:
    case XCB_BUTTON_RELEASE:
    case XCB_MOTION_NOTIFY: {
        // The three core events share one layout.
        const auto *core = static_cast<const xcb_button_press_event_t *>(message);
        return DevicePointerEvent{core->time, QPointF(core->event_x, core->event_y)};
    }
    case XCB_GE_GENERIC: {
        const auto *generic = static_cast<const xcb_ge_generic_event_t *>(message);
        if (generic->extension != inputOpcode() || inputOpcode() == 0)
            return std::nullopt;
        if (generic->event_type != XCB_INPUT_BUTTON_PRESS && generic->event_type != XCB_INPUT_BUTTON_RELEASE &&
            generic->event_type != XCB_INPUT_MOTION)
            return std::nullopt;
        // Press, release and motion share the device event's layout.
        const auto *device = static_cast<const xcb_input_button_press_event_t *>(message);
        return DevicePointerEvent{device->time, QPointF(fromFixed(device->event_x), fromFixed(device->event_y))};
    }
    default:
        return std::nullopt;
    }
}

} // namespace tarn::X11
