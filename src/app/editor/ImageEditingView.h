// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include <QPointF>
#include <QWidget>

#include "app/editor/CanvasGeometry.h"
#include "app/editor/CanvasPainter.h"
#include "core/base/Uuid.h"
#include "core/model/Annotation.h"
#include "core/render/BadgeRotationGeometry.h"
#include "core/render/DraftRenderer.h"

namespace tarn {

class EditorModel;

// The editor's annotation canvas: shows the capture with its edits, fitted, zoomed and panned,
// and turns pointer, wheel, pinch and key events into the model's edit commands. It keeps only
// what belongs to the view: the pan, the mark being drawn, a badge rotation under way and
// whether space is held; every edit goes through the model, which owns the history.
//
// Pointer states, one at a time: idle; panning (a press with space held or with the select
// tool, until release); drawing (a press with a drawing tool on the image, until release or
// Escape); rotating (a press on the selected badge's handle or ring, until release, Escape,
// focus loss, or a selection change under it).
class ImageEditingView : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QPointF pan READ pan NOTIFY panChanged)
    Q_PROPERTY(bool spaceHeld READ spaceHeld)
    Q_PROPERTY(bool rotatingBadge READ isRotatingBadge)

public:
    explicit ImageEditingView(EditorModel &model, QWidget *parent = nullptr);
    ~ImageEditingView() override;

    EditorModel &model() const { return model_; }
    QPointF pan() const { return pan_; }
    bool spaceHeld() const { return spaceHeld_; }
    bool isRotatingBadge() const { return rotation_.has_value(); }
    const std::optional<Annotation> &draft() const { return draft_; }
    // The geometry of this moment; made afresh on every call.
    CanvasGeometry geometry() const;
    // The selected badge's rotation ring where the view shows it now; none without a badge.
    std::optional<BadgeRotationGeometry> badgeRotationGeometry() const { return geometry().badgeRotationGeometry(); }

    // Follows a model change: a new reset token recentres, then the view redraws and its
    // pointer shape is recomputed.
    void refresh();
    void resetIfNeeded();
    // Selects the annotation under a view point, or clears the selection.
    void selectAnnotation(QPointF viewPoint);

    QSize sizeHint() const override { return {800, 600}; }

Q_SIGNALS:
    void panChanged(QPointF pan);

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    struct BadgeRotationGesture {
        Uuid annotationID;
        std::optional<double> originalRotation;
        double defaultRotation;
        BadgeRotationGeometry geometry; // as at the press; not recomputed while rotating
        QPointF startingPoint;
    };

    void startPan(QPointF point);
    void setPan(QPointF pan);
    bool startBadgeRotation(QPointF point, bool snapping);
    void drag(QPointF point, bool snapping);
    void finishDrawing();
    void updateBadgeRotation(QPointF point, bool snapping);
    void finishBadgeRotationGesture(bool cancelled);
    void magnify(double magnification);
    bool handlesKey(const QKeyEvent &event) const;
    void releaseSpace();
    void refreshCursor();
    void refreshCursor(QPointF viewPoint);

    EditorModel &model_;
    std::optional<Annotation> draft_;
    bool dragging_ = false;
    std::optional<BadgeRotationGesture> rotation_;
    std::optional<QPointF> panStart_;
    QPointF offsetAtPanStart_;
    QPointF pan_;
    bool spaceHeld_ = false;
    Uuid lastReset_;
    const bool imageIsOpaque_; // the capture never changes under its editor
    DraftRenderer draftRenderer_;
    CanvasPainter::KeptFrame keptFrame_;
};

} // namespace tarn
