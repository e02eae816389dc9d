// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <qcoro/qcorotask.h>

#include "core/model/CaptureItem.h"

class QWidget;

namespace tarn {
class AppModel;
class EditorController;
} // namespace tarn

namespace tarn::UISmoke {

// What the check groups share: the application, the output folder, the names passed so far and
// the privacy sample with its original's digest. Each group leaves the application as the next
// one expects it (the order is the one in UISmoke::run).
struct Run {
    AppModel &app;
    QString output;
    QStringList checks;
    CaptureItem sample;
    QString originalDigest;

    // Ends the run with `message` unless `condition` holds.
    void require(bool condition, const char *message) const;
    void pass(const char *name);
};

// The editor of `id` once it is open: up to 60 looks 100 ms apart and one last look; null when
// it never opened (the caller names the failure).
QCoro::Task<EditorController *> pollEditor(const Run &run, const Uuid &id);

// The check groups in the order the run takes them. Each returns when its checks have passed
// (or, while a group is being built, after the ones it has).

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
