// SPDX-License-Identifier: GPL-3.0-or-later
// The smoke run's trash, bulk-selection, sheet and badge-export checks in process, on a demo
// library behind a real library window: they pass in order and leave the library as they found
// it, and a model operation broken by the test fails the check that covers it.
#include <functional>
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
    void SetUp() override { start(QStringLiteral("library")); }

    // A demo model on a new library in `folder`, behind a shown library window.
    void start(const QString &folder)
    {
        TearDown();
        Theme::useDarkAppearance();
        library_ = dir_.filePath(folder);
        app_ = std::make_unique<AppModel>(library_, true);
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
        run_.reset();
        window_.reset();
        app_.reset();
    }

    QString output() const { return dir_.filePath(QStringLiteral("smoke")); }
    QString indexPath() const { return library_ + QStringLiteral("/library.json"); }

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
    QString library_;
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

// A trash that loses the original, or that the library lists but never writes to its index,
// fails the trash check with its own message.
TEST_F(ExclusiveUISmokeLibraryState, ATrashThatLosesTheOriginalOrItsIndexFailsTheTrashCheck)
{
    using Sabotage = std::function<void(const QByteArray &index)>;
    const Sabotage loseOriginal = [this](const QByteArray &) {
        QFile::remove(app_->repository().originalURL(run_->sample));
    };
    // The index as it was before the trash, written back over the new one.
    const Sabotage keepOldIndex = [this](const QByteArray &index) {
        QFile file(indexPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(index);
    };
    struct Row {
        const char *name;
        Sabotage sabotage;
        QString message;
    };
    const std::vector<Row> rows = {
        {"the original removed", loseOriginal, QStringLiteral("Trash deleted the original")},
        {"the index not written", keepOldIndex, QStringLiteral("Trash did not reach library.json")},
    };
    for (const Row &row : rows) {
        start(QString::fromLatin1(row.name));
        loadAndFindSample();
        QFile index(indexPath());
        ASSERT_TRUE(index.open(QIODevice::ReadOnly));
        const QByteArray before = index.readAll();
        // Done as soon as the library lists the sample in the trash.
        QObject::connect(app_.get(), &AppModel::itemsChanged, app_.get(), [this, &row, before] {
            for (const CaptureItem &item : app_->items()) {
                if (item.id == run_->sample.id && item.trashedAt)
                    row.sabotage(before);
            }
        });
        EXPECT_EQ(failureOf(UISmoke::trashAndRestoreCheck(*run_)), row.message) << row.name;
    }
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
    EXPECT_EQ(failureOf(UISmoke::run(*app_, output())),
              QStringLiteral("Sample library did not load [library_load_with_synthetic_samples]"));
    EXPECT_FALSE(QFile::exists(QDir(output()).filePath(QStringLiteral("ui-smoke.json"))));
}

} // namespace
} // namespace tarn
