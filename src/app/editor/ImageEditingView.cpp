// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/editor/ImageEditingView.h"

#include <algorithm>
#include <cmath>

#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QNativeGestureEvent>
#include <QPainter>
#include <QWheelEvent>

#include "app/editor/CanvasKeys.h"
#include "app/editor/CanvasPainter.h"
#include "app/editor/EditorModel.h"
#include "core/model/AnnotationGeometry.h"

namespace tarn {

namespace {

// A wheel notch (120 eighths of a degree) moves the canvas 45 view points; touchpads report
// their own pixel distances.
constexpr double wheelPointsPerUnit = 45.0 / 120.0;
constexpr double minimumZoom = 0.2;
constexpr double maximumZoom = 5.0;
// A pen stroke takes a new point once the pointer is this far (view points) from the last.
constexpr double penStep = 1.5;

bool isDrawnAtOnce(MarkupTool tool)
{
    return tool == MarkupTool::text || tool == MarkupTool::number || tool == MarkupTool::badge;
}

bool snaps(const QInputEvent &event) { return event.modifiers() & Qt::ShiftModifier; }

} // namespace

ImageEditingView::ImageEditingView(EditorModel &model, QWidget *parent)
    : QWidget(parent),
      model_(model),
      lastReset_(model.canvasReset()),
      imageIsOpaque_(CanvasPainter::isOpaque(model.image()))
{
    setObjectName(QStringLiteral("imageEditingView"));
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    // Tool letters must reach the canvas as keys, also while a Korean input method is on.
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setAttribute(Qt::WA_OpaquePaintEvent, true);
    setAutoFillBackground(false);
    refreshCursor();
}

ImageEditingView::~ImageEditingView() = default;

CanvasGeometry ImageEditingView::geometry() const
{
    return {
        QSizeF(size()), pan_, model_.zoom(), model_.image().size(), model_.document(), model_.selectedAnnotationID()};
}

void ImageEditingView::refresh()
{
    resetIfNeeded();
    update();
    refreshCursor();
}

void ImageEditingView::resetIfNeeded()
{
    if (model_.canvasReset() == lastReset_)
        return;
    lastReset_ = model_.canvasReset();
    setPan(QPointF(0, 0));
}

void ImageEditingView::setPan(QPointF pan)
{
    if (pan_ == pan)
        return;
    pan_ = pan;
    update();
    Q_EMIT panChanged(pan_);
}

void ImageEditingView::selectAnnotation(QPointF viewPoint)
{
    const CanvasGeometry g = geometry();
    const Annotation *hit = g.annotationAt(viewPoint);
    model_.setSelectedAnnotationID(hit ? std::optional<Uuid>(hit->id) : std::nullopt);
    update();
    refreshCursor();
}

// ---- painting -------------------------------------------------------------------------------

void ImageEditingView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const CanvasGeometry g = geometry();
    CanvasPainter::paint(
        painter,
        {g, model_.image(), model_.document(), draft_, QSizeF(size()), imageIsOpaque_, &draftRenderer_, &keptFrame_});
}

// ---- pointer --------------------------------------------------------------------------------

void ImageEditingView::startPan(QPointF point)
{
    panStart_ = point;
    offsetAtPanStart_ = pan_;
}

void ImageEditingView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const QPointF point = event->position();
    setFocus(Qt::MouseFocusReason);
    if (spaceHeld_) {
        startPan(point);
        return;
    }
    if (startBadgeRotation(point, snaps(*event)))
        return;
    if (model_.tool() == MarkupTool::select) {
        startPan(point);
        selectAnnotation(point);
        return;
    }
    const CanvasGeometry g = geometry();
    if (model_.tool() == MarkupTool::badge) {
        if (const Annotation *hit = g.annotationAt(point); hit && hit->tool == MarkupTool::badge) {
            model_.setSelectedAnnotationID(hit->id);
            update();
            refreshCursor(point);
            return;
        }
    }
    const std::optional<UnitPoint> unit = g.unitPoint(point);
    if (!unit)
        return;
    Annotation mark = model_.makeAnnotation({*unit, *unit});
    if (isDrawnAtOnce(mark.tool)) {
        model_.add(mark);
    } else {
        dragging_ = true;
        draft_ = std::move(mark);
    }
    update();
}

