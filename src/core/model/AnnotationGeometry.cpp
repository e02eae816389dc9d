// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/model/AnnotationGeometry.h"

#include <algorithm>
#include <cmath>

namespace tarn::AnnotationGeometry {

UnitPoint endPoint(MarkupTool tool, UnitPoint from, UnitPoint to, QSizeF imageSize)
{
    if (tool != MarkupTool::rectangle && tool != MarkupTool::ellipse)
        return to;
    const double W = imageSize.width();
    const double H = imageSize.height();
    if (!(W > 0) || !(H > 0))
        return to;

    const double sx = from.x * W, sy = from.y * H;
    const double ex = to.x * W, ey = to.y * H;
    const double dirX = sx <= ex ? 1 : -1;
    const double dirY = sy <= ey ? 1 : -1;
    const double roomX = sx <= ex ? W - sx : sx;
    const double roomY = sy <= ey ? H - sy : sy;

    double side = std::max(std::fabs(ex - sx), std::fabs(ey - sy));
    side = std::min(side, roomX);
    side = std::min(side, roomY);
    return UnitPoint((sx + dirX * side) / W, (sy + dirY * side) / H);
}

} // namespace tarn::AnnotationGeometry
