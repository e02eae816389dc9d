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

// The source with the marks painted in, at the working size.
QImage workingCopy(const QImage &source, const std::vector<Annotation> &annotations, const Reduction &r)
{
    QImage bitmap = Bitmap::create(r.size);
    QPainter painter(&bitmap);
    if (!painter.isActive())
        throw ImageFailure::encoding();
    const QSizeF sourceSize(source.width(), source.height());
    painter.scale(r.size.width() / sourceSize.width(), r.size.height() / sourceSize.height());
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    RasterRenderer::drawImage(source, QRectF(QPointF(0, 0), sourceSize), painter);
    for (const Annotation &a : annotations)
        RasterRenderer::drawAnnotation(a, sourceSize, painter);
    painter.end();
    return bitmap;
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
    ImageCodec::validate(source.width(), source.height());
    const Reduction r = reduction(source.width(), source.height());
    QImage blurred = GaussianBlur::blurred(workingCopy(source, annotations, r), r.radius);
    if (blurred.isNull())
        throw ImageFailure::encoding();
    cache().insert(source, annotations, blurred);
    return blurred;
}

size_t copiesMade() { return copies.load(); }

} // namespace tarn::BlurRenderer
