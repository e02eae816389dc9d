// SPDX-License-Identifier: GPL-3.0-or-later
// The editor of the privacy sample driven as a user would: an arrow drawn with the mouse on
// the real canvas, undo and redo, a heart badge stamped and turned, and later the unsaved-edit
// guard, the privacy blur, saving, the flattened export, the render guard and reopening.
#include <algorithm>
#include <functional>
#include <optional>

#include <QDir>
#include <QFile>
#include <QtEndian>

#include "app/devmodes/SmokeDriver.h"
#include "app/editor/EditorModel.h"
#include "app/editor/EditorWindowController.h"
#include "app/editor/ImageEditingView.h"
#include "app/floating/PinView.h"
#include "app/flows/HeldClipboard.h"
#include "app/model/AppModel.h"
#include "app/model/DemoContent.h"
#include "app/smoke/FlattenedComparison.h"
#include "app/smoke/UISmokeChecks.h"
#include "core/image/ImageCodec.h"

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

QWidget *editorWindow(const Run &run) { return run.editor ? run.editor->window() : nullptr; }

// The editor can only go away under the run by a fault elsewhere; a check that goes on with
// its model would then read freed memory.
void requireEditor(const Run &run) { run.require(run.editor, "Editor window closed during the smoke run"); }

// The library's current copy of the privacy sample, if it still holds one.
std::optional<CaptureItem> currentSample(const Run &run)
{
    const auto &items = run.app.items();
    const auto found =
        std::find_if(items.begin(), items.end(), [&](const CaptureItem &item) { return item.id == run.sample.id; });
    return found == items.end() ? std::nullopt : std::optional<CaptureItem>(*found);
}

// A bulk trash of the sample while its editor holds unsaved edits is refused with an error,
// and the sample is still there, not in the trash. A missing sample is no protection.
void unsavedEditsGuardCheck(Run &run)
{
    AppModel &app = run.app;
    app.setSelection(run.sample.id, true);
    app.trashSelected();
    const std::optional<CaptureItem> sample = currentSample(run);
    run.require(app.errorMessage().has_value() && sample && !sample->trashedAt,
                "Bulk trash did not protect an unsaved editor");
    app.setErrorMessage(std::nullopt);
    app.clearSelection();
    run.pass("bulk_trash_protects_unsaved_edits");
}

// The chunk types of a PNG file in order; empty when the bytes are no PNG or a chunk runs past
// the end.
QStringList pngChunkTypes(const QByteArray &png)
{
    static const QByteArray signature("\x89PNG\r\n\x1a\n", 8);
    if (!png.startsWith(signature))
        return {};
    QStringList types;
    for (qsizetype at = signature.size(); at + 12 <= png.size();) {
        const quint32 length = qFromBigEndian<quint32>(png.constData() + at);
        if (length > quint64(png.size() - at - 12))
            return {};
        types << QString::fromLatin1(png.mid(at + 4, 4));
        if (types.back() == QLatin1String("IEND"))
            return types;
        at += qsizetype(length) + 12;
    }
    return {};
}

// The capture's original as the library holds it, decoded.
QImage originalImage(const Run &run)
{
    QFile file(run.app.repository().originalURL(run.sample));
    if (!file.open(QIODevice::ReadOnly))
        throw SmokeDriver::failure(QStringLiteral("Could not read the original file ") + file.fileName());
    return ImageCodec::read(file.readAll());
}

// Ends the run unless `picture` is the saved sample flattened with `edits`; `what` names the
// picture in the message.
void requireFlattened(const Run &run, const QString &what, const QImage &picture, const EditDocument &edits)
{
    const QString problem = flattenedMismatch(picture, originalImage(run), edits);
    if (!problem.isEmpty())
        throw SmokeDriver::failure(what + QLatin1Char(' ') + problem);
}

