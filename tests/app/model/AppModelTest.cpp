// SPDX-License-Identifier: GPL-3.0-or-later
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>
#include <qcoro/qcorotask.h>

#include "app/editor/EditorModel.h"
#include "app/editor/EditorWindowController.h"
#include "app/model/AppModel.h"
#include "app/model/DemoContent.h"
#include "core/base/AppError.h"
#include "core/base/LibraryFailure.h"
#include "platform/VideoInfo.h"
#include "support/EditorHostFixture.h"
#include "support/MovieWriter.h"

namespace tarn {
namespace {

const QString trashedText = QStringLiteral("개를 휴지통으로 이동했습니다. 휴지통에서 복원할 수 있습니다.");
const QString restoredText = QStringLiteral("개 캡처를 복원했습니다.");
const QString unsavedText =
    QStringLiteral("선택한 캡처에 진행 중인 편집이나 저장이 있습니다. 먼저 저장하거나 편집기를 닫아 주세요.");

class AppModelTest : public ::testing::Test {
protected:
    QString root() const { return dir_.filePath(QStringLiteral("library")); }

    // A model on the library folder, loaded; a demo model fills an empty library with samples.
    std::unique_ptr<AppModel> open(bool demo)
    {
        auto model = std::make_unique<AppModel>(root(), demo);
        QCoro::waitFor(model->load());
        return model;
    }

    // Waits until the model's guarded command has answered.
    static void settle(AppModel &model)
    {
        ASSERT_TRUE(QTest::qWaitFor([&] { return !model.isBusy(); }, 10000));
    }

    // Queues work ahead of the next command on the store's one worker (an even number of
    // toggles, so nothing changes): a store that answered at once would end the command inside
    // the call that started it.
    static void occupyStore(AppModel &model)
    {
        const CaptureItem native = byTitlePrefix(model, QStringLiteral("Native"));
        for (int i = 0; i < 200; ++i)
            model.repository().setFavorite(native.id, i % 2 == 0);
    }

    static const CaptureItem &byTitlePrefix(const AppModel &model, const QString &prefix)
    {
        for (const CaptureItem &item : model.items())
            if (QString::fromStdString(item.title).startsWith(prefix))
                return item;
        throw std::runtime_error("no such item");
    }

    static std::vector<std::string> titles(const std::vector<CaptureItem> &items)
    {
        std::vector<std::string> names;
        for (const CaptureItem &item : items)
            names.push_back(item.title);
        return names;
    }

    // Adds a real recording to the library through the store, as the recording flow would.
    CaptureItem addVideo(AppModel &model)
    {
        const QString movie = dir_.filePath(QStringLiteral("clip.mp4"));
        TestSupport::writeMovie(movie, TestSupport::Movie{{TestSupport::VideoTrack{320, 240, 10, 10}}, 0});
        const VideoInfo info = VideoInfo::load(movie);
        CaptureItem item = model.repository()
                               .insertVideo(movie, "화면 녹화", info.thumbnail, info.width, info.height, info.duration)
                               .result();
        model.replace(item);
        return item;
    }

