// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRectF>
#include <QSizeF>

class QPainter;

namespace tarn::CanvasBackground {

// What lies under the render on the canvas, in view space: the dark backdrop with a dot every
// 20 points (from 12, 12), and the plate the render sits on with its soft shadow below it.
// Where the render covers the plate with opaque pixels (`renderIsOpaque`), only the plate's
// edges are painted: nothing below would show there. The painting is the same at every zoom;
// the dot tile and the plate's shadow are kept between frames for the last pixel ratio and
// plate size, so panning and drawing reuse them. GUI thread only.
void paint(QPainter &painter, QSizeF viewSize, const QRectF &plate, bool renderIsOpaque);

// The plate's inside alone, for a frame whose render failed after `paint` left it out.
void paintPlate(QPainter &painter, const QRectF &plate);

} // namespace tarn::CanvasBackground
