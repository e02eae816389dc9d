// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/render/RasterRenderer.h"

#include <algorithm>
#include <cmath>
#include <mutex>
#include <vector>

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "core/image/Bitmap.h"
#include "core/image/ImageCodec.h"
#include "core/render/BlurRenderer.h"
#include "core/render/CardShadow.h"
#include "core/render/RenderLayout.h"

namespace tarn::RasterRenderer {

namespace {

const QColor cardColor = QColor::fromRgbF(0.10f, 0.12f, 0.15f);

std::vector<QColor> backdropStops(Backdrop backdrop)
{
    auto c = [](double r, double g, double b) { return QColor::fromRgbF(float(r), float(g), float(b)); };
    switch (backdrop) {
    case Backdrop::none:
        return {};
    case Backdrop::aurora:
        return {c(0.09, 0.33, 0.35), c(0.39, 0.70, 0.60), c(0.82, 0.89, 0.66)};
    case Backdrop::midnight:
        return {c(0.10, 0.12, 0.25), c(0.32, 0.27, 0.52), c(0.52, 0.41, 0.68)};
    case Backdrop::peach:
        return {c(0.98, 0.77, 0.65), c(0.89, 0.52, 0.53), c(0.67, 0.46, 0.67)};
    case Backdrop::paper:
        return {c(0.95, 0.94, 0.89), c(0.85, 0.87, 0.81)};
    }
    return {};
}

// The backdrop gradient over the whole output, corner to corner, stops evenly spaced.
void drawBackdrop(Backdrop backdrop, QSizeF size, QPainter &painter)
{
    const auto stops = backdropStops(backdrop);
    if (stops.empty())
        return;
    QLinearGradient gradient(QPointF(0, 0), QPointF(size.width(), size.height()));
    gradient.setSpread(QGradient::PadSpread);
    for (size_t i = 0; i < stops.size(); ++i)
        gradient.setColorAt(double(i) / double(stops.size() - 1), stops[i]);
    painter.fillRect(QRectF(QPointF(0, 0), size), gradient);
}

QPainterPath cardPath(const QRectF &content, double cornerRadius)
{
    const double limit = std::min(content.width(), content.height()) / 2;
    const double radius = std::isnan(cornerRadius) ? 0 : std::clamp(cornerRadius, 0.0, limit);
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    path.addRoundedRect(content, radius, radius);
    return path;
}

// The rectangle with its edges moved outward to whole units.
QRectF outwardIntegral(const QRectF &r)
{
    return QRectF(QPointF(std::floor(r.left()), std::floor(r.top())),
                  QPointF(std::ceil(r.right()), std::ceil(r.bottom())));
}

// The last reduction made, for the repaints of an editor canvas: while a mark is dragged over a
// large capture, every frame reduces the same source to the same size. Keyed by the source's
// identity (QImage::cacheKey, never reused within a run) and the reduced size.
QImage reduced(const QImage &image, QSize size)
{
    struct Entry {
        qint64 key = 0;
        QSize size;
        QImage image;
    };
    static std::mutex mutex;
    static Entry last;
    {
        const std::lock_guard lock(mutex);
        if (!last.image.isNull() && last.key == image.cacheKey() && last.size == size)
            return last.image;
    }
    QImage made = image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const std::lock_guard lock(mutex);
    last = {image.cacheKey(), size, made};
    return made;
}

// Large reductions (thumbnails) scale the source by area averaging first: the painter's
// bilinear filter would alias fine detail such as text.
QImage sourceForDevice(const QImage &image, const QPainter &painter)
{
    const QTransform t = painter.combinedTransform();
    if (t.type() > QTransform::TxScale || t.m11() <= 0 || t.m22() <= 0)
        return image;
    if (t.m11() >= 0.5 || t.m22() >= 0.5)
        return image;
    const int w = std::max(1, int(std::ceil(image.width() * t.m11())));
    const int h = std::max(1, int(std::ceil(image.height() * t.m22())));
    return reduced(image, QSize(w, h));
}

void drawBlurPatches(const EditDocument &document, const QImage &blurred, QSizeF size, QPainter &painter)
{
    const QRectF whole(QPointF(0, 0), size);
    for (const Annotation &a : document.annotations) {
        if (a.tool != MarkupTool::blur)
            continue;
        painter.save();
        painter.setClipRect(blurPatchRect(a, size), Qt::IntersectClip);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        drawImage(blurred, whole, painter);
        painter.restore();
    }
}

// Clips to what the document shows and moves to source pixels; with `paintFrame`, paints the
// backdrop and the card under the content first.
void enterContent(const RenderLayout &layout, const EditDocument &document, bool paintFrame, QPainter &painter)
{
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.setClipRect(QRectF(QPointF(0, 0), layout.size()), Qt::IntersectClip);
    if (document.backdrop == Backdrop::none) {
        painter.setClipRect(layout.contentRect(), Qt::IntersectClip);
    } else {
        const QPainterPath card = cardPath(layout.contentRect(), document.cornerRadius);
        if (paintFrame) {
            drawBackdrop(document.backdrop, layout.size(), painter);
            CardShadow::paint(card, painter);
            painter.fillPath(card, cardColor);
        }
        painter.setClipPath(card, Qt::IntersectClip);
    }
    painter.translate(layout.contentRect().left() - layout.crop().left(),
                      layout.contentRect().top() - layout.crop().top());
}

void drawRegularMarks(const EditDocument &document, QSizeF size, QPainter &painter)
{
    for (const Annotation &a : document.annotations) {
        if (isRegular(a))
            drawAnnotation(a, size, painter);
    }
}

void drawMasks(const EditDocument &document, QSizeF size, QPainter &painter)
{
    for (const Annotation &a : document.annotations) {
        if (a.tool == MarkupTool::redact)
            drawAnnotation(a, size, painter);
    }
}

} // namespace

void drawImage(const QImage &image, const QRectF &rect, QPainter &painter) { painter.drawImage(rect, image); }

bool isRegular(const Annotation &annotation)
{
    return annotation.tool != MarkupTool::blur && annotation.tool != MarkupTool::redact;
}

QRectF blurPatchRect(const Annotation &patch, QSizeF size) { return outwardIntegral(patch.rect().scaled(size)); }

void draw(const QImage &image, const EditDocument &document, QPainter &painter)
{
    std::vector<Annotation> regular;
    bool hasBlur = false;
    for (const Annotation &a : document.annotations) {
        if (a.tool == MarkupTool::blur)
            hasBlur = true;
        else if (isRegular(a))
            regular.push_back(a);
    }
    // The copy comes first: when it fails, nothing has been drawn.
    drawWithBlurredCopy(image, document, hasBlur ? BlurRenderer::image(image, regular) : QImage(), painter);
}

void drawWithBlurredCopy(const QImage &image, const EditDocument &document, const QImage &blurred, QPainter &painter)
{
    const RenderLayout layout(image.width(), image.height(), document);
    const QSizeF size = layout.sourceSize();
    painter.save();
    enterContent(layout, document, true, painter);
    drawImage(sourceForDevice(image, painter), QRectF(QPointF(0, 0), size), painter);
    drawRegularMarks(document, size, painter);
    if (!blurred.isNull())
        drawBlurPatches(document, blurred, size, painter);
    drawMasks(document, size, painter);
    painter.restore();
}

void drawUnderDraft(const QImage &image, const EditDocument &document, QPainter &painter)
{
    const RenderLayout layout(image.width(), image.height(), document);
    const QSizeF size = layout.sourceSize();
    painter.save();
    enterContent(layout, document, true, painter);
    drawImage(sourceForDevice(image, painter), QRectF(QPointF(0, 0), size), painter);
    drawRegularMarks(document, size, painter);
    painter.restore();
}

void drawDraftOver(const QImage &image, const EditDocument &document, const Annotation &draft, const QImage &blurred,
                   QPainter &painter)
{
    EditDocument withDraft = document;
    withDraft.annotations.push_back(draft);
    const RenderLayout layout(image.width(), image.height(), document);
    const QSizeF size = layout.sourceSize();
    painter.save();
    enterContent(layout, document, false, painter);
    if (isRegular(draft))
        drawAnnotation(draft, size, painter);
    if (!blurred.isNull())
        drawBlurPatches(withDraft, blurred, size, painter);
    drawMasks(withDraft, size, painter);
    painter.restore();
}

QImage render(const QImage &image, const EditDocument &document, std::optional<int> maximumEdge)
{
    if (image.isNull() || image.width() < 1 || image.height() < 1)
        throw ImageFailure::invalidDimensions();
    if (maximumEdge && *maximumEdge < 1)
        throw ImageFailure::invalidDimensions();
    const RenderLayout layout(image.width(), image.height(), document);
    const double longer = std::max(layout.size().width(), layout.size().height());
    double scale = 1;
    if (maximumEdge && *maximumEdge / longer < 1)
        scale = *maximumEdge / longer;
    const double width = std::max(1.0, std::ceil(scale * layout.size().width()));
    const double height = std::max(1.0, std::ceil(scale * layout.size().height()));
    ImageCodec::validate(int64_t(width), int64_t(height));

    QImage picture = Bitmap::create(QSize(int(width), int(height)));
    QPainter painter(&picture);
    if (!painter.isActive())
        throw ImageFailure::encoding();
    painter.scale(scale, scale);
    draw(image, document, painter);
    painter.end();
    return picture;
}

} // namespace tarn::RasterRenderer
