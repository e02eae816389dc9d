// SPDX-License-Identifier: GPL-3.0-or-later
// Where our windows open on a desktop of two monitors: each runs its checks in a child process
// on a private X server split into two RandR monitors and managed by openbox, driven by real
// pointer input (xdotool) on that server.
#include <QDir>
#include <QGuiApplication>
#include <QPainter>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "app/capture/DesktopScreens.h"
#include "app/editor/EditorWindowController.h"
#include "app/floating/QuickCaptureView.h"
#include "app/model/AppModel.h"
#include "support/Await.h"
#include "support/ChildProcess.h"
#include "support/PrivateDesktop.h"

namespace tarn {
namespace {

constexpr const char *childVariable = "TARN_WINDOWS_ON_SCREENS";
// A wide primary monitor on the left, a smaller one beside it.
const QRect leftMonitor(0, 0, 1920, 1080);
const QRect rightMonitor(1920, 0, 1280, 1024);

bool inChild() { return !qEnvironmentVariableIsEmpty(childVariable); }

QScreen *screenNamed(const QString &name)
{
    for (QScreen *screen : QGuiApplication::screens())
        if (screen->name() == name)
            return screen;
    return nullptr;
}

QScreen *leftScreen() { return screenNamed(QStringLiteral("tarn-left")); }
QScreen *rightScreen() { return screenNamed(QStringLiteral("tarn-right")); }

std::pair<int, int> xy(QPoint p) { return {p.x(), p.y()}; }

bool xdotool(const QStringList &arguments) { return QProcess::execute(QStringLiteral("xdotool"), arguments) == 0; }

void movePointer(QPoint to)
{
    ASSERT_TRUE(xdotool({QStringLiteral("mousemove"), QString::number(to.x()), QString::number(to.y())}));
}

// A press at `from`, a move and the release at `to` (root-window device pixels).
void drag(QPoint from, QPoint to)
{
    const QPoint middle = (from + to) / 2;
    ASSERT_TRUE(
        xdotool({QStringLiteral("mousemove"), QString::number(from.x()), QString::number(from.y()),
                 QStringLiteral("mousedown"), QStringLiteral("1"), QStringLiteral("mousemove"),
                 QString::number(middle.x()), QString::number(middle.y()), QStringLiteral("mousemove"),
                 QString::number(to.x()), QString::number(to.y()), QStringLiteral("mouseup"), QStringLiteral("1")}));
}

// A real click in the middle of a widget on the screen (at scale 1 points are pixels).
void click(QWidget *widget)
{
    movePointer(widget->mapToGlobal(widget->rect().center()));
    ASSERT_TRUE(xdotool({QStringLiteral("click"), QStringLiteral("1")}));
}

// The window is on `screen`, its frame centred on the available area (the title bar makes the
// frame's top a little taller than its bottom).
void expectCentredOn(QWidget *window, QScreen *screen, const char *what)
{
    ASSERT_NE(window, nullptr) << what;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window)) << what;
    EXPECT_EQ(window->screen()->name(), screen->name()) << what;
    const QPoint offset = window->frameGeometry().center() - screen->availableGeometry().center();
    EXPECT_LE(std::abs(offset.x()), 4) << what << " " << offset.x();
    EXPECT_LE(std::abs(offset.y()), 20) << what << " " << offset.y();
}

void photographDesktop(const QString &name)
{
    QDir().mkpath(QStringLiteral(TARN_TEST_OUTPUT_DIR));
    QImage desktop(leftMonitor.united(rightMonitor).size(), QImage::Format_RGB32);
    desktop.fill(Qt::black);
    QPainter painter(&desktop);
    for (QScreen *screen : QGuiApplication::screens())
        painter.drawImage(screen->geometry().topLeft(), DesktopScreens::grab(screen));
    painter.end();
    desktop.save(QStringLiteral(TARN_TEST_OUTPUT_DIR "/%1.png").arg(name));
}

QWidget *newestPin(FloatingWindows &floating)
{
    QWidget *pin = nullptr;
    for (QWidget *window : floating.windows())
        if (window->objectName() == FloatingWindows::pinIdentifier)
            pin = window;
    return pin;
}

