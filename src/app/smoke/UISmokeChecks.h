// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointF>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QStringList>

#include <qcoro/qcorotask.h>

#include "core/model/CaptureItem.h"

class QWidget;

namespace tarn {
class AppModel;
class EditorController;
class EditorWindowController;
class ImageEditingView;
} // namespace tarn

namespace tarn::UISmoke {

// What the check groups share: the application, the output folder, the names passed so far and
// the privacy sample with its original's digest. Each group leaves the application as the next
// one expects it (the order is the one in UISmoke::run).
struct Run {
    Run(AppModel &app, QString output) : app(app), output(std::move(output)) { }

    AppModel &app;
    QString output;
    QStringList checks;
    CaptureItem sample;
    QString originalDigest;

    // The privacy sample's open editor, its canvas and the point where the heart badge was
    // stamped on it; the editor groups hand them on, and the trash group closes that editor.
    QPointer<EditorWindowController> editor;
    QPointer<ImageEditingView> canvas;
    QPointF stampPoint;
    // Annotations in the document right after the arrow was drawn.
    qsizetype arrowCount = 0;
    // Width and height of the exported file of the saved sample, for the report.
    QSize exportPixels;

    // Ends the run with `message` unless `condition` holds.
    void require(bool condition, const char *message) const;
    void pass(const char *name);
};

// The editor of `id` once it is open: up to 60 looks 100 ms apart and one last look; null when
// it never opened (the caller names the failure).
QCoro::Task<EditorController *> pollEditor(const Run &run, const Uuid &id);

// The SHA-256 of the privacy sample's original file as it is now, in hexadecimal.
QString digestOfOriginal(const Run &run);

// The check groups in the order the run takes them. Each returns when all its checks have
// passed and throws at the first that fails.

// Library load, text search, type filter, favourites; finds the privacy sample.
QCoro::Task<> libraryChecks(Run &run);
// Opens the privacy sample's editor: arrow drag, undo/redo, badge stamp and rotation to 360.
QCoro::Task<> editorDrawingChecks(Run &run);
// Rotating the badge with the mouse on its ring: drag, Shift snap, Escape, click, zoom, Space pan.
QCoro::Task<> badgeMouseRotationChecks(Run &run);
// Badge undo, unsaved-edit protection, privacy blur, save, export, pins, reopening.
QCoro::Task<> editorPrivacyChecks(Run &run);
// Trash and restore of the saved sample keep its original.
QCoro::Task<> trashAndRestoreCheck(Run &run);
// Select all, filtered selection, bulk trash and restore.
QCoro::Task<> bulkSelectionChecks(Run &run);
// The settings, permission and recording sheets, no permission asked, the badge exports.
QCoro::Task<> sheetAndBadgeExportChecks(Run &run);

} // namespace tarn::UISmoke
