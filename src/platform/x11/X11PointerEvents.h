// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include <QByteArray>
#include <QPointF>

namespace tarn::X11 {

// A pointer event as the X server sent it: its time and the pointer's position relative to the
// event's window, in device pixels. Qt hands widgets positions rounded to whole points, which on
// a screen scaled by 2 loses every odd device pixel; the native event still has it.
struct DevicePointerEvent {
    unsigned long time = 0;
    QPointF position;
};

// The button press, button release or motion in a native event of Qt's xcb platform (XInput 2
// or core protocol); nothing for any other event.
std::optional<DevicePointerEvent> devicePointerEvent(const QByteArray &eventType, const void *message);

} // namespace tarn::X11