    QTemporaryDir dir_;
};

TEST_F(AppModelTest, StartsEmptyWithTheFixedStatusAndRefusesEverythingUntilLoaded)
{
    AppModel model(root(), true);
    EXPECT_TRUE(model.items().empty());
    EXPECT_FALSE(model.isBusy());
    EXPECT_FALSE(model.libraryReady());
    EXPECT_FALSE(model.errorMessage());
    EXPECT_FALSE(QFile::exists(root())); // creating the store touches no file

    QCoro::waitFor(model.addSamples());
    CaptureItem stray;
    stray.id = Uuid::random();
    model.trash(stray);
    model.selectAllVisible();
    EXPECT_TRUE(model.items().empty());
    EXPECT_FALSE(model.isBusy());
    EXPECT_EQ(model.status(), AppModel::initialStatus());
}

TEST_F(AppModelTest, ADemoRunSeedsAnEmptyLibraryOnceWithTheGeneratedSamples)
{
    {
        auto model = open(true);
        EXPECT_TRUE(model->libraryReady());
        EXPECT_FALSE(model->isBusy());
        ASSERT_EQ(model->items().size(), 6u);
        EXPECT_EQ(model->status(), QStringLiteral("직접 생성한 샘플입니다. 실제 캡처나 측정 데이터가 아닙니다."));
        const CaptureItem &privacy = byTitlePrefix(*model, QStringLiteral("Privacy"));
        EXPECT_EQ(privacy.textRegions.size(), 4u);
        EXPECT_NE(privacy.recognizedText.find(DemoContent::privacyEmail.toStdString()), std::string::npos);
        int favourites = 0;
        for (const CaptureItem &item : model->items()) {
            EXPECT_TRUE(item.isSample);
            EXPECT_EQ(item.width, 1600);
            favourites += item.isFavorite;
        }
        EXPECT_EQ(favourites, 2);
        EXPECT_TRUE(byTitlePrefix(*model, QStringLiteral("Orbit")).isFavorite);
        EXPECT_TRUE(byTitlePrefix(*model, QStringLiteral("Canvas")).isFavorite);
    }
    auto reopened = open(true); // a library that is not empty gets nothing more
    EXPECT_EQ(reopened->items().size(), 6u);
    EXPECT_EQ(reopened->status(), AppModel::initialStatus());
}

TEST_F(AppModelTest, AnOrdinaryRunLoadsWithoutSamplesAndCountsUnfinishedRecordings)
{
    {
        auto model = open(false);
        EXPECT_TRUE(model->libraryReady());
        EXPECT_TRUE(model->items().empty());
        EXPECT_EQ(model->pendingRecordingCount(), 0);
    }
    QFile recording(root() + QStringLiteral("/Recordings/") + Uuid::random().toQString() + QStringLiteral(".mp4"));
    ASSERT_TRUE(recording.open(QIODevice::WriteOnly));
    recording.close();
    auto model = open(false);
    EXPECT_EQ(model->pendingRecordingCount(), 1);
    EXPECT_EQ(model->status(), AppModel::initialStatus());
}

TEST_F(AppModelTest, AnUnreadableLibraryShowsTheStoresErrorAndStaysNotReady)
{
    ASSERT_TRUE(QDir().mkpath(root()));
    QFile index(root() + QStringLiteral("/library.json"));
    ASSERT_TRUE(index.open(QIODevice::WriteOnly));
    index.write("{ not json");
    index.close();
    QWidget window; // the hidden library window is brought forward for the alert
    auto model = std::make_unique<AppModel>(root(), true);
    model->setMainWindow(&window);
    QCoro::waitFor(model->load());
    EXPECT_FALSE(model->libraryReady());
    EXPECT_TRUE(model->items().empty());
    ASSERT_TRUE(model->errorMessage());
    EXPECT_TRUE(model->errorMessage()->startsWith(QStringLiteral("라이브러리 인덱스를 읽지 못했습니다.")));
    EXPECT_EQ(model->status(), *model->errorMessage());
    EXPECT_TRUE(window.isVisible());
}

TEST_F(AppModelTest, SectionsCountsAndSizeFollowKindFavouriteAndTrash)
{
    auto model = open(true);
    const CaptureItem video = addVideo(*model);
    model->repository().setFavorite(video.id, true).waitForFinished();
    model->replace(model->repository().setTrashed(video.id, true).result());

    const auto count = [&](LibrarySection section) {
        model->setSection(section);
        return model->visibleItems().size();
    };
    EXPECT_EQ(count(LibrarySection::all), 6u);
    EXPECT_EQ(count(LibrarySection::images), 6u);
    EXPECT_EQ(count(LibrarySection::videos), 0u);    // the trashed favourite video shows only
    EXPECT_EQ(count(LibrarySection::favorites), 2u); // under the trash
    EXPECT_EQ(count(LibrarySection::trash), 1u);
    EXPECT_EQ(model->activeCount(), 6);
    int64_t bytes = 0;
    for (const CaptureItem &item : model->items())
        bytes += item.byteCount;
    EXPECT_EQ(model->storedBytes(), bytes);
    EXPECT_GT(video.byteCount, 0);
}

TEST_F(AppModelTest, SearchAndSortOrderShapeTheVisibleItems)
{
    auto model = open(true);
    const std::vector<CaptureItem> newest = model->visibleItems();
    ASSERT_EQ(newest.size(), 6u);
    for (size_t i = 1; i < newest.size(); ++i)
        EXPECT_GE(newest[i - 1].createdAt, newest[i].createdAt);
    EXPECT_EQ(newest.front().title, "Clarity — 작은 아이디어"); // stored last

    model->setNewestFirst(false);
    EXPECT_EQ(model->visibleItems().front().title, "Orbit — 브랜드 랜딩");

    // Recognized text is searched too; type: and is: terms filter by kind and mark.
    model->setSearchText(DemoContent::privacyEmail);
    EXPECT_EQ(titles(model->visibleItems()), std::vector<std::string>{"Privacy — 마스킹 연습"});
    model->setSearchText(QStringLiteral("type:video"));
    EXPECT_TRUE(model->visibleItems().empty());
    model->setSearchText(QStringLiteral("is:favorite"));
    EXPECT_EQ(titles(model->visibleItems()),
              (std::vector<std::string>{"Orbit — 브랜드 랜딩", "Canvas — 디자인 스프린트"}));

    // Items with the same creation date keep their order in the list, whichever way it sorts.
    model->setSearchText(QStringLiteral("twin"));
    CaptureItem first = newest[0];
    first.id = Uuid::random();
    first.title = "twin one";
    CaptureItem second = first;
    second.id = Uuid::random();
    second.title = "twin two";
    model->replace(first);
    model->replace(second);
    EXPECT_EQ(titles(model->visibleItems()), (std::vector<std::string>{"twin one", "twin two"}));
    model->setNewestFirst(true);
    EXPECT_EQ(titles(model->visibleItems()), (std::vector<std::string>{"twin one", "twin two"}));
}

TEST_F(AppModelTest, SelectionHoldsOnlyVisibleItemsThroughEveryChange)
{
    auto model = open(true);
    QSignalSpy changes(model.get(), &AppModel::selectedItemIDsChanged);
    model->clearSelection(); // already empty: no notification
    EXPECT_EQ(changes.count(), 0);

    model->selectAllVisible();
    EXPECT_EQ(model->selectedItemIDs().size(), 6u);
    EXPECT_TRUE(model->allVisibleSelected());
    model->setSection(LibrarySection::all); // the same section keeps the selection
    EXPECT_EQ(model->selectedItemIDs().size(), 6u);
    model->setSection(LibrarySection::favorites);
    EXPECT_TRUE(model->selectedItemIDs().empty());

    // A favourite that loses its mark leaves the favourites section and the selection.
    const CaptureItem orbit = byTitlePrefix(*model, QStringLiteral("Orbit"));
    model->setSelection(orbit.id, true);
    model->setSelection(orbit.id, true); // membership unchanged: no notification
    const int before = changes.count();
    model->setSelection(orbit.id, true);
    EXPECT_EQ(changes.count(), before);
    EXPECT_EQ(model->selectedItemIDs(), std::set<Uuid>{orbit.id});
    model->favorite(orbit);
    ASSERT_TRUE(QTest::qWaitFor([&] { return model->selectedItemIDs().empty(); }, 5000));
    EXPECT_FALSE(byTitlePrefix(*model, QStringLiteral("Orbit")).isFavorite);

    // Searching empties the selection; an item the search hides cannot be selected.
    model->setSection(LibrarySection::all);
    model->selectAllVisible();
    model->setSearchText(QStringLiteral("Privacy"));
    EXPECT_TRUE(model->selectedItemIDs().empty());
    model->setSelection(orbit.id, true);
    EXPECT_TRUE(model->selectedItemIDs().empty());

    // Nothing visible: never "all selected", and selecting all empties the selection.
    model->setSearchText(QStringLiteral("Privacy"));
    model->setSelection(byTitlePrefix(*model, QStringLiteral("Privacy")).id, true);
    model->setSearchText(QStringLiteral("no capture has this text"));
    EXPECT_FALSE(model->allVisibleSelected());
    model->selectAllVisible();
    EXPECT_TRUE(model->selectedItemIDs().empty());
}

TEST_F(AppModelTest, FavouriteTogglesBuildOnTheNewestStateNotOnAStaleCopy)
{
    auto model = open(true);
    const CaptureItem stale = byTitlePrefix(*model, QStringLiteral("Focus"));
    ASSERT_FALSE(stale.isFavorite);
    QSignalSpy answers(model.get(), &AppModel::itemsChanged);
    model->favorite(stale);
    model->favorite(stale); // a second quick click on the same card, before the first answer
    ASSERT_TRUE(QTest::qWaitFor([&] { return answers.count() == 2; }, 5000));
    EXPECT_FALSE(byTitlePrefix(*model, QStringLiteral("Focus")).isFavorite);
    auto reopened = std::make_unique<AppModel>(root(), false);
    QCoro::waitFor(reopened->load());
    EXPECT_FALSE(byTitlePrefix(*reopened, QStringLiteral("Focus")).isFavorite);

    // Later toggles with that same old copy still alternate.
    model->favorite(stale);
    ASSERT_TRUE(QTest::qWaitFor([&] { return byTitlePrefix(*model, QStringLiteral("Focus")).isFavorite; }, 5000));
    EXPECT_EQ(model->status(), AppModel::samplesStatus()); // no status of its own
}

TEST_F(AppModelTest, AStoreThatDoesNotKnowAnItemRefusesAndTheModelKeepsItemsSelectionAndBusy)
{
    auto model = open(true);
    CaptureItem ghost = model->items().front();
    ghost.id = Uuid::random();
    ghost.title = "ghost";
    model->favorite(ghost);
    ASSERT_TRUE(QTest::qWaitFor([&] { return model->errorMessage().has_value(); }, 5000));
    EXPECT_EQ(*model->errorMessage(), LibraryFailure::missingItem().description());
    EXPECT_EQ(model->status(), LibraryFailure::missingItem().description());
    EXPECT_EQ(model->items().size(), 6u);

    model->setErrorMessage(std::nullopt); // so the second refusal must show its own
    model->replace(ghost);                // known to the model, not to the store
    model->selectAllVisible();
    const auto items = model->items();
    model->trashSelected();
    settle(*model);
    EXPECT_EQ(*model->errorMessage(), LibraryFailure::missingItem().description());
    EXPECT_EQ(model->items(), items);
    EXPECT_EQ(model->selectedItemIDs().size(), 7u);
}

TEST_F(AppModelTest, TrashAndRestoreSelectedItemsWithTheirStatusTexts)
{
    auto model = open(true);
    model->setNewestFirst(false);
    const std::vector<CaptureItem> visible = model->visibleItems();
    // A restored capture comes back with every field but the trash date, its tags too.
    model->replace(
        model->repository().saveEdits(visible[1].id, visible[1].title, {"여행", "work"}, visible[1].edits).result());
    const std::vector<CaptureItem> before = model->items();
    for (size_t i = 0; i < 3; ++i) // Orbit (a favourite), Focus, Canvas (a favourite)
        model->setSelection(visible[i].id, true);
    occupyStore(*model);
    model->trashSelected();
    EXPECT_TRUE(model->isBusy());
    settle(*model);
    EXPECT_EQ(model->status(), QStringLiteral("3") + trashedText);
    EXPECT_EQ(model->visibleItems().size(), 3u);
    EXPECT_TRUE(model->selectedItemIDs().empty());
    EXPECT_EQ(model->activeCount(), 3);

    // Nothing selected, or only items already in the trash: nothing happens.
    const QString status = model->status();
    model->trashSelected();
    EXPECT_FALSE(model->isBusy());
    model->setSection(LibrarySection::trash);
    model->selectAllVisible();
    model->trashSelected();
    EXPECT_FALSE(model->isBusy());
    EXPECT_EQ(model->status(), status);

    model->restoreSelected();
    settle(*model);
    EXPECT_EQ(model->status(), QStringLiteral("3") + restoredText);
    EXPECT_EQ(model->items(), before);
    const std::vector<CaptureItem> stored = LibraryRepository(root()).load().result();
    EXPECT_TRUE(std::is_permutation(stored.begin(), stored.end(), before.begin(), before.end())) << "as stored";
    EXPECT_TRUE(model->visibleItems().empty());
    model->setSection(LibrarySection::favorites); // trashed favourites come back as favourites
    EXPECT_EQ(model->visibleItems().size(), 2u);

    // Outside the trash the selection holds no trashed item, so restoring does nothing.
    model->setSection(LibrarySection::all);
    model->selectAllVisible();
    model->restoreSelected();
    EXPECT_FALSE(model->isBusy());

    // A single toggle trashes an item or restores a trashed one.
    const CaptureItem code = byTitlePrefix(*model, QStringLiteral("Native"));
    model->trash(code);
    settle(*model);
    EXPECT_EQ(model->status(), QStringLiteral("1") + trashedText);
    model->trash(byTitlePrefix(*model, QStringLiteral("Native")));
    settle(*model);
    EXPECT_EQ(model->status(), QStringLiteral("1") + restoredText);
    EXPECT_FALSE(byTitlePrefix(*model, QStringLiteral("Native")).trashedAt);
}

TEST_F(AppModelTest, WhileBusyEveryGuardedCommandIsRefused)
{
    auto model = open(true);
    const CaptureItem privacy = byTitlePrefix(*model, QStringLiteral("Privacy"));
    const CaptureItem focus = byTitlePrefix(*model, QStringLiteral("Focus"));
    occupyStore(*model);
    model->trash(privacy);
    ASSERT_TRUE(model->isBusy());
    model->favorite(focus);
    model->trash(focus);
    model->selectAllVisible();
    model->setSelection(focus.id, true);
    QCoro::waitFor(model->addSamples()); // refused, and it leaves the flag alone
    EXPECT_TRUE(model->isBusy());
    settle(*model);
    QTest::qWait(200);
    EXPECT_FALSE(byTitlePrefix(*model, QStringLiteral("Focus")).isFavorite);
    EXPECT_FALSE(byTitlePrefix(*model, QStringLiteral("Focus")).trashedAt);
    EXPECT_TRUE(byTitlePrefix(*model, QStringLiteral("Privacy")).trashedAt);
    EXPECT_TRUE(model->selectedItemIDs().empty());
    EXPECT_EQ(model->items().size(), 6u);
    EXPECT_FALSE(model->isBusy());

    // Once idle, seeding runs again (the library browser's sample button).
    QCoro::waitFor(model->addSamples());
    EXPECT_EQ(model->items().size(), 12u);
    EXPECT_FALSE(model->isBusy());
}

TEST_F(AppModelTest, BusyAndExportClaimsCountHoldersAndAnnounceOnlyTheEdges)
{
    auto model = std::make_unique<AppModel>(root(), false);
    QSignalSpy busy(model.get(), &AppModel::isBusyChanged);
    QSignalSpy exports(model.get(), &AppModel::exportsInFlightChanged);
    {
        AppModel::BusyClaim first = model->claimBusy();
        AppModel::BusyClaim second = model->claimBusy();
        AppModel::BusyClaim moved = std::move(first);
        EXPECT_FALSE(first.isHeld());
        moved.release();
        moved.release(); // a second release gives nothing back twice
        EXPECT_TRUE(model->isBusy());
        second = model->claimBusy(); // the replaced claim is given back
        EXPECT_TRUE(model->isBusy());
        AppModel::ExportClaim writing = model->claimExport();
        EXPECT_EQ(model->exportsInFlight(), 1);
    }
    EXPECT_FALSE(model->isBusy());
    EXPECT_EQ(model->exportsInFlight(), 0);
    ASSERT_EQ(busy.count(), 2);
    EXPECT_TRUE(busy.at(0).at(0).toBool());
    EXPECT_FALSE(busy.at(1).at(0).toBool());
    EXPECT_EQ(exports.count(), 2);

    AppModel::BusyClaim outliving = model->claimBusy();
    model.reset(); // the claim's end must not reach a model that is gone
}

TEST_F(AppModelTest, AnEditorWithUnsavedWorkProtectsItsCaptureFromTrash)
{
    auto model = open(true);
    QWidget library;
    library.show();
    model->setMainWindow(&library);
    TestSupport::TestEditorHost host(model->repository(), model->recognition(), model->floating());
    const CaptureItem privacy = byTitlePrefix(*model, QStringLiteral("Privacy"));
    const CaptureItem focus = byTitlePrefix(*model, QStringLiteral("Focus"));
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(Qt::gray);
    auto *dirty = new EditorWindowController(privacy, image, host);
    auto *clean = new EditorWindowController(focus, image, host);
    QSignalSpy dirtyClosed(dirty, &EditorWindowController::closed);
    QSignalSpy cleanClosed(clean, &EditorWindowController::closed);
    dirty->bringToFront();
    clean->bringToFront();
    dirty->model().setTitle(QStringLiteral("바뀐 제목"));
    model->addEditor(dirty);
    model->addEditor(clean);
    model->setSelection(privacy.id, true);
    model->setSelection(focus.id, true);

    model->trashSelected(); // one of two is dirty: neither is trashed, no editor closes
    EXPECT_FALSE(model->isBusy());
    ASSERT_TRUE(model->errorMessage());
    EXPECT_EQ(*model->errorMessage(), unsavedText);
    EXPECT_EQ(model->status(), unsavedText);
    EXPECT_EQ(dirtyClosed.count() + cleanClosed.count(), 0);
    EXPECT_EQ(model->selectedItemIDs().size(), 2u);
    EXPECT_EQ(model->activeCount(), 6);

    TestSupport::occupy(model->repository());
    dirty->model().saveAction(); // a save in progress protects the capture as well
    ASSERT_TRUE(dirty->model().isSaving());
    model->trash(privacy);
    EXPECT_FALSE(model->isBusy());
    EXPECT_EQ(dirtyClosed.count(), 0);

    ASSERT_TRUE(QTest::qWaitFor([&] { return !dirty->model().isSaving(); }, 10000));
    EXPECT_FALSE(dirty->model().isDirty()); // saved: both are trashed and their editors close
    const QPointer<QWidget> dirtyWindow = dirty->window();
    model->trashSelected();
    EXPECT_EQ(dirtyClosed.count(), 1);
    EXPECT_EQ(cleanClosed.count(), 1);
    EXPECT_FALSE(dirtyWindow->isVisible());
    EXPECT_TRUE(model->editorControllers().empty());
    settle(*model);
    EXPECT_EQ(model->status(), QStringLiteral("2") + trashedText);
    EXPECT_EQ(model->activeCount(), 4);
}

TEST_F(AppModelTest, AModelClosedWhileTheStoreWorksIsNotTouchedByTheAnswers)
{
    auto model = open(true);
    const CaptureItem focus = byTitlePrefix(*model, QStringLiteral("Focus"));
    model->favorite(focus);
    model->trash(byTitlePrefix(*model, QStringLiteral("Privacy")));
    model.reset(); // waits for the store; the answers arrive after the model is gone
    QTest::qWait(200);
    auto reopened = open(false);
    EXPECT_TRUE(byTitlePrefix(*reopened, QStringLiteral("Focus")).isFavorite);
    EXPECT_TRUE(byTitlePrefix(*reopened, QStringLiteral("Privacy")).trashedAt);
}

TEST_F(AppModelTest, ErrorsBringAHiddenLibraryForwardAndSheetsRefreshThePermission)
{
    AppModel model(root(), false);
    QWidget library;
    model.setMainWindow(&library);
    model.showError(QStringLiteral("첫 번째 오류"));
    EXPECT_TRUE(library.isVisible());
    EXPECT_EQ(model.status(), QStringLiteral("첫 번째 오류"));
    model.showError(QStringLiteral("두 번째 오류"));
    EXPECT_EQ(*model.errorMessage(), QStringLiteral("두 번째 오류"));

    library.hide();
    model.present(AppSheet::settings);
    EXPECT_TRUE(library.isVisible());
    EXPECT_EQ(model.sheet(), AppSheet::settings);
    EXPECT_EQ(model.screenPermission(), model.screenCaptureAccess());
    model.requestScreenPermission();
    if (model.screenCaptureAccess()) {
        EXPECT_FALSE(model.sheet());
        EXPECT_EQ(model.status(), QStringLiteral("화면 기록 권한이 준비되었습니다."));
    } else {
        EXPECT_EQ(model.sheet(), AppSheet::settings);
    }
}

TEST_F(AppModelTest, RecorderCallbacksBringHiddenWindowsBackAndShowFailures)
{
    AppModel model(root(), false);
    QWidget hidden;
    AppWindows::HiddenWindows restore;
    restore.windows = {&hidden};
    model.setRecordingRestore(restore);
    QSignalSpy finished(&model, &AppModel::recordingFinished);
    model.floating().showRecording(&model.recorder(), nullptr);
    ASSERT_TRUE(model.floating().recordingPanel);
    Q_EMIT model.recorder().finished(QStringLiteral("/tmp/done.mp4"));
    EXPECT_FALSE(model.floating().recordingPanel);
    EXPECT_TRUE(hidden.isVisible());
    EXPECT_TRUE(model.recordingRestore().empty());
    ASSERT_EQ(finished.count(), 1);
    EXPECT_EQ(finished.at(0).at(0).toString(), QStringLiteral("/tmp/done.mp4"));

    hidden.hide();
    model.setRecordingRestore(restore);
    model.floating().showRecording(&model.recorder(), nullptr);
    Q_EMIT model.recorder().failed(AppError(3, QStringLiteral("녹화 파일을 완성하지 못했습니다.")));
    EXPECT_TRUE(hidden.isVisible()); // the recorder is idle
    EXPECT_FALSE(model.floating().recordingPanel);
    EXPECT_EQ(model.status(), QStringLiteral("녹화 파일을 완성하지 못했습니다."));
}

} // namespace
} // namespace tarn