// Exports the saved sample from the library as a user does, answering the save panel with
// `path`, and returns the file's bytes once it is written.
QCoro::Task<QByteArray> exportThroughPanel(Run &run, const CaptureItem &saved, const QString &path)
{
    AppModel &app = run.app;
    QFile::remove(path);
    app.exportItem(saved);
    co_await SmokeDriver::answerSavePanel(path);
    const std::function<bool()> written = [&app, path] {
        return app.errorMessage().has_value() || (QFile::exists(path) && app.exportsInFlight() == 0);
    };
    co_await SmokeDriver::waitUntil(written, QStringLiteral("the export file to be written"));
    if (app.errorMessage())
        throw SmokeDriver::failure(QStringLiteral("Export failed: ") + *app.errorMessage());
    QFile file(path);
    run.require(file.open(QIODevice::ReadOnly), "Export does not decode");
    co_return file.readAll();
}

// Copies the saved sample from the library and returns the PNG a paste would receive; the smoke
// run copies into a clipboard of its own.
QCoro::Task<QByteArray> copiedPng(Run &run, const CaptureItem &saved)
{
    auto *clipboard = dynamic_cast<HeldClipboard *>(&run.app.clipboard());
    run.require(clipboard, "The smoke run would copy to the desktop's clipboard");
    const int before = clipboard->writes();
    run.app.copyItem(saved);
    const std::function<bool()> copied = [&run, clipboard, before] {
        return clipboard->writes() > before || run.app.errorMessage().has_value();
    };
    co_await SmokeDriver::waitUntil(copied, QStringLiteral("the copy to reach the clipboard"));
    if (run.app.errorMessage())
        throw SmokeDriver::failure(QStringLiteral("Copy failed: ") + *run.app.errorMessage());
    co_return clipboard->png();
}

// The saved sample exported through the library's save panel into the output folder: the file
// decodes, carries no metadata chunk (EXIF, and none of the text chunks either) and shows the
// saved edits, the blurs over the sensitive lines included. The copy must show the same.
QCoro::Task<> flattenedExportCheck(Run &run)
{
    const std::optional<CaptureItem> saved = currentSample(run);
    run.require(saved.has_value(), "Saved item missing");
    const QByteArray png =
        co_await exportThroughPanel(run, *saved, QDir(run.output).filePath(QStringLiteral("privacy-export.png")));
    const QStringList chunks = pngChunkTypes(png);
    const QImage exported = QImage::fromData(png, "PNG");
    run.require(!exported.isNull() && !chunks.isEmpty(), "Export does not decode");
    for (const char *metadata : {"eXIf", "tEXt", "zTXt", "iTXt"})
        run.require(!chunks.contains(QLatin1String(metadata)), "Export unexpectedly contains EXIF or GPS");
    requireFlattened(run, QStringLiteral("Exported image"), exported, saved->edits);
    run.exportPixels = exported.size();

    const QImage copied = QImage::fromData(co_await copiedPng(run, *saved), "PNG");
    run.require(!copied.isNull(), "Copied image does not decode");
    requireFlattened(run, QStringLiteral("Copied image"), copied, saved->edits);
    run.pass("flattened_png_export_decodes_without_exif_gps");
}

// The image shown by the one visible pinned window.
QImage pinnedImage(const Run &run)
{
    const std::vector<QWidget *> pins = SmokeDriver::visiblePins();
    run.require(pins.size() == 1, "Duplicate render actions opened multiple pins");
    const auto *shown = pins.front()->findChild<FittedImage *>();
    run.require(shown, "Pinned window shows no image");
    return shown->image();
}

QCoro::Task<> waitForPinsClosed(Run &run)
{
    run.app.floating().closePins();
    const std::function<bool()> closed = [] { return SmokeDriver::visiblePins().empty(); };
    co_await SmokeDriver::waitUntil(closed, QStringLiteral("the pinned image window to close"));
}