// A press on the selected badge's handle starts turning it from there; a press on its ring
// turns it to the pressed angle at once.
bool ImageEditingView::startBadgeRotation(QPointF point, bool snapping)
{
    const CanvasGeometry g = geometry();
    const Annotation *badge = g.selectedBadge();
    const auto ring = g.badgeRotationGeometry();
    if (!badge || !ring)
        return false;
    const double r = badge->resolvedBadgeRotation();
    const bool onHandle = ring->containsHandle(point, r);
    if (!onHandle && !ring->containsRing(point))
        return false;
    rotation_ = BadgeRotationGesture{badge->id, badge->badgeRotation, model_.badgeRotation(), *ring,
                                     onHandle ? point : ring->handleCenter(r)};
    if (!onHandle)
        updateBadgeRotation(point, snapping);
    setCursor(Qt::ClosedHandCursor);
    update();
    return true;
}

void ImageEditingView::mouseMoveEvent(QMouseEvent *event)
{
    const QPointF point = event->position();
    if (!(event->buttons() & Qt::LeftButton)) {
        if (!rotation_)
            refreshCursor(point);
        return;
    }
    drag(point, snaps(*event));
}

void ImageEditingView::drag(QPointF point, bool snapping)
{
    if (rotation_) {
        updateBadgeRotation(point, snapping);
        return;
    }
    if (panStart_) {
        setPan(offsetAtPanStart_ + (point - *panStart_));
        return;
    }
    if (!dragging_ || !draft_)
        return;
    const CanvasGeometry g = geometry();
    const QSizeF sourceSize = g.layout().sourceSize();
    const UnitPoint end =
        AnnotationGeometry::endPoint(draft_->tool, draft_->points.front(), g.clampedUnitPoint(point), sourceSize);
    if (draft_->tool == MarkupTool::pen) {
        const QPointF step = end.scaled(sourceSize) - draft_->points.back().scaled(sourceSize);
        if (std::hypot(step.x(), step.y()) * g.scale() > penStep)
            draft_->points.push_back(end);
    } else {
        draft_->points = {draft_->points.front(), end};
    }
    update();
}

void ImageEditingView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    const QPointF point = event->position();
    if (rotation_) {
        updateBadgeRotation(point, snaps(*event));
        finishBadgeRotationGesture(false);
        return;
    }
    if (panStart_) {
        panStart_.reset();
        return;
    }
    if (!dragging_)
        return;
    drag(point, snaps(*event));
    dragging_ = false;
    finishDrawing();
}

// Pen strokes are always kept; a crop needs 4 by 4 source pixels; any other mark 2 pixels in
// either direction, so a plain click adds no shape.
void ImageEditingView::finishDrawing()
{
    if (draft_) {
        const Annotation mark = std::move(*draft_);
        draft_.reset();
        const QRectF b = mark.rect().scaled(geometry().layout().sourceSize());
        if (mark.tool == MarkupTool::pen)
            model_.add(mark);
        else if (mark.tool == MarkupTool::crop) {
            if (b.width() >= 4 && b.height() >= 4)
                model_.crop(mark.rect());
        } else if (b.width() >= 2 || b.height() >= 2) {
            model_.add(mark);
        }
    }
    update();
}

void ImageEditingView::updateBadgeRotation(QPointF point, bool snapping)
{
    if (!rotation_)
        return;
    const Annotation *badge = geometry().selectedBadge();
    if (!badge || badge->id != rotation_->annotationID) {
        rotation_.reset(); // the selection changed under the gesture: nothing to commit
        refreshCursor();
        return;
    }
    const auto degrees = rotation_->geometry.rotation(point, rotation_->startingPoint,
                                                      rotation_->originalRotation.value_or(0), snapping);
    if (!degrees)
        return;
    model_.previewBadgeRotation(*degrees);
    update();
}

void ImageEditingView::finishBadgeRotationGesture(bool cancelled)
{
    if (!rotation_)
        return;
    const BadgeRotationGesture gesture = *rotation_;
    rotation_.reset();
    if (cancelled) {
        model_.cancelBadgeRotationEdit(gesture.annotationID, gesture.originalRotation, gesture.defaultRotation);
    } else if (const Annotation *badge = geometry().selectedBadge(); badge && badge->id == gesture.annotationID) {
        model_.finishControlEdit();
    }
    update();
    refreshCursor();
}

