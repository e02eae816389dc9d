// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSizeF>

#include "core/model/Markup.h"
#include "core/model/UnitGeometry.h"

namespace tarn::AnnotationGeometry {

// Where the second point of a mark being dragged lies: rectangles and ellipses are kept square
// in source pixels (and inside the image); every other tool follows the pointer.
UnitPoint endPoint(MarkupTool tool, UnitPoint from, UnitPoint to, QSizeF imageSize);

} // namespace tarn::AnnotationGeometry
