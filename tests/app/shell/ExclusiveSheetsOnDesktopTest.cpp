// SPDX-License-Identifier: GPL-3.0-or-later
// The recording and window-picker sheets on real desktops: a private X server split into two
// RandR monitors for the recording sheet, and windows of another process for the picker.
#include <QCursor>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "app/model/AppModel.h"
#include "app/settings/RecordingSetupView.h"
#include "app/settings/WindowPickerView.h"
#include "app/shell/SheetRouter.h"
#include "app/widgets/Theme.h"
#include "support/Await.h"
#include "support/PrivateDesktop.h"
#include "support/TestWindows.h"

namespace tarn {
namespace {

constexpr const char *twoScreensVariable = "TARN_TWO_SCREENS";
// The private server's monitors: a wide one on the left holding the RandR output, a narrow one
// on the right without an output of its own.
const QRect leftMonitor(0, 0, 1200, 1080);
const QRect rightMonitor(1200, 0, 720, 1080);

bool waitFor(const std::function<bool()> &condition, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QTest::qWait(20);
    }
    return true;
}

TEST(ExclusiveRecordingSheet, PreselectsThePointersScreenAndRecordsTheChosenOne)
{
    TestSupport::PrivateDesktop server(
        QSize(1920, 1080), {{QStringLiteral("tarn-left"), leftMonitor}, {QStringLiteral("tarn-right"), rightMonitor}});
    ASSERT_TRUE(server.ok()) << "no private X server with two monitors";
    QTemporaryDir dir;
    const auto child = TestSupport::ChildProcess::run(
        "TwoScreenChild.*",
        {{"DISPLAY", server.display().toStdString()}, {twoScreensVariable, dir.path().toStdString()}},
        {"QT_QPA_PLATFORM"}, std::chrono::minutes(2));
    EXPECT_EQ(child.exitCode, 0) << child.output;
    EXPECT_NE(child.output.find("[  PASSED  ] 1 test"), std::string::npos) << child.output;
}

// Runs inside the private server: the pointer rests on the right monitor.
TEST(TwoScreenChild, RecordingSheetFollowsThePointerAndRecordsTheChosenMonitor)
{
    if (qEnvironmentVariableIsEmpty(twoScreensVariable))
        GTEST_SKIP() << "runs only as the child of ExclusiveRecordingSheet";
    const QList<QScreen *> screens = QGuiApplication::screens();
    ASSERT_EQ(screens.size(), 2);
    QCursor::setPos(rightMonitor.center());
    ASSERT_TRUE(waitFor([] { return QCursor::pos() == rightMonitor.center(); }, 5000));

    AppModel app(qEnvironmentVariable(twoScreensVariable) + QStringLiteral("/library"), true);
    TestSupport::await(app.load());
    const std::vector<DisplayInfo> displays = app.captureService().source().displays();
    ASSERT_EQ(displays.size(), 2u);
    uint32_t leftID = 0;
    uint32_t rightID = 0;
    for (const DisplayInfo &display : displays)
        (display.nativeRect == rightMonitor ? rightID : leftID) = display.id;
    ASSERT_NE(rightID, 0u);
    ASSERT_NE(leftID, rightID);

    SheetPresenter presenter(app);
    app.present(AppSheet::recording);
    auto *sheet = qobject_cast<RecordingSetupView *>(presenter.current());
    ASSERT_NE(sheet, nullptr);
    // Both monitors are offered under their own identities, the pointer's one chosen.
    ASSERT_EQ(sheet->displayPicker()->count(), 2);
    EXPECT_NE(sheet->displayPicker()->itemData(0), sheet->displayPicker()->itemData(1));
    EXPECT_EQ(sheet->displayID(), rightID);

    // The next presentation starts again from the pointer, now on the left.
    sheet->header()->closeButton()->click();
    QCursor::setPos(leftMonitor.center());
    ASSERT_TRUE(waitFor([] { return QCursor::pos() == leftMonitor.center(); }, 5000));
    app.toggleRecording();
    sheet = qobject_cast<RecordingSetupView *>(presenter.current());
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->displayID(), leftID);

