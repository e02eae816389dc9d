// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/image/BandedConversion.h"

#include <algorithm>
#include <cstring>

#include <QColorSpace>

namespace tarn {
namespace {

// Qt converts on the calling thread below 64 KiB of pixels per call; a band stays under that
// in 16 bits per channel too.
constexpr int bandPixels = 8192;

// A view of rows [first, first + count) of `image`, sharing its pixels.
QImage bandOf(const QImage &image, int first, int count)
{
    QImage band(image.constScanLine(first), image.width(), count, image.bytesPerLine(), image.format());
    band.setColorTable(image.colorTable());
    band.setColorSpace(image.colorSpace());
    return band;
}

} // namespace

QImage toWorkingFormat(const QImage &image, bool toSrgb)
{
    constexpr auto working = QImage::Format_RGBA8888_Premultiplied;
    const QColorSpace srgb(QColorSpace::SRgb);
    const bool transform = toSrgb && image.colorSpace().isValid() && image.colorSpace() != srgb;
    const QColorSpace tag = toSrgb ? srgb : image.colorSpace();
    if (image.isNull() || (image.format() == working && !transform)) {
        QImage same = image;
        if (!same.isNull())
            same.setColorSpace(tag);
        return same;
    }
    QImage out(image.size(), working);
    if (out.isNull())
        return out;
    // Colour transforms are exact on these formats; 16-bit sources keep their precision.
    const auto transformFormat = image.depth() > 32 ? QImage::Format_RGBA64 : QImage::Format_ARGB32;
    const int rows = std::max(1, bandPixels / std::max(1, image.width()));
    for (int first = 0; first < image.height(); first += rows) {
        const int count = std::min(rows, image.height() - first);
        QImage band = bandOf(image, first, count);
        if (transform) {
            band = band.convertToFormat(transformFormat);
            band.convertToColorSpace(srgb);
        }
        band = band.convertToFormat(working);
        if (band.isNull())
            return QImage();
        for (int y = 0; y < count; ++y)
            std::memcpy(out.scanLine(first + y), band.constScanLine(y), size_t(image.width()) * 4);
    }
    out.setColorSpace(tag);
    return out;
}

} // namespace tarn
