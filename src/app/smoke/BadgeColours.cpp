// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/smoke/BadgeColours.h"

#include <cstdlib>

namespace tarn::UISmoke {

namespace {

// Antialiased edges and a symbol's strokes are left out by the tolerance and the count: the
// smallest tag the sheets draw covers a few thousand pixels of its colour.
constexpr int colourStep = 3;
constexpr int solidArea = 400;

bool near(QRgb pixel, const QColor &colour)
{
    return std::abs(qRed(pixel) - colour.red()) <= colourStep &&
        std::abs(qGreen(pixel) - colour.green()) <= colourStep &&
        std::abs(qBlue(pixel) - colour.blue()) <= colourStep && qAlpha(pixel) == 255;
}

int pixelsOf(const QImage &pixels, const QColor &colour)
{
    int count = 0;
    for (int y = 0; y < pixels.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(pixels.constScanLine(y));
        for (int x = 0; x < pixels.width(); ++x)
            count += near(line[x], colour);
    }
    return count;
}

} // namespace

std::optional<BadgeStyle> missingBadgeColour(const QImage &picture)
{
    const QImage pixels = picture.convertToFormat(QImage::Format_ARGB32);
    for (const BadgeStyle style : allCases<BadgeStyle>()) {
        if (pixelsOf(pixels, qColor(style)) < solidArea)
            return style;
    }
    return std::nullopt;
}

} // namespace tarn::UISmoke
