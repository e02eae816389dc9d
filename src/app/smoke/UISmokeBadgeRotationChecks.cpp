// SPDX-License-Identifier: GPL-3.0-or-later
#include <cmath>
#include <optional>

#include <QEvent>

#include "app/devmodes/SmokeDriver.h"
#include "app/editor/EditorModel.h"
#include "app/editor/EditorWindowController.h"
#include "app/editor/ImageEditingView.h"
#include "app/smoke/UISmokeChecks.h"

namespace tarn::UISmoke {

namespace {

// The privacy sample's open editor and the heart badge the drawing checks stamped: the last
// annotation, at rotation 0, under the stamp point. Every gesture goes to the canvas as the
// window system would deliver it, in the canvas's own coordinates, and every assertion reads
// the model right after the handler returned.
struct BadgeStage {
    Run &run;
    EditorModel &model;
    ImageEditingView &canvas;
    QPointF stampPoint;
    Uuid badgeID;
    size_t count = 0; // annotations before the first click

    size_t annotationCount() const { return model.document().annotations.size(); }
    // The last annotation's rotation, none when the document is empty.
    std::optional<double> rotation() const
    {
        const auto &marks = model.document().annotations;
        return marks.empty() ? std::nullopt : std::optional<double>(marks.back().resolvedBadgeRotation());
    }
    void select() { model.setSelectedAnnotationID(badgeID); }

    void press(QPointF p, Qt::KeyboardModifiers m = {}) { mouse(QEvent::MouseButtonPress, p, m); }
    void move(QPointF p, Qt::KeyboardModifiers m = {}) { mouse(QEvent::MouseMove, p, m); }
    void release(QPointF p, Qt::KeyboardModifiers m = {}) { mouse(QEvent::MouseButtonRelease, p, m); }
    void click(QPointF p)
    {
        press(p);
        release(p);
    }
    void mouse(QEvent::Type type, QPointF p, Qt::KeyboardModifiers m) { SmokeDriver::sendMouse(&canvas, type, p, m); }
    void key(QEvent::Type type, int key, const QString &text) { SmokeDriver::sendKey(&canvas, type, key, text); }