// A model on a fresh library whose countdown steps are short.
class TwoScreenWindows : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!inChild())
            GTEST_SKIP() << "runs only as the child of ExclusiveWindowsOnTwoScreens";
        ASSERT_NE(leftScreen(), nullptr);
        ASSERT_NE(rightScreen(), nullptr);
        AppServices services;
        services.timings.countdownStep = std::chrono::milliseconds(300);
        app = std::make_unique<AppModel>(dir.filePath(QStringLiteral("library")), false, std::move(services));
        TestSupport::await(app->load());
        ASSERT_TRUE(app->libraryReady());
        app->preferences().setAutomaticOCR(false);
        app->preferences().setCopyAfterCapture(false);
        movePointer(leftMonitor.center());
    }

    // Starts a capture and drags its region on the right monitor.
    void captureOnTheRight(CaptureAction action)
    {
        app->beginCapture(action);
        ASSERT_TRUE(QTest::qWaitFor([&] { return app->selector().panels().size() == 2; }, 5000));
        for (SelectionView *panel : app->selector().panels())
            ASSERT_TRUE(QTest::qWaitForWindowExposed(panel));
        drag(rightMonitor.topLeft() + QPoint(200, 150), rightMonitor.topLeft() + QPoint(600, 450));
    }

    QTemporaryDir dir;
    std::unique_ptr<AppModel> app;
};

// A region capture on the right monitor, the pointer having started on the left: the countdown,
// the quick panel and the pin its button opens are all on the right one.
TEST_F(TwoScreenWindows, ARegionCapturesPanelsAndItsPinOpenOnTheCapturedScreen)
{
    app->preferences().setOpenEditor(false);
    app->preferences().setCaptureDelay(3);
    captureOnTheRight(CaptureAction::region);
    ASSERT_TRUE(QTest::qWaitFor([&] { return app->floating().countdownPanel != nullptr; }, 5000));
    expectCentredOn(app->floating().countdownPanel.get(), rightScreen(), "countdown");

    ASSERT_TRUE(QTest::qWaitFor([&] { return app->floating().capturePanel() != nullptr; }, 10000))
        << app->status().toStdString();
    FloatingPanel *panel = app->floating().capturePanel();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(panel));
    EXPECT_EQ(panel->screen()->name(), rightScreen()->name());
    EXPECT_EQ(xy(panel->pos()), xy(FloatingWindows::capturePanelOrigin(rightScreen()->availableGeometry())));
    photographDesktop(QStringLiteral("two-screens-quick-panel"));

    click(panel->findChild<QuickCaptureView *>()->pinButton());
    ASSERT_TRUE(QTest::qWaitFor([&] { return newestPin(app->floating()) != nullptr; }, 10000));
    expectCentredOn(newestPin(app->floating()), rightScreen(), "pin of the quick panel");
}

// The text window of a text capture opens where the text was taken.
TEST_F(TwoScreenWindows, ATextCapturesWindowOpensOnTheCapturedScreen)
{
    captureOnTheRight(CaptureAction::text);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !app->floating().windows().empty(); }, 20000))
        << app->status().toStdString();
    expectCentredOn(app->floating().windows().back(), rightScreen(), "text window");
}

// An editor on the right monitor pins its result there, wherever the pointer is.
TEST_F(TwoScreenWindows, AnEditorOnTheRightPinsItsResultOnTheRight)
{
    app->preferences().setOpenEditor(true);
    captureOnTheRight(CaptureAction::region);
    ASSERT_TRUE(QTest::qWaitFor([&] { return app->editorControllers().size() == 1; }, 10000))
        << app->status().toStdString();
    QWidget *editor = app->editorControllers().begin()->second->window();
    expectCentredOn(editor, rightScreen(), "editor of the capture");

    auto *pin = editor->findChild<QWidget *>(QStringLiteral("editor.pin"));
    ASSERT_NE(pin, nullptr);
    click(pin);
    movePointer(leftMonitor.center());
    ASSERT_TRUE(QTest::qWaitFor([&] { return newestPin(app->floating()) != nullptr; }, 10000));
    expectCentredOn(newestPin(app->floating()), rightScreen(), "pin of the editor");
    photographDesktop(QStringLiteral("two-screens-editor-pin"));
}

TEST(ExclusiveWindowsOnTwoScreens, OpenOnTheScreenOfTheWork)
{
    if (QGuiApplication::platformName() != QStringLiteral("xcb"))
        GTEST_SKIP() << "needs X11";
    TestSupport::PrivateDesktop desktop(
        leftMonitor.united(rightMonitor).size(),
        {{QStringLiteral("tarn-left"), leftMonitor}, {QStringLiteral("tarn-right"), rightMonitor}}, true);
    ASSERT_TRUE(desktop.ok()) << "no private X server with two monitors";
    const auto child = TestSupport::ChildProcess::run(
        "TwoScreenWindows.*", {{"DISPLAY", desktop.display().toStdString()}, {childVariable, "1"}},
        {"QT_QPA_PLATFORM", "QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS"}, std::chrono::minutes(2));
    EXPECT_EQ(child.exitCode, 0) << child.output;
    EXPECT_NE(child.output.find("[  PASSED  ] 3 tests"), std::string::npos) << child.output;
}

} // namespace
} // namespace tarn
