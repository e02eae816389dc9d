// SPDX-License-Identifier: GPL-3.0-or-later
// The library window's content on a real library: the view shows the model's state and its
// controls reach the model's commands.
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "app/editor/EditorModel.h"
#include "app/editor/EditorWindowController.h"
#include "app/library/CaptureCard.h"
#include "app/library/CaptureCollection.h"
#include "app/library/CaptureHero.h"
#include "app/library/CaptureListRow.h"
#include "app/library/LibraryBanners.h"
#include "app/library/LibraryContents.h"
#include "app/library/LibraryHeader.h"
#include "app/library/LibrarySidebar.h"
#include "app/library/LibraryStatusBar.h"
#include "app/library/LibraryView.h"
#include "app/library/SelectionToggle.h"
#include "app/model/AppModel.h"
#include "app/shell/LibraryBinding.h"
#include "app/widgets/IconButton.h"
#include "app/widgets/Notifications.h"
#include "app/widgets/Theme.h"
#include "support/Await.h"

namespace tarn {
namespace {

class LibraryBindingTest : public ::testing::Test {
protected:
    // A demo model on a new library, loaded (so it holds the six samples), and its view in a
    // shown window of the library window's size.
    void open(bool demo = true)
    {
        Theme::useIconTheme();
        app_ = std::make_unique<AppModel>(dir_.filePath(QStringLiteral("library")), demo);
        TestSupport::await(app_->load());
        view_ = makeLibraryView(*app_);
        view_->resize(1280, 880);
        view_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view_));
    }

    void TearDown() override
    {
        delete view_;
        app_.reset();
    }

    CaptureCollection *collection() const { return view_->contents()->collection(); }

    // Waits until every shown cell has its picture, so a snapshot shows what a user sees.
    void settleThumbnails()
    {
        QTest::qWait(50);
        ASSERT_TRUE(QTest::qWaitFor(
            [this] {
                for (const CaptureItem *item : collection()->items()) {
                    CaptureCell *cell = collection()->cellFor(item->id);
                    if (cell && !cell->isHidden()) {
                        auto *card = qobject_cast<CaptureCard *>(cell);
                        auto *row = qobject_cast<CaptureListRow *>(cell);
                        const ThumbnailView *picture =
                            card ? static_cast<ThumbnailView *>(card->picture()) : row->openArea()->thumbnail();
                        if (picture->image().isNull())
                            return false;
                    }
                }
                return true;
            },
            10000));
    }

    // Saves a picture of the view when TARN_LIBRARY_SHOTS names a folder (for looking at it).
    void snapshot(const QString &name)
    {
        const QString folder = qEnvironmentVariable("TARN_LIBRARY_SHOTS");
        if (folder.isEmpty())
            return;
        QDir().mkpath(folder);
        QApplication::processEvents();
        view_->grab().save(QDir(folder).filePath(name + QStringLiteral(".png")));
    }

    QTemporaryDir dir_;
    std::unique_ptr<AppModel> app_;
    LibraryView *view_ = nullptr;
};

TEST_F(LibraryBindingTest, ADemoLibraryShowsItsSixSamplesInGridAndListAndTwoQuickStarClicksToggleTwice)
{
    open();
    ASSERT_EQ(app_->items().size(), 6u);
    EXPECT_EQ(collection()->items().size(), 6u);
    settleThumbnails();
    snapshot(QStringLiteral("grid"));

    app_->setGridView(false);
    settleThumbnails();
    snapshot(QStringLiteral("list"));
    EXPECT_FALSE(collection()->isGridView());

    // Two quick clicks on a row's star, the second before the store has answered the first.
    const CaptureItem &first = *collection()->items()[0];
    const bool wasFavorite = first.isFavorite;
    const Uuid id = first.id;
    auto *row = qobject_cast<CaptureListRow *>(collection()->cellFor(id));
    ASSERT_NE(row, nullptr);
    QSignalSpy answers(app_.get(), &AppModel::itemsChanged);
    row->star()->click();
    row->star()->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return answers.size() >= 2; }, 10000));
    const auto stored = std::find_if(app_->items().begin(), app_->items().end(),
                                     [&](const CaptureItem &item) { return item.id == id; });
    ASSERT_NE(stored, app_->items().end());
    EXPECT_EQ(stored->isFavorite, wasFavorite);
}

// A saved edit gives its capture a new thumbnail file, and the card shows the new picture.
TEST_F(LibraryBindingTest, ACardShowsThePictureOfASavedEdit)
{
    open();
    settleThumbnails();
    const CaptureItem item = *collection()->items()[0];
    const auto centre = [&] {
        QWidget *picture = qobject_cast<CaptureCard *>(collection()->cellFor(item.id))->picture();
        return picture->grab().toImage().pixelColor(picture->rect().center()).lightness();
    };
    ASSERT_GT(centre(), 40);
    app_->openItem(item);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !app_->editorControllers().empty(); }, 10000));
    EditorModel &editor = dynamic_cast<EditorWindowController *>(app_->editorControllers().begin()->second)->model();
    Annotation redaction;
    redaction.id = Uuid::random();
    redaction.tool = MarkupTool::redact;
    redaction.points = {UnitPoint(0, 0), UnitPoint(1, 1)};
    editor.add(redaction);
    TestSupport::await(editor.save());
    EXPECT_TRUE(QTest::qWaitFor([&] { return centre() < 10; }, 10000)) << centre();
}

