// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <optional>
#include <set>

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QLabel>

#include "app/devmodes/SmokeDriver.h"
#include "app/editor/EditorController.h"
#include "app/model/AppModel.h"
#include "app/model/DemoContent.h"
#include "app/settings/SheetDialog.h"
#include "app/smoke/BadgeColours.h"
#include "app/smoke/UISmokeChecks.h"
#include "core/base/Failure.h"
#include "core/image/ImageCodec.h"
#include "core/library/LibraryIndex.h"
#include "core/library/LibraryPaths.h"
#include "core/render/BadgeRenderer.h"

namespace tarn::UISmoke {

namespace {

using SmokeDriver::settle;
using SmokeDriver::waitUntil;

constexpr double badgeExportQuality = 0.92;

// The item with `id` as the library lists it now; empty when it is not listed at all.
std::optional<CaptureItem> listed(const AppModel &app, const Uuid &id)
{
    const auto found =
        std::find_if(app.items().begin(), app.items().end(), [&](const CaptureItem &item) { return item.id == id; });
    if (found == app.items().end())
        return std::nullopt;
    return *found;
}

bool isTrashed(const AppModel &app, const Uuid &id)
{
    const std::optional<CaptureItem> item = listed(app, id);
    return item && item->trashedAt.has_value();
}

// The items as "library.json" on disk lists them now: what the next start of the program reads.
std::vector<CaptureItem> storedItems(const AppModel &app)
{
    const QString path = LibraryPaths::child(app.repository().root(), LibraryPaths::indexName);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw SmokeDriver::failure(QStringLiteral("Could not read ") + path);
    try {
        return LibraryIndex::decode(file.readAll(), path);
    } catch (const Failure &error) {
        throw SmokeDriver::failure(QStringLiteral("Could not decode ") + path + QStringLiteral(": ") +
                                   error.description());
    }
}

// Whether "library.json" lists every item of `ids` in the trash (`trashed`) or out of it.
bool storedAs(const AppModel &app, const std::set<Uuid> &ids, bool trashed)
{
    std::set<Uuid> found;
    for (const CaptureItem &item : storedItems(app)) {
        if (ids.count(item.id) && item.trashedAt.has_value() == trashed)
            found.insert(item.id);
    }
    return found == ids;
}

// Waits until the item with `id` is in the trash (`trashed`) or out of it, or until the library
// has finished its work without listing the item any more, and returns the item as then listed.
// A vanished item is the caller's failure, never a finished move.
QCoro::Task<std::optional<CaptureItem>> waitForTrashState(const AppModel &app, Uuid id, bool trashed)
{
    co_await waitUntil(
        [&app, id, trashed] {
            const std::optional<CaptureItem> item = listed(app, id);
            return item ? item->trashedAt.has_value() == trashed : !app.isBusy();
        },
        trashed ? QStringLiteral("the sample to be listed in the trash")
                : QStringLiteral("the sample to be listed out of the trash"));
    co_return listed(app, id);
}

std::set<Uuid> idsOf(const std::vector<CaptureItem> &items)
{
    std::set<Uuid> ids;
    for (const CaptureItem &item : items)
        ids.insert(item.id);
    return ids;
}

// The sheet shown over the library window: an open sheet dialog parented to that window.
QWidget *attachedSheet(QWidget *window)
{
    if (!window)
        return nullptr;
    for (SheetDialog *sheet : window->findChildren<SheetDialog *>(Qt::FindDirectChildrenOnly)) {
        if (sheet->isVisible())
            return sheet;
    }
    return nullptr;
}

void snapshotLibrary(const Run &run, const char *fileName)
{
    SmokeDriver::snapshot(run.app.mainWindow(), run.output, QString::fromLatin1(fileName));
}

// A sheet as the run shows it: its title and its main button, which the picture must show.
// The button's label may follow the model's state once the sheet is shown.
struct SheetShown {
    AppSheet sheet;
    const char *fileName;
    QString title;
    QString (*mainButton)(const AppModel &app);
};

QString permissionButton(const AppModel &app)
{
    return app.screenPermission() ? QStringLiteral("연결 완료") : QStringLiteral("화면 기록 권한 요청");
}

// The visible widget of type T under `root` whose text is `text`.
template <typename T> T *shownWithText(QWidget *root, const QString &text)
{
    for (T *widget : root->findChildren<T *>()) {
        if (widget->text() == text && widget->isVisibleTo(root))
            return widget;
    }
    return nullptr;
}

// Presents the sheet, lets it draw, photographs it as attached to the library window, finds
// its title and main button drawn in that picture, and closes it.
QCoro::Task<> photographSheet(const Run &run, SheetShown shown)
{
    run.app.present(shown.sheet);
    co_await settle();
    QWidget *sheet = attachedSheet(run.app.mainWindow());
    const QImage picture = SmokeDriver::snapshot(sheet, run.output, QString::fromLatin1(shown.fileName));
    if (!SmokeDriver::drawnIn(picture, sheet, shownWithText<QLabel>(sheet, shown.title)))
        throw SmokeDriver::failure(QStringLiteral("Sheet title is not shown: ") + shown.title);
    const QString label = shown.mainButton(run.app);
    QAbstractButton *button = shownWithText<QAbstractButton>(sheet, label);
    if (!SmokeDriver::drawnIn(picture, sheet, button) || !button->isEnabled())
        throw SmokeDriver::failure(QStringLiteral("Sheet button is not shown: ") + label);
    run.app.setSheet(std::nullopt);
}

// Writes the badge sheet as PNG, then reads the file back as a viewer would and finds every
// badge in it.
void exportBadgePreview(const Run &run, bool showRotations, const char *fileName)
{
    const QImage preview = BadgeRenderer::previewImage(showRotations);
    const QString path = QDir(run.output).filePath(QString::fromLatin1(fileName));
    SmokeDriver::writeAtomically(path, ImageCodec::encode(preview, ExportFormat::png, badgeExportQuality));
    const QImage written(path, "PNG");
    if (written.isNull())
        throw SmokeDriver::failure(QString::fromLatin1(fileName) + QStringLiteral(" does not decode"));
    if (const std::optional<BadgeStyle> missing = missingBadgeColour(written)) {
        throw SmokeDriver::failure(QString::fromLatin1(fileName) + QStringLiteral(" does not show the ") +
                                   QString::fromLatin1(caseName(*missing)) + QStringLiteral(" badge"));
    }
}

// What the bulk checks share: the items active at the start, in display order, and their ids.
struct BulkState {
    std::vector<CaptureItem> visible;
    std::set<Uuid> ids;
    int count() const { return int(ids.size()); }
};

QCoro::Task<> selectAllAndIndividualSelection(Run &run, const BulkState &bulk)
{
    AppModel &app = run.app;
    app.selectAllVisible();
    run.require(app.selectedItemIDs() == bulk.ids && app.allVisibleSelected(), "Select all missed visible items");
    // Deselecting the sample leaves every other item selected, not merely as many of them.
    app.setSelection(run.sample.id, false);
    std::set<Uuid> others = bulk.ids;
    others.erase(run.sample.id);
    run.require(app.selectedItemIDs() == others && others.size() + 1 == bulk.ids.size(),
                "Individual deselection failed");
    app.setSelection(run.sample.id, true);
    app.setGridView(false);
    co_await settle();
    snapshotLibrary(run, "08-selected-list.png");
    run.pass("select_all_and_individual_selection");
}

QCoro::Task<> filteredSelectAllTrashesOnlyVisibleItems(Run &run, const BulkState &bulk)
{
    AppModel &app = run.app;
    // Only the privacy sample's recognized text holds its e-mail address.
    app.setSearchText(DemoContent::privacyEmail);
    run.require(app.selectedItemIDs().empty(), "Changing search retained old selections");
    app.selectAllVisible();
    run.require(app.selectedItemIDs() == std::set<Uuid>{run.sample.id}, "Filtered select all included hidden items");
    app.trashSelected();
    const Uuid id = run.sample.id;
    co_await waitUntil([&app, id] { return !app.isBusy() && isTrashed(app, id); },
                       QStringLiteral("the filtered selection to be listed in the trash"));
    run.require(app.activeCount() == bulk.count() - 1, "Filtered trash changed other items");
    run.require(storedAs(app, {id}, true), "Filtered trash did not reach library.json");
    run.pass("filtered_select_all_trashes_only_visible_items");
}

QCoro::Task<> bulkTrashPreservesOriginalFiles(Run &run, const BulkState &bulk)
{
    AppModel &app = run.app;
    const int count = bulk.count();
    app.setSection(LibrarySection::trash);
    app.setSearchText(QString());
    app.selectAllVisible();
    app.restoreSelected();
    co_await waitUntil([&app, count] { return !app.isBusy() && app.activeCount() == count; },
                       QStringLiteral("the trash to be restored"));

    app.setSection(LibrarySection::all);
    app.setGridView(true);
    app.selectAllVisible();
    co_await settle();
    snapshotLibrary(run, "09-selected-grid.png");

    app.setSection(LibrarySection::images);
    run.require(app.selectedItemIDs().empty(), "Changing section retained old selections");
    app.selectAllVisible();
    app.clearSelection();
    run.require(app.selectedItemIDs().empty(), "Clear selection failed");

    // Every demo item is an image, so this empties the active library.
    app.selectAllVisible();
    app.trashSelected();
    co_await waitUntil([&app] { return !app.isBusy() && app.activeCount() == 0; },
                       QStringLiteral("every item to be listed in the trash"));
    run.require(app.selectedItemIDs().empty(), "Successful trash retained stale selections");
    run.require(storedAs(app, bulk.ids, true), "Bulk trash did not reach library.json");
    for (const CaptureItem &item : bulk.visible)
        run.require(QFile::exists(app.repository().originalURL(item)), "Bulk trash removed an original file");
    run.pass("bulk_trash_preserves_original_files");
}

QCoro::Task<> bulkRestoreAndSelectionReset(Run &run, const BulkState &bulk)
{
    AppModel &app = run.app;
    const int count = bulk.count();
    app.setSection(LibrarySection::trash);
    app.selectAllVisible();
    co_await settle();
    snapshotLibrary(run, "10-selected-trash.png");

    app.restoreSelected();
    co_await waitUntil([&app, count] { return !app.isBusy() && app.activeCount() == count; },
                       QStringLiteral("every item to be listed out of the trash"));
    run.require(app.selectedItemIDs().empty(), "Restoring retained stale selections");
    run.require(storedAs(app, bulk.ids, false), "Bulk restore did not reach library.json");
    run.pass("bulk_restore_and_selection_reset");

    app.setSection(LibrarySection::all);
    app.setGridView(false);
    co_await settle();
    snapshotLibrary(run, "11-restored-list.png");
}

} // namespace

QCoro::Task<> trashAndRestoreCheck(Run &run)
{
    AppModel &app = run.app;
    const Uuid id = run.sample.id;
    // The editor left open on the sample goes first; it has nothing unsaved by now.
    if (const auto open = app.editorControllers().find(id); open != app.editorControllers().end())
        open->second->close();

    app.trash(run.sample);
    const std::optional<CaptureItem> trashed = co_await waitForTrashState(app, id, true);
    run.require(trashed.has_value(), "Trashed item missing");
    run.require(QFile::exists(app.repository().originalURL(*trashed)), "Trash deleted the original");
    run.require(storedAs(app, {id}, true), "Trash did not reach library.json");

    // The same toggle on the trashed item restores it.
    app.trash(*trashed);
    const std::optional<CaptureItem> restored = co_await waitForTrashState(app, id, false);
    run.require(restored.has_value() && !restored->trashedAt, "Restored item missing");
    run.require(storedAs(app, {id}, false), "Restore did not reach library.json");
    run.pass("trash_and_restore_preserve_original");
}

QCoro::Task<> bulkSelectionChecks(Run &run)
{
    AppModel &app = run.app;
    app.setSection(LibrarySection::all);
    app.setSearchText(QString());
    BulkState bulk;
    bulk.visible = app.visibleItems();
    bulk.ids = idsOf(bulk.visible);

    co_await selectAllAndIndividualSelection(run, bulk);
    co_await filteredSelectAllTrashesOnlyVisibleItems(run, bulk);
    co_await bulkTrashPreservesOriginalFiles(run, bulk);
    co_await bulkRestoreAndSelectionReset(run, bulk);
}

QCoro::Task<> sheetAndBadgeExportChecks(Run &run)
{
    AppModel &app = run.app;
    // Named, not braced into the calls: g++ 12 may destroy a temporary of a co_await twice.
    const SheetShown settings{AppSheet::settings, "04-settings.png", QStringLiteral("설정"),
                              [](const AppModel &) { return QStringLiteral("일반"); }};
    const SheetShown permissions{AppSheet::permissions, "05-permissions.png",
                                 QStringLiteral("화면에 접근할 수 있게 해주세요"), permissionButton};
    const SheetShown recording{AppSheet::recording, "06-recording-setup.png", QStringLiteral("화면 녹화"),
                               [](const AppModel &) { return QStringLiteral("녹화 시작"); }};
    co_await photographSheet(run, settings);
    co_await settle();
    co_await photographSheet(run, permissions);
    co_await settle();
    co_await photographSheet(run, recording);
    run.pass("settings_permission_recording_sheets_render");
    // Presenting the permission sheet only shows it; nothing in the run may ask for access.
    run.require(app.permissionRequestCount() == 0, "The smoke run requested screen or microphone permission");
    run.pass("no_screen_or_microphone_permission_requested_by_smoke_test");
    co_await settle();

    exportBadgePreview(run, false, "badge-palette.png");
    run.pass("five_badge_styles_png_export");
    exportBadgePreview(run, true, "badge-rotations.png");
    run.pass("badge_rotation_png_export");
}

} // namespace tarn::UISmoke
