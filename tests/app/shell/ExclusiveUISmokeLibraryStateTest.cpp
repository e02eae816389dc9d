// SPDX-License-Identifier: GPL-3.0-or-later
// The smoke run's trash, bulk-selection, sheet and badge-export checks in process, on a demo
// library behind a real library window: they pass in order and leave the library as they found
// it, and a model operation broken by the test fails the check that covers it.
#include <optional>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "app/library/LibraryView.h"
#include "app/model/AppModel.h"
#include "app/shell/LibraryBinding.h"
#include "app/shell/LibraryWindow.h"
#include "app/smoke/UISmoke.h"
#include "app/smoke/UISmokeChecks.h"
#include "app/widgets/Theme.h"
#include "core/base/AppError.h"
#include "support/Await.h"

namespace tarn {
namespace {

using namespace std::chrono_literals;

class ExclusiveUISmokeLibraryState : public ::testing::Test {
protected:
    void SetUp() override
    {
        Theme::useDarkAppearance();
        app_ = std::make_unique<AppModel>(dir_.filePath(QStringLiteral("library")), true);
        window_ = std::make_unique<LibraryWindow>(true);
        window_->setCentralWidget(makeLibraryView(*app_));
        window_->resize(LibraryWindow::defaultContentSize);
        app_->setMainWindow(window_.get());
        window_->show();
        ASSERT_TRUE(QDir().mkpath(output()));
        run_.emplace(*app_, output());
    }
    void TearDown() override
    {
        window_.reset();
        app_.reset();
    }

    QString output() const { return dir_.filePath(QStringLiteral("smoke")); }

    // The loaded demo library with the privacy sample found by the run's first checks.
    void loadAndFindSample()
    {
        TestSupport::await(app_->load());
        TestSupport::await(UISmoke::libraryChecks(*run_));
        ASSERT_EQ(run_->checks.size(), 4);
    }

    // The English message the task ends with; empty when it passes.
    static QString failureOf(QCoro::Task<> task)
    {
        try {
            TestSupport::await(std::move(task), 60s);
        } catch (const AppError &error) {
            return error.message();
        }
        return {};
    }

    QTemporaryDir dir_;
    std::unique_ptr<AppModel> app_;
    std::unique_ptr<LibraryWindow> window_;
    std::optional<UISmoke::Run> run_;
};

TEST_F(ExclusiveUISmokeLibraryState, ChecksPassInOrderLeaveTheirPicturesAndRestoreTheLibrary)
{
    loadAndFindSample();
    const int active = app_->activeCount();
    TestSupport::await(UISmoke::trashAndRestoreCheck(*run_), 60s);
    TestSupport::await(UISmoke::bulkSelectionChecks(*run_), 60s);
    TestSupport::await(UISmoke::sheetAndBadgeExportChecks(*run_), 60s);
    EXPECT_EQ(run_->checks.size(), 13);
    EXPECT_EQ(run_->checks.last(), QStringLiteral("badge_rotation_png_export"));

    // Every item is active again, nothing selected, in the list layout, no sheet left open.
    EXPECT_EQ(app_->activeCount(), active);
    EXPECT_TRUE(app_->selectedItemIDs().empty());
    EXPECT_FALSE(app_->gridView());
    EXPECT_FALSE(app_->sheet().has_value());
    // The sheets are photographed on their own, narrower than the window they cover.
    const QDir folder(output());
    for (const char *name : {"04-settings.png", "05-permissions.png", "06-recording-setup.png"})
        EXPECT_LT(QImage(folder.filePath(QString::fromLatin1(name))).width(), 700) << name;
    EXPECT_EQ(QImage(folder.filePath(QStringLiteral("10-selected-trash.png"))).size(), window_->size());
    EXPECT_EQ(QImage(folder.filePath(QStringLiteral("badge-rotations.png"))).size(), QSize(1000, 900));
}

TEST_F(ExclusiveUISmokeLibraryState, ATrashThatLosesTheOriginalFailsTheTrashCheck)
{
    loadAndFindSample();
    // The original goes as soon as the library lists the sample in the trash.
    QObject::connect(app_.get(), &AppModel::itemsChanged, app_.get(), [this] {
        for (const CaptureItem &item : app_->items()) {
            if (item.id == run_->sample.id && item.trashedAt)
                QFile::remove(app_->repository().originalURL(item));
        }
    });
    EXPECT_EQ(failureOf(UISmoke::trashAndRestoreCheck(*run_)), QStringLiteral("Trash deleted the original"));
}

TEST_F(ExclusiveUISmokeLibraryState, AnyPermissionRequestFailsThePermissionCheck)
{
    TestSupport::await(app_->load());
    app_->requestScreenPermission();
    EXPECT_EQ(failureOf(UISmoke::sheetAndBadgeExportChecks(*run_)),
              QStringLiteral("The smoke run requested screen or microphone permission"));
    EXPECT_EQ(run_->checks, QStringList{QStringLiteral("settings_permission_recording_sheets_render")});
    EXPECT_FALSE(QFile::exists(QDir(output()).filePath(QStringLiteral("badge-palette.png"))));
}

// The whole run on a library whose samples cannot be stored: the first check fails with its own
// message and the run writes no report.
TEST_F(ExclusiveUISmokeLibraryState, ABrokenSampleStoreEndsTheRunWithoutAReport)
{
    ASSERT_TRUE(QDir().mkpath(dir_.filePath(QStringLiteral("library"))));
    QFile blocker(dir_.filePath(QStringLiteral("library/Originals")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    TestSupport::await(app_->load());
    EXPECT_EQ(failureOf(UISmoke::run(*app_, output())), QStringLiteral("Sample library did not load"));
    EXPECT_FALSE(QFile::exists(QDir(output()).filePath(QStringLiteral("ui-smoke.json"))));
}

} // namespace
} // namespace tarn
