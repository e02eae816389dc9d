// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

#include "platform/ScreenSource.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Grabber.h"
#include "platform/x11/X11WindowGrabber.h"

namespace tarn {

// The screen source of an X11 display, on one xcb connection of its own.
class X11ScreenSource : public ScreenSource {
public:
    X11ScreenSource();

    bool isAvailable() override;
    std::vector<DisplayInfo> displays() override;
    std::vector<WindowInfo> windows() override;
    QImage grab(const QRect &nativeRect, bool cursor) override;
    std::optional<QImage> grabWindow(uint32_t windowID, bool cursor) override;
    bool compositorRunning() override;
    QImage windowIcon(uint32_t windowID, int size) override;

private:
    X11::Connection connection_;
    X11::Grabber grabber_;
    X11::WindowGrabber windowGrabber_;
};

} // namespace tarn
