// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include <QRect>
#include <QRectF>
#include <QString>

namespace tarn {

// A display that can be captured. `nativeRect` is in root-window device pixels; `scale` is
// device pixels per point.
struct ShareableDisplay {
    uint32_t displayID = 0;
    QString name;
    QRect nativeRect;
    double scale = 1.0;
    bool primary = false;
};

// An on-screen window that can be captured; `frame` is in points, `nativeFrame` in device pixels.
struct ShareableWindow {
    uint32_t windowID = 0;
    QString title;
    QString applicationName;
    std::optional<int64_t> processID;
    QRectF frame;
    QRect nativeFrame;
    int layer = 0;
    double scale = 1.0;
};

// A process that owns at least one listed window.
struct ShareableApplication {
    int64_t processID = 0;
    QString applicationName;
};

struct ShareableContent {
    std::vector<ShareableDisplay> displays;
    std::vector<ShareableWindow> windows; // front-most first
    std::vector<ShareableApplication> applications;
};

} // namespace tarn