// Two pin requests in one turn: the first takes the render guard, the second is dropped, the
// window may not close while the render runs, and exactly one pin opens. That pin, and one
// pinned from the library, show the saved edits and close when asked.
QCoro::Task<> renderGuardAndPinChecks(Run &run)
{
    EditorModel &model = run.editor->model();
    model.pin();
    model.pin();
    run.require(model.isExporting(), "Render action did not acquire its work guard");
    run.require(!run.editor->windowShouldClose(), "Busy editor allowed closing before rendering finished");
    const std::function<bool()> rendered = [&run] { return !run.editor || !run.editor->model().isExporting(); };
    co_await SmokeDriver::waitUntil(rendered, QStringLiteral("the editor's pin render to finish"));
    requireEditor(run);
    const QImage pinned = pinnedImage(run);
    SmokeDriver::snapshot(SmokeDriver::visiblePins().front(), run.output, QStringLiteral("07-pinned-image.png"));
    run.pass("duplicate_render_actions_are_serialized");
    run.pass("busy_editor_cannot_close");

    requireFlattened(run, QStringLiteral("Pinned image"), pinned, model.document());
    co_await waitForPinsClosed(run);
    const std::optional<CaptureItem> saved = currentSample(run);
    run.require(saved.has_value(), "Saved item missing");
    run.app.pin(*saved);
    const std::function<bool()> pinnedAgain = [] { return !SmokeDriver::visiblePins().empty(); };
    co_await SmokeDriver::waitUntil(pinnedAgain, QStringLiteral("the library's pin to open"));
    requireFlattened(run, QStringLiteral("Image pinned from the library"), pinnedImage(run), saved->edits);
    co_await waitForPinsClosed(run);
    run.pass("flattened_pin_opens_and_closes");
}

// Closing the editor and opening the saved sample again brings back the saved edit document;
// the new editor stays open for the trash check.
QCoro::Task<> reopenCheck(Run &run)
{
    run.editor->close();
    run.editor = nullptr;
    run.canvas = nullptr;
    run.app.showLibrary();
    const std::optional<CaptureItem> saved = currentSample(run);
    run.require(saved.has_value(), "Saved item missing");
    run.app.openItem(*saved);
    run.editor = qobject_cast<EditorWindowController *>(co_await pollEditor(run, run.sample.id));
    run.require(run.editor, "Editor did not reopen");
    run.require(run.editor->model().document() == saved->edits, "Saved edit document was not restored");
    run.pass("reopen_restores_edit_document");
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
    SmokeDriver::snapshot(editorWindow(run), run.output, QStringLiteral("12-badge-rotation-270.png"));

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
    SmokeDriver::snapshot(editorWindow(run), run.output, QStringLiteral("13-badge-rotation-360.png"));
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

QCoro::Task<> editorPrivacyChecks(Run &run)
{
    requireEditor(run);
    EditorModel &model = run.editor->model();

    model.undo();
    run.require(annotationCount(model) == run.arrowCount, "Badge undo failed");
    model.selectTool(MarkupTool::arrow);
    run.pass("badge_click_stamp_and_undo");

    unsavedEditsGuardCheck(run);

    // A frame as one undo step, then the privacy blur over every sensitive line.
    EditDocument framed = model.document();
    framed.backdrop = Backdrop::aurora;
    framed.padding = 64;
    framed.cornerRadius = 20;
    model.commit(std::move(framed));
    co_await SmokeDriver::settle();
    SmokeDriver::snapshot(editorWindow(run), run.output, QStringLiteral("02-editor.png"));
    requireEditor(run);

    model.blurAll();
    run.require(model.blurCount() > 2, "Sensitive sample regions were not blurred");
    const QString visible = model.visibleText();
    run.require(!visible.contains(DemoContent::privacyEmail) && !visible.contains(QLatin1String("010-1234")),
                "Masked OCR text is still exposed");
    run.pass("privacy_suggestions_apply_blur");
    run.pass("masked_ocr_excluded_from_copy_text");

    model.setTagsText(QStringLiteral("smoke, privacy"));
    co_await model.save();
    requireEditor(run);
    run.require(!model.isDirty(), "Editor remains dirty after save");
    run.require(digestOfOriginal(run) == run.originalDigest, "Editing changed the original file");
    run.pass("save_edits_preserves_original_sha256");

    co_await flattenedExportCheck(run);
    requireEditor(run);
    co_await SmokeDriver::settle();
    SmokeDriver::snapshot(editorWindow(run), run.output, QStringLiteral("03-redacted-editor.png"));

    co_await renderGuardAndPinChecks(run);
    co_await reopenCheck(run);
}

} // namespace tarn::UISmoke
