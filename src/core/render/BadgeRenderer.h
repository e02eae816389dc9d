// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QSizeF>

#include "core/model/Markup.h"

class QPainter;

namespace tarn {

// Sizes and draws badge marks: a coloured tag pointing left with a round white head that
// carries the style's symbol, turned about its centre while the symbol stays upright.
namespace BadgeRenderer {

inline constexpr double aspectRatio = 1.55;

// The unrotated rectangle of a badge centred on `point` in an image of `imageSize` pixels:
// 48 high per 1600 pixels of image width, never below 28.
QRectF bounds(QPointF point, QSizeF imageSize);
// Not finite gives 0; otherwise limited to 0...360.
double clampedRotation(double degrees);
// The axis-aligned box of `rect` turned by `rotationDegrees` about its centre.
QRectF rotatedBounds(const QRectF &rect, double rotationDegrees);
// Draws one badge into a y-down painter; an empty rectangle draws nothing.
void draw(BadgeStyle style, const QRectF &rect, double rotationDegrees, QPainter &painter);
// The palette sheet of every style (1000 x 180), or with the rotation samples 0, 45, 180,
// 289 and 360 degrees in one row per style (1000 x 900). Throws ImageFailure.
QImage previewImage(bool showRotations);

} // namespace BadgeRenderer
} // namespace tarn
