// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include <QImage>
#include <QRect>

#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Grabber.h"

namespace tarn::X11 {

// Reads the pixels of one top-level window alone, as the window draws itself, whatever covers
// it and wherever it reaches past the screen: the Composite extension keeps the window (its
// window-manager frame included) in a pixmap of its own, which is read with NameWindowPixmap.
// Only the window as the user sees it is read, its frame without invisible borders or shadows;
// where it lets what lies behind it show (a frame's transparent rounded corners), the screen.
// A compositing manager keeps every window there already; without one the window is
// redirected off screen for the moment of the grab and the grab waits for the window to repaint
// what was hidden. Not thread-safe: one per connection and thread.
class WindowGrabber {
public:
    WindowGrabber(Connection &connection, Grabber &pixels);

    // The server has Composite 0.2 (NameWindowPixmap).
    bool available() const { return compositeAvailable_; }

    struct Result {
        QImage image; // opaque, the size of the window with its visible frame
        QRect rect;   // where that lies on the root, device pixels (may reach past the screen)
    };
    // Throws ScreenSourceFailure when the window is gone, unmapped or of an unusual depth.
    Result grab(uint32_t window, bool compositorRunning);

private:
    uint32_t topLevel(uint32_t window);
    QRect visibleRect(uint32_t window, const QRect &frame);
    bool wholeOnScreen(uint32_t topLevel, const QRect &rect);
    void waitForRepaint(uint32_t damage);
    QImage readPixmap(uint32_t top, const QRect &frame, const QRect &rect, bool alpha, bool compositorRunning);

    Connection &connection_;
    Grabber &pixels_;
    bool compositeAvailable_ = false;
    bool damageAvailable_ = false;
    uint8_t damageEvent_ = 0;
};

} // namespace tarn::X11
