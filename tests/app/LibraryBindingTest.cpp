// SPDX-License-Identifier: GPL-3.0-or-later
// The library window's content on a real library: the view shows the model's state and its
// controls reach the model's commands.
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "app/AppModel.h"
#include "app/LibraryBinding.h"
#include "app/library/CaptureCard.h"
#include "app/library/CaptureCollection.h"
#include "app/library/CaptureListRow.h"
#include "app/library/LibraryContents.h"
#include "app/library/LibraryHeader.h"
#include "app/library/LibraryView.h"
#include "app/library/SelectionToggle.h"
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
        test::await(app_->load());
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
                for (const CaptureItem &item : collection()->items()) {
                    CaptureCell *cell = collection()->cellFor(item.id);
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

TEST_F(LibraryBindingTest, ADemoLibraryShowsItsSixSamplesInGridAndList)
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
}

TEST_F(LibraryBindingTest, AnEmptyLibraryOffersImportAndSamples)
{
    open(false);
    snapshot(QStringLiteral("empty"));
    EXPECT_TRUE(view_->contents()->state().emptyButtonsShown);
}

} // namespace
} // namespace tarn