    // The user picks the right monitor and starts: that monitor alone is recorded.
    const int right = sheet->displayPicker()->findData(int(rightID));
    sheet->displayPicker()->setCurrentIndex(right);
    Q_EMIT sheet->displayPicker()->activated(right);
    sheet->startButton()->click();
    EXPECT_EQ(app.sheet(), std::nullopt);
    ASSERT_TRUE(waitFor([&] { return app.recorder().state() == RecordingService::State::recording; }, 20000))
        << app.status().toStdString();
    QTest::qWait(1500);
    app.toggleRecording();
    const auto video = [&] {
        for (const CaptureItem &item : app.items())
            if (item.kind == CaptureKind::video)
                return std::optional<CaptureItem>(item);
        return std::optional<CaptureItem>();
    };
    ASSERT_TRUE(waitFor([&] { return video().has_value(); }, 30000)) << app.status().toStdString();
    EXPECT_EQ(QSize(video()->width, video()->height), rightMonitor.size());
}

// Windows of another process, listed as the capture service finds them, in the picker.
TEST(ExclusiveWindowPicker, RealWindowsOfAnotherProcessAreListedAndOneIsCaptured)
{
    Theme::useIconTheme();
    const QString first = QStringLiteral("Tarnwick Pícker Ünïcode 창");
    const QString second = QStringLiteral("Tarnwick picker other");
    TestSupport::TestWindows child(first + QStringLiteral("|320|240|p;") + second + QStringLiteral("|300|200|"));
    QTemporaryDir dir;
    AppModel app(dir.filePath(QStringLiteral("library")), true);
    TestSupport::await(app.load());
    const std::optional<WindowInfo> shown = child.waitForWindow(app.captureService().source(), first);
    ASSERT_TRUE(shown);
    ASSERT_TRUE(child.waitForWindow(app.captureService().source(), second));

    app.preferences().setOpenEditor(false);
    app.preferences().setAutomaticOCR(false);
    SheetPresenter presenter(app);
    app.beginCapture(CaptureAction::window);
    ASSERT_TRUE(waitFor([&] { return qobject_cast<WindowPickerView *>(presenter.current()) != nullptr; }, 10000));
    auto *picker = qobject_cast<WindowPickerView *>(presenter.current());
    const auto titles = [picker] {
        QStringList listed;
        for (const WindowRow *row : picker->rows())
            if (row->window().title.startsWith(QStringLiteral("Tarnwick ")))
                listed << row->window().title;
        return listed;
    };
    EXPECT_TRUE(titles().contains(first));
    EXPECT_TRUE(titles().contains(second));
    picker->searchField()->setText(QStringLiteral("PICKER"));
    EXPECT_EQ(titles().size(), 2);
    // The child is the same program: its application name finds both.
    picker->searchField()->setText(QStringLiteral("APP_TESTS"));
    EXPECT_EQ(titles().size(), 2);
    picker->searchField()->setText(QStringLiteral("picker unicode 창"));
    ASSERT_EQ(titles(), QStringList{first});

    // While another capture runs a click starts nothing and the sheet stays.
    WindowRow *row = picker->rows().front();
    {
        const AppModel::BusyClaim busy = app.claimBusy();
        row->click();
        EXPECT_EQ(app.sheet(), AppSheet::windows);
        EXPECT_EQ(presenter.current(), picker);
    }
    row->click();
    EXPECT_EQ(app.sheet(), std::nullopt);
    ASSERT_TRUE(waitFor([&] { return !app.items().empty() && !app.isBusy(); }, 20000)) << app.status().toStdString();
    const CaptureItem &item = app.items().back();
    EXPECT_EQ(QString::fromStdString(item.title), first);
    // The window with its frame, as the window manager drew it.
    EXPECT_EQ(QSize(item.width, item.height), shown->frame.size());
}

} // namespace
} // namespace tarn
