// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/editor/CanvasGeometry.h"

#include <algorithm>
#include <cmath>

#include "core/render/BadgeRenderer.h"

namespace tarn {

namespace {

double fittedScale(QSizeF viewSize, QSizeF renderSize, double zoom)
{
    const double fitWidth = viewSize.width() - 2 * CanvasGeometry::fitMargin;
    const double fitHeight = viewSize.height() - 2 * CanvasGeometry::fitMargin;
    const double scale = std::min(fitWidth / renderSize.width(), fitHeight / renderSize.height()) * zoom;
    // Written so that a scale that is no number also takes the floor.
    return scale >= CanvasGeometry::minimumScale ? scale : CanvasGeometry::minimumScale;
}

QRectF grown(const QRectF &r, double by) { return r.adjusted(-by, -by, by, by); }

} // namespace

bool containsHalfOpen(const QRectF &rect, QPointF point)
{
    return point.x() >= rect.left() && point.x() < rect.right() && point.y() >= rect.top() && point.y() < rect.bottom();
}

CanvasGeometry::CanvasGeometry(QSizeF viewSize, QPointF pan, double zoom, QSize imageSize, const EditDocument &document,
                               std::optional<Uuid> selectedAnnotationID)
    : viewSize_(viewSize),
      document_(document),
      selectedAnnotationID_(std::move(selectedAnnotationID)),
      layout_(imageSize.width(), imageSize.height(), document),
      scale_(fittedScale(viewSize, layout_.size(), zoom))
{
    const double width = layout_.size().width() * scale_;
    const double height = layout_.size().height() * scale_;
    canvasRect_ =
        QRectF((viewSize.width() - width) / 2 + pan.x(), (viewSize.height() - height) / 2 + pan.y(), width, height);
}

QPointF CanvasGeometry::layoutPoint(QPointF viewPoint) const { return (viewPoint - canvasRect_.topLeft()) / scale_; }

std::optional<UnitPoint> CanvasGeometry::unitPoint(QPointF viewPoint) const
{
    const QPointF p = layoutPoint(viewPoint);
    if (!containsHalfOpen(layout_.contentRect(), p))
        return std::nullopt;
    return layout_.sourcePoint(p);
}

UnitPoint CanvasGeometry::clampedUnitPoint(QPointF viewPoint) const
{
    return layout_.sourcePoint(layoutPoint(viewPoint));
}

QTransform CanvasGeometry::layoutTransform() const
{
    return QTransform::fromTranslate(canvasRect_.left(), canvasRect_.top()).scale(scale_, scale_);
}

QTransform CanvasGeometry::sourceTransform() const
{
    const QPointF shift = layout_.contentRect().topLeft() - layout_.crop().topLeft();
    return QTransform::fromTranslate(shift.x(), shift.y()) * layoutTransform();
}

QPointF CanvasGeometry::viewPoint(QPointF sourcePixel) const
{
    const QPointF shift = layout_.contentRect().topLeft() - layout_.crop().topLeft();
    return canvasRect_.topLeft() + (sourcePixel + shift) * scale_;
}

QRectF CanvasGeometry::viewRect(const QRectF &sourceRect) const
{
    return {viewPoint(sourceRect.topLeft()), sourceRect.size() * scale_};
}

QRectF CanvasGeometry::stampBox(const Annotation &badge) const
{
    const QSizeF size = layout_.sourceSize();
    const QPointF centre = badge.points.empty() ? QPointF() : badge.points.front().scaled(size);
    return BadgeRenderer::bounds(centre, size);
}

QRectF CanvasGeometry::annotationBounds(const Annotation &annotation) const
{
    if (annotation.tool == MarkupTool::badge && !annotation.points.empty())
        return BadgeRenderer::rotatedBounds(stampBox(annotation), annotation.resolvedBadgeRotation());
    return annotation.rect().scaled(layout_.sourceSize());
}

const Annotation *CanvasGeometry::selectedAnnotation() const
{
    if (!selectedAnnotationID_)
        return nullptr;
    for (const Annotation &a : document_.annotations) {
        if (a.id == *selectedAnnotationID_)
            return &a;
    }
    return nullptr;
}

const Annotation *CanvasGeometry::selectedBadge() const
{
    const Annotation *selected = selectedAnnotation();
    return selected && selected->tool == MarkupTool::badge ? selected : nullptr;
}

std::optional<BadgeRotationGeometry> CanvasGeometry::badgeRotationGeometry() const
{
    const Annotation *badge = selectedBadge();
    if (!badge || badge->points.empty())
        return std::nullopt;
    return BadgeRotationGeometry(viewRect(stampBox(*badge)));
}

// Arrows and lines are hit anywhere in their bounding box, at least one pixel thick; other
// marks thinner than a pixel (text, numbers, a pen stroke ending where it began) in a 40-pixel
// square round their first point.
QRectF CanvasGeometry::hitBox(const Annotation &annotation) const
{
    QRectF b = annotationBounds(annotation);
    if (annotation.tool == MarkupTool::arrow || annotation.tool == MarkupTool::line) {
        b.setWidth(std::max(b.width(), 1.0));
        b.setHeight(std::max(b.height(), 1.0));
        return b;
    }
    if (b.width() >= 1 && b.height() >= 1)
        return b;
    const QPointF centre =
        annotation.points.empty() ? QPointF() : annotation.points.front().scaled(layout_.sourceSize());
    return {centre.x() - 20, centre.y() - 20, 40, 40};
}

const Annotation *CanvasGeometry::annotationAt(QPointF viewPoint) const
{
    const std::optional<UnitPoint> unit = unitPoint(viewPoint);
    if (!unit)
        return nullptr;
    const QPointF q = unit->scaled(layout_.sourceSize());
    const double tolerance = hitTolerance / scale_;
    const auto &marks = document_.annotations;
    for (auto it = marks.rbegin(); it != marks.rend(); ++it) {
        if (containsHalfOpen(grown(hitBox(*it), tolerance), q))
            return &*it;
    }
    return nullptr;
}

std::vector<CanvasGeometry::CursorRegion> CanvasGeometry::cursorRegions(MarkupTool tool, bool spaceHeld,
                                                                        bool rotating) const
{
    std::vector<CursorRegion> regions;
    const Qt::CursorShape whole = (tool == MarkupTool::select || spaceHeld) ? Qt::OpenHandCursor : Qt::CrossCursor;
    regions.push_back({QRectF(QPointF(0, 0), viewSize_), whole});
    if (spaceHeld)
        return regions;
    if (const auto ring = badgeRotationGeometry()) {
        const QPointF h = ring->handleCenter(selectedBadge()->resolvedBadgeRotation());
        regions.push_back(
            {QRectF(h.x() - 13, h.y() - 13, 26, 26), rotating ? Qt::ClosedHandCursor : Qt::PointingHandCursor});
    }
    return regions;
}

Qt::CursorShape CanvasGeometry::cursorAt(const std::vector<CursorRegion> &regions, QPointF viewPoint)
{
    // Outside the view the widget's shape is not shown; it keeps the whole view's, which is
    // what the pointer meets when it comes in.
    Qt::CursorShape shape = regions.empty() ? Qt::ArrowCursor : regions.front().shape;
    for (const CursorRegion &region : regions) {
        if (containsHalfOpen(region.rect, viewPoint))
            shape = region.shape;
    }
    return shape;
}

} // namespace tarn
