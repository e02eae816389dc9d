// SPDX-License-Identifier: GPL-3.0-or-later
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "app/model/AppModel.h"
#include "app/shell/QuitController.h"
#include "app/shell/QuitDecision.h"
#include "support/TestEditor.h"

namespace tarn {
namespace {

using TestSupport::TestEditor;
using Verdict = QuitDecision::Verdict;

TEST(QuitDecision, TheFirstRuleThatAppliesDecidesAndWorkingEditorsComeBeforeDirtyOnes)
{
    TestEditor clean(Uuid::random()), dirty(Uuid::random()), exporting(Uuid::random()), saving(Uuid::random()),
        tagsOnly(Uuid::random());
    dirty.dirty = true;
    tagsOnly.dirty = true; // the editor counts a change of the tags text alone as unsaved
    exporting.exporting = true;
    saving.saving = true;

    struct Case {
        const char *name;
        QuitDecision::State state;
        QuitDecision expected;
    };
    const std::vector<Case> cases{
        {"nothing running", {false, false, 0, {&clean}}, {Verdict::quit, nullptr}},
        {"no editors at all", {false, false, 0, {}}, {Verdict::quit, nullptr}},
        {"recording (any state but idle)", {true, false, 0, {&clean}}, {Verdict::busyAlert, nullptr}},
        {"busy", {false, true, 0, {}}, {Verdict::busyAlert, nullptr}},
        {"an export still writing", {false, false, 1, {}}, {Verdict::busyAlert, nullptr}},
        {"busy wins over working editors", {false, true, 0, {&exporting, &dirty}}, {Verdict::busyAlert, nullptr}},
        {"an exporting editor after a dirty one is still the one",
         {false, false, 0, {&dirty, &exporting}},
         {Verdict::editorWorking, &exporting}},
        {"the first working editor in order",
         {false, false, 0, {&clean, &saving, &exporting}},
         {Verdict::editorWorking, &saving}},
        {"the first dirty editor in order",
         {false, false, 0, {&clean, &tagsOnly, &dirty}},
         {Verdict::editorUnsaved, &tagsOnly}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(QuitDecision::decide(c.state), c.expected) << c.name;
}

class QuitControllerTest : public ::testing::Test {
protected:
    QuitControllerTest() : app_(dir_.filePath(QStringLiteral("library")), false), quit_(app_)
    {
        app_.setMainWindow(&window_);
    }

    QTemporaryDir dir_;
    QWidget window_;
    AppModel app_;
    QuitController quit_;
};

// One user going through every refusal in turn; the alert never blocks the event loop.
TEST_F(QuitControllerTest, EachRefusalActsOnceAndTheNextRequestQuitsWhenAllIsDone)
{
    QSignalSpy approved(&quit_, &QuitController::approved);
    auto *dirty = new TestEditor(Uuid::random());
    auto *exporting = new TestEditor(Uuid::random());
    dirty->dirty = true;
    exporting->exporting = true;
    app_.addEditor(dirty);
    app_.addEditor(exporting);

    AppModel::BusyClaim busy = app_.claimBusy();
    EXPECT_FALSE(quit_.requestQuit());
    ASSERT_NE(quit_.alert(), nullptr);
    EXPECT_TRUE(quit_.alert()->isVisible());
    EXPECT_EQ(quit_.alert()->text(), QStringLiteral("진행 중인 작업이 있습니다."));
    EXPECT_EQ(quit_.alert()->buttons().size(), 1);
    EXPECT_TRUE(window_.isVisible()) << "the library comes forward with the alert";
    EXPECT_FALSE(quit_.quitPending()) << "a user's refusal is not retried";
    QTest::qWait(50); // the event loop keeps turning while the alert is open
    quit_.alert()->buttons().front()->click();
    QTRY_VERIFY(quit_.alert() == nullptr);
    busy.release();
    EXPECT_EQ(approved.count(), 0);

    {
        AppModel::ExportClaim export_ = app_.claimExport();
        EXPECT_FALSE(quit_.requestQuit());
        ASSERT_NE(quit_.alert(), nullptr);
        EXPECT_TRUE(quit_.alert()->informativeText().startsWith(QStringLiteral("파일을 내보내는 중입니다.")));
        quit_.alert()->buttons().front()->click();
    }

    EXPECT_FALSE(quit_.requestQuit());
    EXPECT_EQ(exporting->message, QuitDecision::editorWorkingMessage());
    EXPECT_EQ(dirty->closeRequests, 0) << "the dirty editor is not touched while another exports";
    exporting->exporting = false;

    EXPECT_FALSE(quit_.requestQuit());
    EXPECT_EQ(dirty->closeRequests, 1);
    EXPECT_TRUE(dirty->window()->isVisible());
    dirty->dirty = false;

    EXPECT_TRUE(quit_.requestQuit());
    EXPECT_EQ(approved.count(), 1);
}

// A termination signal has nobody to answer the alert: the quit waits for the work instead.
TEST_F(QuitControllerTest, ASignalsQuitWaitsForTheLastClaimAndThenGoesAhead)
{
    QSignalSpy approved(&quit_, &QuitController::approved);
    AppModel::BusyClaim capture = app_.claimBusy();
    AppModel::ExportClaim exporting = app_.claimExport();
    EXPECT_FALSE(quit_.requestQuit(QuitController::Origin::signal));
    EXPECT_TRUE(quit_.quitPending());
    capture.release();
    EXPECT_EQ(approved.count(), 0) << "an export is still writing";
    exporting.release();
    EXPECT_EQ(approved.count(), 1);
    EXPECT_FALSE(quit_.quitPending());
    QTRY_VERIFY(quit_.alert() == nullptr);

    // An editor with unsaved edits is asked once, whatever work starts and ends meanwhile; 취소 in
    // another editor's question keeps the request, only in the question the quit asked it goes.
    auto *dirty = new TestEditor(Uuid::random()), *other = new TestEditor(Uuid::random());
    dirty->dirty = true; // the other's question came from the user closing it
    app_.addEditor(dirty);
    app_.addEditor(other);
    EXPECT_FALSE(quit_.requestQuit(QuitController::Origin::signal));
    app_.claimBusy().release();
    EXPECT_EQ(dirty->closeRequests, 1);
    Q_EMIT other->closeCancelled();
    EXPECT_TRUE(quit_.quitPending());
    Q_EMIT dirty->closeCancelled();
    EXPECT_FALSE(quit_.quitPending());
}

} // namespace
} // namespace tarn
