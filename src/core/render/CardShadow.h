// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPainterPath>
#include <QPointF>

class QPainter;

namespace tarn::CardShadow {

// How a soft shadow looks, in device pixels (of an image, or of the screen a widget is
// painted for): black at `opacity`, a Gaussian blur of standard deviation `sigma`, moved by
// `offset`. The mask is made at 1 / `maskReduction` of that resolution and scaled up, which a
// wide blur hides.
struct Style {
    double opacity;
    double sigma;
    QPointF offset;
    double maskReduction;
};

// The card's shadow: black at 28 % with a blur of 32 device pixels (a Gaussian of standard
// deviation 16), moved 14 device pixels toward the top of the picture. The values are device
// pixels, so a thumbnail keeps the same shadow size as a full render.
inline constexpr Style cardStyle{0.28, 16, QPointF(0, -14), 4};

// Paints the soft shadow of `path` (user space) under where the shape will be drawn.
void paint(const QPainterPath &path, QPainter &painter, const Style &style = cardStyle);

} // namespace tarn::CardShadow
