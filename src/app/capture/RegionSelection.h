// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include <QRect>

namespace tarn {

// A rectangle dragged on one display: `rect` is in points of that display, origin at its
// top-left corner, whole points, inside the display.
struct RegionSelection {
    uint32_t displayID = 0;
    QRect rect;

    friend bool operator==(const RegionSelection &, const RegionSelection &) = default;
};

} // namespace tarn
