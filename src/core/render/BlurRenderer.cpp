// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/render/BlurRenderer.h"

#include <algorithm>
#include <atomic>
#include <cmath>

#include <QPainter>

#include "core/image/Bitmap.h"
#include "core/image/ImageCodec.h"
#include "core/render/BlurCache.h"
#include "core/render/GaussianBlur.h"
#include "core/render/RasterRenderer.h"

namespace tarn::BlurRenderer {

namespace {

BlurCache &cache()
{
    static BlurCache shared(cacheEntries, cacheCost);
    return shared;
}

std::atomic<size_t> copies{0};

// A painter on a working copy whose user space is the source's pixels, painting only within
// `within` (working-copy pixels) when that is given.
void beginPainting(QPainter &painter, QImage &working, QSizeF sourceSize, const QRegion &within = {})
{
    if (!painter.begin(&working))
        throw ImageFailure::encoding();
    if (!within.isEmpty())
        painter.setClipRegion(within);
    painter.scale(working.width() / sourceSize.width(), working.height() / sourceSize.height());
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
}

} // namespace

Reduction reduction(int width, int height)
{
    const double longSide = std::max(width, height);
    const double k = std::min(maximumWorkingEdge / longSide, 1.0);
    const int w = std::max(1, int(std::ceil(k * width)));
    const int h = std::max(1, int(std::ceil(k * height)));
    const double R = std::clamp(longSide * 28 / 1600, 12.0, 80.0);
    return {QSize(w, h), k, R, k * R};
}

QImage image(const QImage &source, const std::vector<Annotation> &annotations)
{
    if (auto hit = cache().find(source, annotations))
        return *hit;
    ++copies;
    const Reduction r = reduction(source.width(), source.height());
    QImage blurred = GaussianBlur::blurred(workingCopy(source, annotations), r.radius);
    if (blurred.isNull())
        throw ImageFailure::encoding();
    cache().insert(source, annotations, blurred);
    return blurred;
}

QImage workingCopy(const QImage &source, const std::vector<Annotation> &annotations)
{
    ImageCodec::validate(source.width(), source.height());
    QImage bitmap = Bitmap::create(reduction(source.width(), source.height()).size);
    const QSizeF sourceSize(source.width(), source.height());
    QPainter painter;
    beginPainting(painter, bitmap, sourceSize);
    RasterRenderer::drawImage(source, QRectF(QPointF(0, 0), sourceSize), painter);
    for (const Annotation &a : annotations)
        RasterRenderer::drawAnnotation(a, sourceSize, painter);
    painter.end();
    return bitmap;
}

void paintMark(QImage &working, QSizeF sourceSize, const Annotation &mark, const QRegion &within)
{
    QPainter painter;
    beginPainting(painter, working, sourceSize, within);
    RasterRenderer::drawAnnotation(mark, sourceSize, painter);
}

size_t copiesMade() { return copies.load(); }

} // namespace tarn::BlurRenderer
