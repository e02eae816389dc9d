// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPainterPath>

class QPainter;

namespace tarn::CardShadow {

// Paints the soft shadow of the card `path` (user space) under where the card will be drawn:
// black at 28 % with a blur of 32 device pixels (a Gaussian of standard deviation 16), moved
// 14 device pixels toward the top of the picture. The values are device pixels, so a
// thumbnail keeps the same shadow size as a full render.
void paint(const QPainterPath &path, QPainter &painter);

inline constexpr double opacity = 0.28;
inline constexpr double deviceSigma = 16;
inline constexpr double deviceOffsetUp = 14;

} // namespace tarn::CardShadow
