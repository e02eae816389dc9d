// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include <QPoint>

namespace tarn {

// The 8-connected pixels reachable from `start` through pixels that `take` accepts, `start`
// first. `take(QPoint)` marks what it accepts, so that no pixel is taken twice, and refuses
// what lies outside the caller's area; it is called on `start` too, which it must accept.
template <typename Take> std::vector<QPoint> connectedPixels(QPoint start, Take take)
{
    std::vector<QPoint> points, stack{start};
    take(start);
    while (!stack.empty()) {
        const QPoint p = stack.back();
        stack.pop_back();
        points.push_back(p);
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (const QPoint q(p.x() + dx, p.y() + dy); (dx || dy) && take(q))
                    stack.push_back(q);
    }
    return points;
}

} // namespace tarn