TEST_F(LibraryBindingTest, BannersFollowPermissionAndUnfinishedRecordings)
{
    const QString recordings = dir_.filePath(QStringLiteral("library/Recordings"));
    ASSERT_TRUE(QDir().mkpath(recordings));
    for (const char *name : {"a.mp4", "b.mp4"}) {
        QFile file(QDir(recordings).filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    open();
    EXPECT_FALSE(view_->recoveryBanner()->isHidden());
    EXPECT_EQ(view_->recoveryBanner()->text(), QStringLiteral("마무리되지 않은 녹화 2개를 보존했습니다."));
    EXPECT_TRUE(view_->permissionBanner()->isHidden());
    app_->setScreenPermission(false);
    EXPECT_FALSE(view_->permissionBanner()->isHidden());
    settleThumbnails();
    snapshot(QStringLiteral("banners"));

    // Nothing outside the trash: nothing to capture for, so no call for permission.
    view_->findChild<QAbstractButton *>(QStringLiteral("library.selectAll"))->click();
    view_->findChild<QAbstractButton *>(QStringLiteral("library.trashSelected"))->click();
    ASSERT_TRUE(QTest::qWaitFor([this] { return app_->activeCount() == 0 && !app_->isBusy(); }, 10000));
    EXPECT_TRUE(view_->permissionBanner()->isHidden());
    EXPECT_TRUE(view_->contents()->state().emptyButtonsShown);
}

TEST_F(LibraryBindingTest, TheSampleButtonSeedsOnceHoweverOftenItIsPressed)
{
    open(false);
    snapshot(QStringLiteral("empty"));
    auto *samples = view_->findChild<QAbstractButton *>(QStringLiteral("library.addSamples"));
    ASSERT_NE(samples, nullptr);
    ASSERT_TRUE(samples->isVisible());
    samples->click();
    samples->click(); // arrives while the first seeding runs
    ASSERT_TRUE(QTest::qWaitFor([this] { return !app_->isBusy(); }, 20000));
    EXPECT_EQ(app_->items().size(), 6u);
    EXPECT_EQ(collection()->items().size(), 6u);
    EXPECT_FALSE(view_->contents()->state().emptyShown);
    EXPECT_TRUE(collection()->isEnabled()); // nothing stays busy
}

TEST_F(LibraryBindingTest, DroppedFilesAreImportedAndTheFailuresShownUntilEscape)
{
    open(false);
    QStringList files;
    for (const char *name : {"first.png", "broken.png", "third.png"})
        files << dir_.filePath(QString::fromLatin1(name));
    QImage picture(320, 200, QImage::Format_RGB32);
    picture.fill(QColor(30, 120, 90));
    ASSERT_TRUE(picture.save(files[0]));
    ASSERT_TRUE(picture.save(files[2]));
    QFile broken(files[1]);
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("\x89PNG but nothing after it");
    broken.close();

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(files[0]), QUrl::fromLocalFile(files[1]),
                  QUrl(QStringLiteral("https://example.com/remote.png")), QUrl::fromLocalFile(files[2]),
                  QUrl::fromLocalFile(dir_.filePath(QStringLiteral("gone.png")))});
    QDragEnterEvent enter(QPoint(700, 500), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view_, &enter);
    ASSERT_TRUE(enter.isAccepted());
    EXPECT_TRUE(view_->isDropTargeted());
    snapshot(QStringLiteral("drop"));
    QDropEvent drop(QPointF(700, 500), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view_, &drop);

    ASSERT_TRUE(QTest::qWaitFor([this] { return app_->items().size() == 2 && !app_->isBusy(); }, 20000));
    EXPECT_EQ(app_->status(), QStringLiteral("2개 파일을 가져왔습니다."));
    ASSERT_TRUE(app_->errorMessage());
    EXPECT_TRUE(app_->errorMessage()->startsWith(QStringLiteral("broken.png: ")));
    EXPECT_TRUE(app_->errorMessage()->contains(QStringLiteral("\ngone.png: "))); // gone before it was read
    EXPECT_FALSE(app_->errorMessage()->contains(QStringLiteral("remote")));
    EXPECT_EQ(view_->statusBar()->status(), app_->status());
    QMessageBox *alert = view_->errorAlert();
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->text(), *app_->errorMessage());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(alert));
    QTest::keyClick(alert, Qt::Key_Escape);
    EXPECT_FALSE(app_->errorMessage());
}

