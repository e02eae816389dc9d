// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/smoke/UISmoke.h"

#include <optional>

#include <QDir>
#include <QJsonArray>
#include <QJsonObject>

#include "app/devmodes/SmokeDriver.h"
#include "app/model/AppModel.h"
#include "app/smoke/UISmokeChecks.h"

namespace tarn::UISmoke {

namespace {

using SmokeDriver::failure;

bool isCheckFailure(const AppError &error) { return error.domain() == failure(QString()).domain(); }

QJsonObject report(const Run &run)
{
    return QJsonObject{
        {QStringLiteral("status"), QStringLiteral("passed")},
        {QStringLiteral("checks"), QJsonArray::fromStringList(run.checks)},
        {QStringLiteral("checkCount"), qint64(run.checks.size())},
        {QStringLiteral("mechanism"),
         QStringLiteral("Real Qt window snapshots rendered in process, model-driven UI actions, and synthetic mouse "
                        "events delivered to the native annotation canvas. Not an external accessibility test.")},
        {QStringLiteral("screenRecordingPermissionAvailable"), run.app.screenPermission()},
        {QStringLiteral("captureAndRecordingTested"), false},
        {QStringLiteral("limitations"),
         QStringLiteral("This smoke test deliberately does not grant screen-recording permissions, capture another "
                        "app, record audio, or alter the user's clipboard.")},
        {QStringLiteral("exportPixels"),
         QString::number(run.exportPixels.width()) + QLatin1Char('x') + QString::number(run.exportPixels.height())},
        {QStringLiteral("originalSHA256"), run.originalDigest},
        {QStringLiteral("sampleLibrary"), run.app.repository().root()},
    };
}

// The check a failure belongs to: the first one not passed yet.
QString runningCheck(const QStringList &passed)
{
    const qsizetype next = passed.size();
    return next < checkNames().size() && checkNames().mid(0, next) == passed ? checkNames().at(next)
                                                                             : QStringLiteral("unknown check");
}

} // namespace

const QStringList &checkNames()
{
    static const QStringList names = {
        QStringLiteral("library_load_with_synthetic_samples"),
        QStringLiteral("library_ocr_search"),
        QStringLiteral("typed_search_filter"),
        QStringLiteral("favorite_filter"),
        QStringLiteral("native_canvas_mouse_drag_adds_annotation"),
        QStringLiteral("editor_undo_redo"),
        QStringLiteral("badge_rotation_live_undo_redo"),
        QStringLiteral("badge_full_turn_preset_undo_redo"),
        QStringLiteral("badge_click_selects_existing_without_duplicate"),
        QStringLiteral("native_badge_rotation_drag_undo_redo"),
        QStringLiteral("native_badge_rotation_shift_snap"),
        QStringLiteral("native_badge_rotation_escape_restores_without_history_entry"),
        QStringLiteral("native_badge_rotation_ring_click"),
        QStringLiteral("native_badge_rotation_at_changed_zoom"),
        QStringLiteral("space_pan_keeps_badge_rotation_unchanged"),
        QStringLiteral("badge_click_stamp_and_undo"),
        QStringLiteral("bulk_trash_protects_unsaved_edits"),
        QStringLiteral("privacy_suggestions_apply_blur"),
        QStringLiteral("masked_ocr_excluded_from_copy_text"),
        QStringLiteral("save_edits_preserves_original_sha256"),
        QStringLiteral("flattened_png_export_decodes_without_exif_gps"),
        QStringLiteral("duplicate_render_actions_are_serialized"),
        QStringLiteral("busy_editor_cannot_close"),
        QStringLiteral("flattened_pin_opens_and_closes"),
        QStringLiteral("reopen_restores_edit_document"),
        QStringLiteral("trash_and_restore_preserve_original"),
        QStringLiteral("select_all_and_individual_selection"),
        QStringLiteral("filtered_select_all_trashes_only_visible_items"),
        QStringLiteral("bulk_trash_preserves_original_files"),
        QStringLiteral("bulk_restore_and_selection_reset"),
        QStringLiteral("settings_permission_recording_sheets_render"),
        QStringLiteral("no_screen_or_microphone_permission_requested_by_smoke_test"),
        QStringLiteral("five_badge_styles_png_export"),
        QStringLiteral("badge_rotation_png_export"),
    };
    return names;
}

QString missingCheck(const QStringList &passed, qsizetype count)
{
    const QStringList expected = checkNames().mid(0, count);
    for (qsizetype i = 0; i < expected.size(); ++i) {
        if (i >= passed.size())
            return QStringLiteral("Check did not run: ") + expected[i];
        if (passed[i] != expected[i])
            return QStringLiteral("Check did not run in order: ") + expected[i] + QStringLiteral(" (ran ") + passed[i] +
                QLatin1Char(')');
    }
    if (passed.size() > expected.size())
        return QStringLiteral("Check ran out of order: ") + passed[expected.size()];
    return {};
}

QCoro::Task<> run(AppModel &app, QString output)
{
    if (!QDir().mkpath(output))
        throw failure(QStringLiteral("Could not create the output folder ") + output);
    Run state(app, output);
    // Each group with the number of checks it passes; the next group starts only from the state
    // the complete one leaves, and the report only follows all of them.
    using Group = QCoro::Task<> (*)(Run &);
    static constexpr std::pair<Group, int> groups[] = {
        {libraryChecks, 4},        {editorDrawingChecks, 4}, {badgeMouseRotationChecks, 7},  {editorPrivacyChecks, 10},
        {trashAndRestoreCheck, 1}, {bulkSelectionChecks, 4}, {sheetAndBadgeExportChecks, 4},
    };
    qsizetype expected = 0;
    for (const auto &[group, count] : groups) {
        std::optional<AppError> failed;
        try {
            co_await group(state);
        } catch (const AppError &error) {
            if (!isCheckFailure(error))
                throw;
            failed = error;
        }
        if (failed)
            throw failure(failed->message() + QStringLiteral(" [") + runningCheck(state.checks) + QLatin1Char(']'));
        expected += count;
        if (const QString missing = missingCheck(state.checks, expected); !missing.isEmpty())
            throw failure(missing);
    }
    if (const QString missing = missingCheck(state.checks, checkNames().size()); !missing.isEmpty())
        throw failure(missing);
    SmokeDriver::writeReport(report(state), output);
}

} // namespace tarn::UISmoke