    QCoro::Task<> snapshot(const char *fileName)
    {
        co_await SmokeDriver::settle();
        SmokeDriver::snapshot(run.editor ? run.editor->window() : nullptr, run.output, QString::fromLatin1(fileName));
    }
};

// The sample's editor, its canvas and the stamp point as the drawing checks hand them on.
BadgeStage openStage(Run &run)
{
    run.require(run.editor && run.editor->window() && run.canvas, "Native editing canvas is missing");
    return BadgeStage{run, run.editor->model(), *run.canvas, run.stampPoint, {}};
}

void clickSelectsExistingBadge(BadgeStage &s)
{
    const auto &marks = s.model.document().annotations;
    s.run.require(!marks.empty() && marks.back().tool == MarkupTool::badge, "Mouse rotation badge missing");
    s.badgeID = marks.back().id;
    s.count = marks.size();
    s.click(s.stampPoint);
    s.run.require(s.model.selectedAnnotationID() == s.badgeID && s.annotationCount() == s.count,
                  "Clicking an existing badge added a duplicate instead of selecting it");
    s.run.pass("badge_click_selects_existing_without_duplicate");
}

QCoro::Task<> handleDragIsOneUndoStep(BadgeStage &s, const BadgeRotationGeometry &ring)
{
    s.press(ring.handleCenter(0));
    s.move(ring.handleCenter(225));
    s.run.require(s.model.currentBadgeRotation() == 225, "Mouse rotation did not preview live");
    s.move(ring.handleCenter(270));
    s.release(ring.handleCenter(270));
    s.run.require(s.model.currentBadgeRotation() == 270 && s.annotationCount() == s.count,
                  "Handle drag did not rotate the existing badge");
    co_await s.snapshot("14-badge-mouse-rotation.png");
    s.model.undo();
    s.run.require(s.rotation() == 0.0, "Mouse rotation was not one undo step");
    s.model.redo();
    s.run.require(s.rotation() == 270.0, "Mouse rotation redo failed");
    s.run.pass("native_badge_rotation_drag_undo_redo");
}

QCoro::Task<> shiftDragSnaps(BadgeStage &s, const BadgeRotationGeometry &ring)
{
    s.select();
    s.press(ring.handleCenter(270));
    s.move(ring.handleCenter(308), Qt::ShiftModifier);
    s.release(ring.handleCenter(308), Qt::ShiftModifier);
    s.run.require(s.model.currentBadgeRotation() == 315, "Shift drag did not snap to 15-degree increments");
    co_await s.snapshot("15-badge-shift-rotation.png");
    s.model.undo();
    s.run.require(s.rotation() == 270.0, "Shift rotation undo failed");
    s.run.pass("native_badge_rotation_shift_snap");
}

void escapeRestoresWithoutHistoryEntry(BadgeStage &s, const BadgeRotationGeometry &ring)
{
    s.select();
    const EditDocument before = s.model.document();
    const double nextBadgeRotation = s.model.badgeRotation();
    s.press(ring.handleCenter(270));
    s.move(ring.handleCenter(15));
    s.run.require(s.model.currentBadgeRotation() == 15, "Cancellation test did not change the live angle");
    s.key(QEvent::KeyPress, Qt::Key_Escape, QStringLiteral("\x1b"));
    s.release(ring.handleCenter(15));
    s.run.require(s.model.document() == before && s.model.badgeRotation() == nextBadgeRotation,
                  "Escape did not restore the document and next-badge angle");
    // This undo takes back the handle drag; a step left by the cancelled gesture would show.
    s.model.undo();
    s.run.require(s.rotation() == 0.0, "Cancelled rotation added an undo entry");
    s.run.pass("native_badge_rotation_escape_restores_without_history_entry");
}

void ringClickSetsAngle(BadgeStage &s, const BadgeRotationGeometry &ring)
{
    s.select();
    s.click(ring.handleCenter(135)); // on the ring, away from the handle at 0
    s.run.require(s.model.currentBadgeRotation() == 135, "Clicking the ring did not set its angle");
    s.model.undo();
    s.run.require(s.rotation() == 0.0, "Ring click undo failed");
    s.run.pass("native_badge_rotation_ring_click");
}

QCoro::Task<> rotationAtChangedZoom(BadgeStage &s)
{
    s.select();
    const double zoom = s.model.zoom();
    s.model.setZoom(1.6);
    co_await SmokeDriver::settle();
    const auto ring = s.canvas.badgeRotationGeometry();
    s.run.require(ring.has_value(), "Zoomed rotation ring missing");
    s.press(ring->handleCenter(0));
    s.move(ring->handleCenter(225));
    s.release(ring->handleCenter(225));
    s.run.require(s.model.currentBadgeRotation() == 225, "Rotation failed after zooming");
    s.model.undo();
    s.model.setZoom(zoom);
    co_await SmokeDriver::settle();
    s.run.pass("native_badge_rotation_at_changed_zoom");
}

QCoro::Task<> spaceDragPans(BadgeStage &s)
{
    s.select();
    const auto before = s.canvas.badgeRotationGeometry();
    s.run.require(before.has_value(), "Rotation ring missing before panning");
    const QPointF handle = before->handleCenter(0);
    const QPointF delta(25, 15);
    s.key(QEvent::KeyPress, Qt::Key_Space, QStringLiteral(" "));
    s.press(handle);
    s.move(handle + delta);
    s.release(handle + delta);
    s.key(QEvent::KeyRelease, Qt::Key_Space, QStringLiteral(" "));
    const auto after = s.canvas.badgeRotationGeometry();
    s.run.require(after.has_value(), "Panning lost badge selection");
    const QPointF moved = after->center() - before->center() - delta;
    s.run.require(std::abs(moved.x()) < 0.01 && std::abs(moved.y()) < 0.01 && s.model.currentBadgeRotation() == 0 &&
                      s.annotationCount() == s.count,
                  "Space-drag rotated a badge instead of panning");
    s.model.setZoom(1.0);
    s.model.resetCanvas();
    co_await SmokeDriver::settle();
    s.run.pass("space_pan_keeps_badge_rotation_unchanged");
}

} // namespace

QCoro::Task<> badgeMouseRotationChecks(Run &run)
{
    BadgeStage s = openStage(run);
    clickSelectsExistingBadge(s);
    // One ring, read once the click has selected the badge, serves the handle points of the
    // drag, Shift, Escape and ring checks; the zoom and pan checks read it afresh.
    const auto ring = s.canvas.badgeRotationGeometry();
    run.require(ring.has_value(), "Badge rotation ring missing");
    co_await handleDragIsOneUndoStep(s, *ring);
    co_await shiftDragSnaps(s, *ring);
    escapeRestoresWithoutHistoryEntry(s, *ring);
    ringClickSetsAngle(s, *ring);
    co_await rotationAtChangedZoom(s);
    co_await spaceDragPans(s);
}

} // namespace tarn::UISmoke