TEST_F(LibraryBindingTest, TypingInTheSearchFiltersTheCards)
{
    open();
    QLineEdit *field = view_->header()->searchBox()->field();
    view_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(view_));
    Q_EMIT Notifications::center().focusSearch(); // the Find command, Ctrl+F
    EXPECT_TRUE(field->hasFocus());
    QTest::keyClicks(field, QStringLiteral("Privacy"));
    EXPECT_EQ(app_->searchText(), QStringLiteral("Privacy"));
    ASSERT_EQ(collection()->items().size(), 1u);
    EXPECT_TRUE(QString::fromStdString(collection()->items()[0]->title).startsWith(QStringLiteral("Privacy")));
    EXPECT_EQ(view_->contents()->state().title, QStringLiteral("검색 결과"));
    EXPECT_TRUE(view_->hero()->isHidden());
    EXPECT_TRUE(view_->header()->searchBox()->showsClearButton());

    QTest::keyClicks(field, QStringLiteral("zzz"));
    EXPECT_TRUE(collection()->items().empty());
    EXPECT_EQ(view_->contents()->state().emptyTitle, QStringLiteral("일치하는 캡처가 없습니다"));
    EXPECT_FALSE(view_->contents()->state().emptyButtonsShown);
    snapshot(QStringLiteral("search-empty"));

    // A single space is a search too; clearing it keeps the typing in the field.
    auto *clear = view_->findChild<QAbstractButton *>(QStringLiteral("library.clearSearch"));
    ASSERT_NE(clear, nullptr);
    QTest::mouseClick(clear, Qt::LeftButton);
    EXPECT_TRUE(app_->searchText().isEmpty());
    EXPECT_FALSE(view_->header()->searchBox()->showsClearButton());
    EXPECT_TRUE(field->hasFocus());
    QTest::keyClick(field, Qt::Key_Space);
    EXPECT_EQ(app_->searchText(), QStringLiteral(" "));
    EXPECT_TRUE(view_->header()->searchBox()->showsClearButton());
    EXPECT_TRUE(view_->hero()->isHidden());

    view_->sidebar()->row(LibrarySection::all)->click(); // the current section again clears the search
    EXPECT_TRUE(app_->searchText().isEmpty());
    EXPECT_TRUE(field->text().isEmpty());
    EXPECT_EQ(collection()->items().size(), 6u);
    EXPECT_FALSE(view_->hero()->isHidden());
}

TEST_F(LibraryBindingTest, SelectAllThenBulkTrashAndRestoreMoveTheRightCaptures)
{
    open();
    auto button = [this](const char *name) { return view_->findChild<QAbstractButton *>(QString::fromLatin1(name)); };
    button("library.selectAll")->click();
    EXPECT_EQ(app_->selectedItemIDs().size(), 6u);
    EXPECT_FALSE(button("library.selectAll")->isEnabled());
    EXPECT_TRUE(button("library.restoreSelected")->isHidden());
    settleThumbnails();
    snapshot(QStringLiteral("selection"));

    // Leave one out: the bar then moves five.
    const Uuid kept = collection()->items()[2]->id;
    auto *toggle = view_->findChild<SelectionToggle *>(SelectionToggle::objectNameFor(kept));
    ASSERT_NE(toggle, nullptr);
    toggle->click();
    EXPECT_EQ(app_->selectedItemIDs().size(), 5u);
    EXPECT_FALSE(toggle->isChecked());
    button("library.trashSelected")->click();
    ASSERT_TRUE(QTest::qWaitFor([this] { return !app_->isBusy(); }, 10000));
    EXPECT_EQ(app_->activeCount(), 1);
    EXPECT_TRUE(app_->selectedItemIDs().empty());
    ASSERT_EQ(collection()->items().size(), 1u);
    EXPECT_EQ(collection()->items()[0]->id, kept);

    view_->sidebar()->row(LibrarySection::trash)->click();
    EXPECT_EQ(view_->header()->title(), QStringLiteral("휴지통"));
    ASSERT_EQ(collection()->items().size(), 5u);
    const Uuid back = collection()->items()[0]->id;
    view_->findChild<SelectionToggle *>(SelectionToggle::objectNameFor(back))->click();
    EXPECT_TRUE(button("library.trashSelected")->isHidden());
    settleThumbnails();
    snapshot(QStringLiteral("trash"));
    button("library.restoreSelected")->click();
    ASSERT_TRUE(QTest::qWaitFor([this] { return !app_->isBusy(); }, 10000));
    EXPECT_EQ(app_->activeCount(), 2);
    EXPECT_EQ(collection()->items().size(), 4u);
    EXPECT_EQ(collection()->cellFor(back), nullptr);
    EXPECT_NE(button("library.clearSelection"), nullptr);
}

} // namespace
} // namespace tarn
