// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/smoke/FlattenedComparison.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <vector>

#include "core/render/RasterRenderer.h"
#include "core/render/RenderLayout.h"

namespace tarn::UISmoke {

namespace {

// The picture's own rounding (premultiplied alpha, colour conversions) stays within this step.
constexpr int roundingStep = 2;
// A blur patch changes at least this share of its pixels by more than `visibleStep`: a patch
// over a line of text blurs its strokes into the background around them (the privacy sample's
// patches change a fifth to a half of theirs), an unblurred one changes none.
constexpr double blurredShare = 0.05;
constexpr int visibleStep = 12;

int distance(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b)),
                     std::abs(qAlpha(a) - qAlpha(b))});
}

QString at(QPoint p) { return QStringLiteral(" at (%1, %2)").arg(p.x()).arg(p.y()); }

// The source pixels a mark may touch, one antialiasing pixel included; none when the renderer
// does not say (text, numbers, badges), which leaves no pixel of the source unmarked.
std::optional<QRect> markedArea(const Annotation &mark, QSizeF size)
{
    if (mark.tool == MarkupTool::blur || mark.tool == MarkupTool::redact)
        return RasterRenderer::blurPatchRect(mark, size).toAlignedRect().adjusted(-1, -1, 1, 1);
    const std::optional<QRectF> bounds = RasterRenderer::paintedBounds(mark, size);
    if (!bounds)
        return std::nullopt;
    return bounds->isEmpty() ? QRect() : bounds->toAlignedRect().adjusted(-1, -1, 1, 1);
}

// Where the source pixel `p` lands in the picture.
QPoint placed(const RenderLayout &layout, QPoint p)
{
    return p + (layout.contentRect().topLeft() - layout.crop().topLeft()).toPoint();
}

QString differenceFromRenderer(const QImage &picture, const QImage &expected)
{
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if (distance(picture.pixel(x, y), expected.pixel(x, y)) > roundingStep)
                return QStringLiteral("differs from the renderer's flattening") + at({x, y});
        }
    }
    return {};
}

QString unblurredPatch(const QImage &picture, const QImage &original, const EditDocument &document,
                       const RenderLayout &layout)
{
    const QSizeF size = layout.sourceSize();
    const QRect kept = layout.crop().toAlignedRect();
    int index = 0;
    for (const Annotation &mark : document.annotations) {
        if (mark.tool != MarkupTool::blur)
            continue;
        ++index;
        const QRect patch = RasterRenderer::blurPatchRect(mark, size).toAlignedRect() & kept;
        if (patch.isEmpty())
            continue;
        qint64 changed = 0;
        for (int y = patch.top(); y <= patch.bottom(); ++y) {
            for (int x = patch.left(); x <= patch.right(); ++x) {
                const QPoint out = placed(layout, {x, y});
                changed += distance(picture.pixel(out), original.pixel(x, y)) > visibleStep;
            }
        }
        if (double(changed) < blurredShare * double(patch.width()) * double(patch.height()))
            return QStringLiteral("shows blur patch %1 of the edits as the original").arg(index);
    }
    return {};
}

QString changedOutsideMarks(const QImage &picture, const QImage &original, const EditDocument &document,
                            const RenderLayout &layout)
{
    // A source placed between pixels is resampled; nothing of it can equal the original.
    const QPointF origin = layout.contentRect().topLeft();
    if (origin != origin.toPoint())
        return {};
    const QSizeF size = layout.sourceSize();
    std::vector<QRect> marked;
    for (const Annotation &mark : document.annotations) {
        const std::optional<QRect> area = markedArea(mark, size);
        if (!area)
            return {};
        marked.push_back(*area);
    }
    // The card's rounded corners and its antialiased edge clip the source.
    const int corner = document.backdrop == Backdrop::none ? 0 : int(std::ceil(std::max(0.0, document.cornerRadius)));
    const QRect kept = layout.crop().toAlignedRect().adjusted(corner + 1, corner + 1, -corner - 1, -corner - 1);
    for (int y = kept.top(); y <= kept.bottom(); ++y) {
        for (int x = kept.left(); x <= kept.right(); ++x) {
            const QPoint p(x, y);
            if (std::any_of(marked.begin(), marked.end(), [p](const QRect &area) { return area.contains(p); }))
                continue;
            const QPoint out = placed(layout, p);
            if (distance(picture.pixel(out), original.pixel(p)) > roundingStep)
                return QStringLiteral("differs from the original outside every mark") + at(out);
        }
    }
    return {};
}

} // namespace

QString flattenedMismatch(const QImage &picture, const QImage &original, const EditDocument &document)
{
    const RenderLayout layout(original.width(), original.height(), document);
    const QSize expectedSize = layout.size().toSize();
    if (picture.size() != expectedSize) {
        return QStringLiteral("is %1x%2 pixels, the edits make %3x%4")
            .arg(picture.width())
            .arg(picture.height())
            .arg(expectedSize.width())
            .arg(expectedSize.height());
    }
    const QImage shown = picture.convertToFormat(QImage::Format_ARGB32);
    const QImage source = original.convertToFormat(QImage::Format_ARGB32);
    const QImage expected = RasterRenderer::render(original, document).convertToFormat(QImage::Format_ARGB32);
    // The blurs first: a patch left clear is the failure that matters most to a reader.
    for (const QString &problem :
         {unblurredPatch(shown, source, document, layout), changedOutsideMarks(shown, source, document, layout),
          differenceFromRenderer(shown, expected)}) {
        if (!problem.isEmpty())
            return problem;
    }
    return {};
}

} // namespace tarn::UISmoke
