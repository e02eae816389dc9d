// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <vector>

#include <QImage>
#include <QRegion>
#include <QSize>
#include <QSizeF>

#include "core/model/Annotation.h"

namespace tarn {

// The blurred copy of a whole source image that blur patches show: the source with the
// regular marks painted in, reduced to at most 2048 pixels on its long side and blurred
// strongly. Recent copies are kept in a process-wide cache keyed by the source image's
// identity and the mark list, so redrawing an unchanged document, or moving blur and
// redaction marks, reuses the copy.
namespace BlurRenderer {

// The size of the working copy and the blur's standard deviation in its pixels.
struct Reduction {
    QSize size;
    double scale;        // working copy pixels per source pixel, at most 1
    double sourceRadius; // the blur radius in source pixels: 28 per 1600 of the long side, 12...80
    double radius;       // scale x sourceRadius
};
Reduction reduction(int width, int height);

// The blurred copy, at the reduced size. Throws ImageFailure (size validation, or a bitmap that
// cannot be made); nothing is cached after a failure.
QImage image(const QImage &source, const std::vector<Annotation> &annotations);

// The source with the marks painted in, at the working size: what image() blurs. Throws as
// image() does.
QImage workingCopy(const QImage &source, const std::vector<Annotation> &annotations);

// Paints one more mark into a working copy of a source of `sourceSize` pixels, the same to the
// last pixel as workingCopy paints it after the others; only within `within` (working-copy
// pixels) when that is given.
void paintMark(QImage &working, QSizeF sourceSize, const Annotation &mark, const QRegion &within = {});

// How many blurred copies were made since the program started, the cache's misses; the
// benchmarks read it to see that redraws reuse the copy.
size_t copiesMade();

inline constexpr int maximumWorkingEdge = 2048;
inline constexpr size_t cacheEntries = 4;
inline constexpr size_t cacheCost = 96 * 1024 * 1024;

} // namespace BlurRenderer
} // namespace tarn
