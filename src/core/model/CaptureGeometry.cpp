// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/model/CaptureGeometry.h"

#include <algorithm>
#include <cmath>

namespace tarn::CaptureGeometry {

QSizeF pixelSize(QSizeF points, double scale, std::optional<int64_t> maximumLongEdge, bool even)
{
    const double pw = points.width(), ph = points.height();
    if (!std::isfinite(pw) || !std::isfinite(ph) || !std::isfinite(scale) || !(pw > 0) || !(ph > 0) || !(scale > 0))
        return {0, 0};

    double w = pw * scale;
    double h = ph * scale;
    if (!std::isfinite(w) || !std::isfinite(h))
        return {0, 0};
    if (maximumLongEdge) {
        const double limit = static_cast<double>(*maximumLongEdge);
        const double longEdge = std::max(w, h);
        if (longEdge > limit) {
            w *= limit / longEdge;
            h *= limit / longEdge;
        }
    }
    if (even) {
        w = std::max(2 * std::floor(w / 2), 2.0);
        h = std::max(2 * std::floor(h / 2), 2.0);
    } else {
        w = std::max(std::ceil(w), 1.0);
        h = std::max(std::ceil(h), 1.0);
    }
    return {w, h};
}

} // namespace tarn::CaptureGeometry
