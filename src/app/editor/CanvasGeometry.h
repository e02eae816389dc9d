// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <vector>

#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QSizeF>
#include <QTransform>

#include "core/base/Uuid.h"
#include "core/model/Annotation.h"
#include "core/model/EditDocument.h"
#include "core/render/BadgeRotationGeometry.h"
#include "core/render/RenderLayout.h"

namespace tarn {

// Where the editor canvas shows its capture at one moment, and how a pointer position there
// relates to the capture. Four spaces meet here: view points (the widget's logical pixels,
// y down), layout space (the flattened picture as RenderLayout lays it out, frame and padding
// included), source pixels of the uncropped original, and the unit space annotations are
// stored in. The render is fitted into the view less a 45-point margin, scaled by the zoom,
// centred in the whole view and moved by the pan.
//
// A geometry is made afresh for every event and every paint from the current view size, pan,
// zoom, image size, document and selection; nothing is kept between them. It refers to the
// document it was made from, which must outlive it.
class CanvasGeometry {
public:
    CanvasGeometry(QSizeF viewSize, QPointF pan, double zoom, QSize imageSize, const EditDocument &document,
                   std::optional<Uuid> selectedAnnotationID);

    const RenderLayout &layout() const { return layout_; }
    // View points per layout unit; never below 0.0001, so every mapping stays finite.
    double scale() const { return scale_; }
    // Where the whole render (layout space) lies in view space.
    QRectF canvasRect() const { return canvasRect_; }

    QPointF layoutPoint(QPointF viewPoint) const;
    // The unit point under a view point, or nothing when the point is not on the image itself
    // (the backdrop and padding round it, or outside the render): such points never hit an
    // annotation and never start one. The image's left and top edges belong to it, its right
    // and bottom edges do not.
    std::optional<UnitPoint> unitPoint(QPointF viewPoint) const;
    // The same without the test: a drag that leaves the image stays on its edge.
    UnitPoint clampedUnitPoint(QPointF viewPoint) const;

    QPointF viewPoint(QPointF sourcePixel) const;
    QRectF viewRect(const QRectF &sourceRect) const;
    // Painter transforms from layout space and from source pixels into view space.
    QTransform layoutTransform() const;
    QTransform sourceTransform() const;

    // The badge's upright stamp box in source pixels, centred on its first point.
    QRectF stampBox(const Annotation &badge) const;
    // Source-pixel bounds: a badge's rotated stamp box, else the rectangle of the first and
    // last points (the whole image for a mark without points).
    QRectF annotationBounds(const Annotation &annotation) const;

    const Annotation *selectedAnnotation() const;
    const Annotation *selectedBadge() const;
    // The rotation ring of the selected badge in view space; it follows zoom and pan but not
    // the badge's own rotation.
    std::optional<BadgeRotationGeometry> badgeRotationGeometry() const;

    // The topmost annotation under a view point, within 12 view points at any zoom.
    const Annotation *annotationAt(QPointF viewPoint) const;

    // The pointer shapes over the view, later regions over earlier ones: the whole view, then
    // the rotation handle of the selected badge unless space is held.
    struct CursorRegion {
        QRectF rect;
        Qt::CursorShape shape;
    };
    std::vector<CursorRegion> cursorRegions(MarkupTool tool, bool spaceHeld, bool rotating) const;
    static Qt::CursorShape cursorAt(const std::vector<CursorRegion> &regions, QPointF viewPoint);

    static constexpr double fitMargin = 45;
    static constexpr double minimumScale = 0.0001;
    static constexpr double hitTolerance = 12;

private:
    QRectF hitBox(const Annotation &annotation) const;

    QSizeF viewSize_;
    const EditDocument &document_;
    std::optional<Uuid> selectedAnnotationID_;
    RenderLayout layout_;
    double scale_;
    QRectF canvasRect_;
};

// Containment with the minimum edges inside and the maximum edges outside, as every hit
// test of the canvas counts it (QRectF::contains counts both edges).
bool containsHalfOpen(const QRectF &rect, QPointF point);

} // namespace tarn
