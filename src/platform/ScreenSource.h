// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include <QImage>
#include <QRect>
#include <QString>

#include "core/base/Failure.h"

namespace tarn {

// One display (a RandR monitor), identified by its RandR output id. Rectangles are in device
// pixels of the root window.
struct DisplayInfo {
    uint32_t id = 0;
    QString name; // the monitor's name, the same as QScreen::name()
    QRect nativeRect;
    bool primary = false;
};

// One top-level window that the window manager lists, front-most first.
struct WindowInfo {
    uint32_t id = 0;         // the client window
    QString title;           // _NET_WM_NAME, else WM_NAME; empty when it has none
    QString applicationName; // the class part of WM_CLASS
    std::optional<int64_t> processID;
    QRect frame;           // the window as seen, with its decorations, device pixels of the root
    QRect contentRect;     // the client area alone
    int layer = 0;         // 0 for ordinary windows; docks, menus, kept-above/below differ
    bool onScreen = false; // mapped and not minimized
};

// A screen source failed: the X server went away or refused the grab.
class ScreenSourceFailure : public Failure {
public:
    QString description() const override;
};

// The desktop as the capture services see it: displays, windows and their pixels.
class ScreenSource {
public:
    virtual ~ScreenSource() = default;

    // Screen capture is possible: an X11 display is open and answers.
    virtual bool isAvailable() = 0;
    virtual std::vector<DisplayInfo> displays() = 0;
    virtual std::vector<WindowInfo> windows() = 0;
    // The pixels of a rectangle of the root window (device pixels), opaque Format_RGB32, with
    // the pointer drawn in when `cursor` is set. Parts outside the root come back black.
    // Throws ScreenSourceFailure.
    virtual QImage grab(const QRect &nativeRect, bool cursor) = 0;
    // The icon the window publishes, about `size` pixels square; null when it has none.
    virtual QImage windowIcon(uint32_t windowID, int size)
    {
        (void)windowID;
        (void)size;
        return {};
    }
    // The pixels of one window alone (its frame included, as `frame` lists it), whatever covers
    // it or lies off the screen, with the pointer drawn in when `cursor` is set. Nothing when the
    // server cannot read a window apart from the screen. Throws ScreenSourceFailure when the
    // window is gone.
    virtual std::optional<QImage> grabWindow(uint32_t windowID, bool cursor)
    {
        (void)windowID;
        (void)cursor;
        return std::nullopt;
    }
    // A compositing manager runs, so translucent windows show what lies beneath them.
    virtual bool compositorRunning() { return false; }
};

// The X11 source for the display named by $DISPLAY. Never null; isAvailable() is false when no
// display could be opened.
std::unique_ptr<ScreenSource> makeX11ScreenSource();

} // namespace tarn