// ---- wheel and pinch ------------------------------------------------------------------------

void ImageEditingView::wheelEvent(QWheelEvent *event)
{
    event->accept();
    if (rotation_)
        return;
    const QPointF delta = !event->pixelDelta().isNull() ? QPointF(event->pixelDelta())
                                                        : QPointF(event->angleDelta()) * wheelPointsPerUnit;
    setPan(pan_ + delta);
}

void ImageEditingView::magnify(double magnification)
{
    if (rotation_ || !std::isfinite(magnification))
        return;
    model_.setZoom(std::clamp(model_.zoom() * (1 + magnification), minimumZoom, maximumZoom));
}

bool ImageEditingView::event(QEvent *event)
{
    if (event->type() == QEvent::NativeGesture) {
        auto *gesture = static_cast<QNativeGestureEvent *>(event);
        if (gesture->gestureType() == Qt::ZoomNativeGesture)
            magnify(gesture->value());
        event->accept();
        return true;
    }
    // Keys the canvas answers are not taken by shortcuts of the window around it.
    if (event->type() == QEvent::ShortcutOverride && handlesKey(*static_cast<QKeyEvent *>(event))) {
        event->accept();
        return true;
    }
    return QWidget::event(event);
}

// ---- keys and focus -------------------------------------------------------------------------

bool ImageEditingView::handlesKey(const QKeyEvent &event) const
{
    if (rotation_)
        return true; // every key is swallowed while a badge turns
    switch (event.key()) {
    case Qt::Key_Space:
    case Qt::Key_Escape:
    case Qt::Key_Delete:
    case Qt::Key_Backspace:
        return true;
    default:
        return CanvasKeys::toolForKey(event.text(), event.key(), event.modifiers()).has_value();
    }
}

void ImageEditingView::keyPressEvent(QKeyEvent *event)
{
    if (rotation_) {
        if (event->key() == Qt::Key_Escape)
            finishBadgeRotationGesture(true);
        event->accept();
        return;
    }
    switch (event->key()) {
    case Qt::Key_Space:
        spaceHeld_ = true;
        refreshCursor();
        return;
    case Qt::Key_Escape:
        draft_.reset();
        dragging_ = false;
        model_.setSelectedAnnotationID(std::nullopt);
        update();
        return;
    case Qt::Key_Delete:
    case Qt::Key_Backspace:
        if (const auto selected = model_.selectedAnnotationID())
            model_.remove(*selected);
        return;
    default:
        break;
    }
    if (const auto tool = CanvasKeys::toolForKey(event->text(), event->key(), event->modifiers())) {
        model_.selectTool(*tool);
        refreshCursor();
        return;
    }
    QWidget::keyPressEvent(event);
}

void ImageEditingView::keyReleaseEvent(QKeyEvent *event)
{
    // Releasing space ends pan mode, but a pan under way goes on until the button is released.
    if (event->key() == Qt::Key_Space) {
        if (!event->isAutoRepeat())
            releaseSpace();
        return;
    }
    QWidget::keyReleaseEvent(event);
}

void ImageEditingView::releaseSpace()
{
    spaceHeld_ = false;
    refreshCursor();
}

// Losing the keyboard commits a rotation under way, and forgets a space key whose release
// will never arrive here, so that later presses draw again.
void ImageEditingView::focusOutEvent(QFocusEvent *event)
{
    finishBadgeRotationGesture(false);
    releaseSpace();
    QWidget::focusOutEvent(event);
}

void ImageEditingView::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && !isActiveWindow())
        releaseSpace();
    QWidget::changeEvent(event);
}

// ---- pointer shape --------------------------------------------------------------------------

void ImageEditingView::refreshCursor() { refreshCursor(mapFromGlobal(QCursor::pos().toPointF())); }

void ImageEditingView::refreshCursor(QPointF viewPoint)
{
    const auto regions = geometry().cursorRegions(model_.tool(), spaceHeld_, rotation_.has_value());
    setCursor(CanvasGeometry::cursorAt(regions, viewPoint));
}

} // namespace tarn
