// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include <QRect>
#include <QRectF>

namespace tarn {

// What a capture or a recording covers: one display (a RandR monitor) or one window. The
// content lies at `nativeRect` in root-window device pixels; `scale` is the display's device
// pixels per point, so the content measures nativeRect / scale points.
struct ContentFilter {
    uint32_t displayID = 0; // RandR output of the display; 0 for a window filter
    uint32_t windowID = 0;  // X window of a window filter; 0 for a display filter
    QRect nativeRect;
    double scale = 1.0;

    // The content in points with its origin at the top-left corner of the content.
    QRectF contentRect() const { return {0, 0, nativeRect.width() / scale, nativeRect.height() / scale}; }

    friend bool operator==(const ContentFilter &, const ContentFilter &) = default;
};

} // namespace tarn
