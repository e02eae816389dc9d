// SPDX-License-Identifier: GPL-3.0-or-later
// The UI smoke run as the real program runs it on the test desktop: its exit status, its report
// and every picture it leaves.
#include <algorithm>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "app/model/DemoContent.h"
#include "core/text/TextRecognition.h"

namespace tarn {
namespace {

QStringList names(std::initializer_list<const char *> list)
{
    QStringList out;
    for (const char *name : list)
        out << QString::fromLatin1(name);
    return out;
}

// Every check of a complete run, in the order the run takes them.
const QStringList allChecks = names({"library_load_with_synthetic_samples",
                                     "library_ocr_search",
                                     "typed_search_filter",
                                     "favorite_filter",
                                     "native_canvas_mouse_drag_adds_annotation",
                                     "editor_undo_redo",
                                     "badge_rotation_live_undo_redo",
                                     "badge_full_turn_preset_undo_redo",
                                     "badge_click_selects_existing_without_duplicate",
                                     "native_badge_rotation_drag_undo_redo",
                                     "native_badge_rotation_shift_snap",
                                     "native_badge_rotation_escape_restores_without_history_entry",
                                     "native_badge_rotation_ring_click",
                                     "native_badge_rotation_at_changed_zoom",
                                     "space_pan_keeps_badge_rotation_unchanged",
                                     "badge_click_stamp_and_undo",
                                     "bulk_trash_protects_unsaved_edits",
                                     "privacy_suggestions_apply_blur",
                                     "masked_ocr_excluded_from_copy_text",
                                     "save_edits_preserves_original_sha256",
                                     "flattened_png_export_decodes_without_exif_gps",
                                     "duplicate_render_actions_are_serialized",
                                     "busy_editor_cannot_close",
                                     "flattened_pin_opens_and_closes",
                                     "reopen_restores_edit_document",
                                     "trash_and_restore_preserve_original",
                                     "select_all_and_individual_selection",
                                     "filtered_select_all_trashes_only_visible_items",
                                     "bulk_trash_preserves_original_files",
                                     "bulk_restore_and_selection_reset",
                                     "settings_permission_recording_sheets_render",
                                     "no_screen_or_microphone_permission_requested_by_smoke_test",
                                     "five_badge_styles_png_export",
                                     "badge_rotation_png_export"});

TEST(ExclusiveUISmoke, RunPassesItsChecksInOrderAndLeavesDecodablePicturesAndItsReport)
{
    QTemporaryDir dir;
    const QString output = dir.filePath(QStringLiteral("smoke"));
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(TARN_APP_BINARY), {QStringLiteral("--ui-smoke"), output});
    ASSERT_TRUE(process.waitForFinished(180000));
    const QByteArray err = process.readAllStandardError();
    ASSERT_EQ(process.exitStatus(), QProcess::NormalExit);
    ASSERT_EQ(process.exitCode(), 0) << err.toStdString();

    QFile file(output + QStringLiteral("/ui-smoke.json"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray json = file.readAll();
    EXPECT_EQ(process.readAllStandardOutput(), json + "\n");
    const QJsonObject report = QJsonDocument::fromJson(json).object();
    EXPECT_EQ(report.keys(),
              names({"captureAndRecordingTested", "checkCount", "checks", "exportPixels", "limitations", "mechanism",
                     "originalSHA256", "sampleLibrary", "screenRecordingPermissionAvailable", "status"}));
    EXPECT_EQ(report[QLatin1String("status")].toString(), QStringLiteral("passed"));
    EXPECT_FALSE(report[QLatin1String("captureAndRecordingTested")].toBool(true));
    const QStringList checks = report[QLatin1String("checks")].toVariant().toStringList();
    EXPECT_EQ(report[QLatin1String("checkCount")].toInteger(), checks.size());
    EXPECT_EQ(checks, allChecks);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d+x\\d+$"))
                    .match(report[QLatin1String("exportPixels")].toString())
                    .hasMatch());
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^[0-9a-f]{64}$"))
                    .match(report[QLatin1String("originalSHA256")].toString())
                    .hasMatch());
    EXPECT_EQ(report[QLatin1String("sampleLibrary")].toString(), output + QStringLiteral("/library"));

    const QStringList pictures = QDir(output).entryList({QStringLiteral("*.png")}, QDir::Files);
    EXPECT_EQ(pictures.size(), 18) << pictures.join(QLatin1Char(' ')).toStdString();
    for (const QString &name : pictures) {
        const QImage picture(QDir(output).filePath(name));
        EXPECT_FALSE(picture.isNull()) << name.toStdString();
        const bool libraryPicture = name == QLatin1String("01-library.png") ||
            QRegularExpression(QStringLiteral("^(08|09|10|11)-")).match(name).hasMatch();
        if (libraryPicture) {
            EXPECT_GE(picture.width(), 1080) << name.toStdString();
            EXPECT_GE(picture.height(), 730) << name.toStdString();
        }
    }

    // Read as a person would read the files: every sensitive line that the privacy sample shows
    // is gone from its export, whose other lines are still there.
    TextRecognition recognition;
    const auto readText = [&](const QImage &image) {
        return QString::fromStdString(recognition.recognize(image).result().text());
    };
    const std::vector<DemoSample> samples = DemoContent::makeSamples();
    const auto privacy = std::find_if(samples.begin(), samples.end(), [](const DemoSample &sample) {
        return sample.title.startsWith(QLatin1String("Privacy"));
    });
    ASSERT_NE(privacy, samples.end());
    const QString shown = readText(privacy->image);
    const QString exported = readText(QImage(QDir(output).filePath(QStringLiteral("privacy-export.png"))));
    for (const QString &secret : {DemoContent::privacyEmail, DemoContent::privacyPhone}) {
        EXPECT_TRUE(shown.contains(secret)) << shown.toStdString();
        EXPECT_FALSE(exported.contains(secret)) << exported.toStdString();
    }
    EXPECT_GE(exported.count(QLatin1Char('\n')), 3) << exported.toStdString();
}

} // namespace
} // namespace tarn
