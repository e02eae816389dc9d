// SPDX-License-Identifier: GPL-3.0-or-later
// Where our windows open on a desktop of two monitors: each runs its checks in a child process
// on a private X server split into two RandR monitors and managed by openbox, driven by real
// pointer input (xdotool) on that server.
#include <csignal>

#include <QDir>
#include <QGuiApplication>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollArea>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "app/capture/DesktopScreens.h"
#include "app/editor/EditorWindowController.h"
#include "app/floating/QuickCaptureView.h"
#include "app/library/LibraryView.h"
#include "app/model/AppModel.h"
#include "app/settings/RecordingSetupView.h"
#include "app/shell/LibraryBinding.h"
#include "app/shell/LibraryWindow.h"
#include "app/shell/TarnAppDelegate.h"
#include "app/widgets/Palette.h"
#include "platform/x11/X11Connection.h"
#include "support/Await.h"
#include "support/LayoutFit.h"
#include "support/PrivateDesktop.h"
#include "support/TestWindows.h"
#include "support/WindowStacking.h"
#include "support/XInput.h"

namespace tarn {
namespace {
using TestSupport::click, TestSupport::drag, TestSupport::moveTo, TestSupport::xdotool,
    TestSupport::LayoutFitDetail::rectText;

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

// Printable forms of points and sizes for the checks.
std::pair<int, int> xy(QPoint p) { return {p.x(), p.y()}; }
std::pair<int, int> wh(QSize s) { return {s.width(), s.height()}; }

// Waits until the window is shown and the window manager's frame around it is known.
void waitUntilFramed(QWidget *window, const char *what)
{
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window)) << what;
    if (window->windowFlags() & Qt::FramelessWindowHint)
        return;
    ASSERT_TRUE(QTest::qWaitFor([window] { return window->frameGeometry() != window->geometry(); }, 5000)) << what;
}

// The window is on `screen`, its frame centred on the available area (the title bar makes the
// frame's top a little taller than its bottom).
void expectCentredOn(QWidget *window, QScreen *screen, const char *what)
{
    ASSERT_NE(window, nullptr) << what;
    waitUntilFramed(window, what);
    EXPECT_EQ(window->screen()->name().toStdString(), screen->name().toStdString()) << what;
    const QPoint offset = window->frameGeometry().center() - screen->availableGeometry().center();
    EXPECT_LE(std::abs(offset.x()), 4) << what << " " << offset.x();
    EXPECT_LE(std::abs(offset.y()), 20) << what << " " << offset.y();
}

// The whole desktop in device pixels, each screen where its display sits on the root window.
void photographDesktop(const QString &name)
{
    QRect desktop;
    for (const DisplayInfo &display : DesktopScreens::source().displays())
        desktop = desktop.united(display.nativeRect);
    QImage picture(desktop.size(), QImage::Format_RGB32);
    picture.fill(Qt::black);
    QPainter painter(&picture);
    for (QScreen *screen : QGuiApplication::screens()) {
        QImage grabbed = DesktopScreens::grab(screen);
        grabbed.setDevicePixelRatio(1);
        painter.drawImage(screen->geometry().topLeft(), grabbed);
    }
    painter.end();
    QDir().mkpath(QStringLiteral(TARN_TEST_OUTPUT_DIR));
    picture.save(QStringLiteral(TARN_TEST_OUTPUT_DIR "/%1.png").arg(name));
}

// The numbers on the line an X client printed after `label` (xwininfo's "Width:", xprop's "= ").
QList<int> numbersAfter(const QString &output, const QString &label)
{
    const qsizetype at = output.indexOf(label);
    QList<int> numbers;
    for (const auto &number : QRegularExpression(QStringLiteral("-?\\d+"))
                                  .globalMatch(at < 0 ? QString() : output.mid(at + label.size()).section(u'\n', 0, 0)))
        numbers << number.captured().toInt();
    return numbers;
}

// What the window manager shows of a window, in root-window device pixels: its place (xwininfo)
// widened by the frame drawn around it (_NET_FRAME_EXTENTS); none before it is framed.
QRect managedFrame(const QWidget *window)
{
    const QStringList id{QStringLiteral("-id"), QString::number(window->winId())};
    const QList<int> extents = numbersAfter(
        TestSupport::clientOutput(QStringLiteral("xprop"), id + QStringList{QStringLiteral("_NET_FRAME_EXTENTS")}),
        QStringLiteral("= "));
    if (extents.size() != 4)
        return {};
    const QString info = TestSupport::clientOutput(QStringLiteral("xwininfo"), id);
    const auto value = [&](const char *label) { return numbersAfter(info, QString::fromLatin1(label)).value(0); };
    return QRect(value("Absolute upper-left X:"), value("Absolute upper-left Y:"), value("Width:"), value("Height:"))
        .adjusted(-extents[0], -extents[2], extents[1], extents[3]);
}

// The part of the window manager's work area (_NET_WORKAREA) on the monitor at `monitor`.
QRect workArea(const QRect &monitor)
{
    const QList<int> area =
        numbersAfter(TestSupport::rootProperty(QStringLiteral("_NET_WORKAREA")), QStringLiteral("= "));
    return area.size() >= 4 ? monitor.intersected(QRect(area[0], area[1], area[2], area[3])) : monitor;
}

// A window on the monitor at `monitor`: its frame, title bar included, lies in the monitor's work
// area, and nothing in it is cut off but what its scroll bars reach. The desktop is kept as `photo`.
void expectWholeInWorkArea(QWidget *window, const QRect &monitor, const char *what, const QString &photo)
{
    // The window manager's word on the frame: Qt's may stay unknown for a window shown again.
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window)) << what;
    ASSERT_TRUE(QTest::qWaitFor([window] { return managedFrame(window).isValid(); }, 20000)) << what;
    const QRect area = workArea(monitor);
    QRect frame;
    (void)QTest::qWaitFor([&] { return area.contains(frame = managedFrame(window)); }, 3000);
    EXPECT_TRUE(area.contains(frame)) << what << ": frame " << rectText(frame).toStdString() << ", work area "
                                      << rectText(area).toStdString();
    const QStringList faults = TestSupport::layoutFaults(window);
    EXPECT_TRUE(faults.isEmpty()) << what << ":\n" << faults.join(QLatin1Char('\n')).toStdString();
    photographDesktop(photo);
}

// Counts the questions about a new window's frame (_NET_REQUEST_FRAME_EXTENTS) sent on the
// display: each costs a window and a wait for the window manager's answer.
struct FrameQuestions {
    FrameQuestions()
    {
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(x.get(), x.root(), XCB_CW_EVENT_MASK, &mask);
        xcb_flush(x.get());
    }
    int count()
    {
        while (const auto event = X11::reply(xcb_poll_for_event(x.get())))
            asked += (event->response_type & 0x7F) == XCB_CLIENT_MESSAGE &&
                reinterpret_cast<const xcb_client_message_event_t *>(event.get())->type ==
                    x.atom("_NET_REQUEST_FRAME_EXTENTS");
        return asked;
    }
    X11::Connection x;
    int asked = 0;
};

// A control painted in `colour` shows on the screen out to its edges (the monitor's origin is
// the desktop's: points times the scale are device pixels).
void expectOnScreen(const QWidget *control, const QColor &colour, const char *what)
{
    const qreal ratio = control->devicePixelRatioF();
    const QRect device(control->mapToGlobal(QPoint()) * ratio, control->size() * ratio);
    const QImage shown = DesktopScreens::source().grab(device, false);
    const QPoint c = device.center() - device.topLeft();
    for (const QPoint p :
         {QPoint(c.x(), 3), QPoint(c.x(), device.height() - 4), QPoint(4, c.y()), QPoint(device.width() - 5, c.y())}) {
        const QColor seen = shown.pixelColor(p);
        EXPECT_LE(std::abs(seen.red() - colour.red()) + std::abs(seen.green() - colour.green()) +
                      std::abs(seen.blue() - colour.blue()),
                  24)
            << what << " shows " << seen.name().toStdString() << " at " << p.x() << "," << p.y() << " of "
            << rectText(device).toStdString();
    }
}

// The library's column fits its viewport: nothing scrolls sideways, and once the screen stands
// still it shows the window's background all down the column's right margin, which a hero button
// or a card column running past the viewport would cover.
void expectLibraryFitsItsWidth(const LibraryView *view, const char *what)
{
    const QWidget *viewport = view->scrollArea()->viewport();
    EXPECT_FALSE(view->scrollArea()->horizontalScrollBar()->isVisible()) << what;
    const QRect shown(viewport->mapToGlobal(QPoint()) * 2, viewport->size() * 2); // device pixels at scale 2
    const auto marginClear = [&] {
        const QImage seen = DesktopScreens::source().grab(shown, false);
        QTest::qWait(100);
        bool clear = DesktopScreens::source().grab(shown, false) == seen; // the screen stands still
        for (int y = 0; y < seen.height(); ++y)
            clear = clear && seen.pixelColor(seen.width() - 16, y) == Palette::background;
        return clear;
    };
    EXPECT_TRUE(QTest::qWaitFor(marginClear, 5000)) << what << ": something covers the right margin";
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
        xdotool(moveTo(leftMonitor.center()));
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

    // A capture in the library, from a PNG file.
    CaptureItem importedCapture()
    {
        const QString file = dir.filePath(QStringLiteral("shot.png"));
        QImage image(640, 400, QImage::Format_RGB32);
        image.fill(QColor(40, 90, 160));
        EXPECT_TRUE(image.save(file));
        TestSupport::await(app->importURLs({file}));
        EXPECT_FALSE(app->items().empty());
        return app->items().empty() ? CaptureItem() : app->items().front();
    }

    // A library window with its real content, its frame restored as at launch.
    std::unique_ptr<LibraryWindow> restoredLibrary(bool demo)
    {
        auto window = std::make_unique<LibraryWindow>(demo);
        window->setCentralWidget(makeLibraryView(*app));
        window->restoreFrame();
        return window;
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
    EXPECT_EQ(panel->screen()->name().toStdString(), rightScreen()->name().toStdString());
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
    xdotool(moveTo(leftMonitor.center()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return newestPin(app->floating()) != nullptr; }, 10000));
    expectCentredOn(newestPin(app->floating()), rightScreen(), "pin of the editor");
    photographDesktop(QStringLiteral("two-screens-editor-pin"));
}

// The library window comes back on the screen its saved frame lies on while that screen is
// there, else on the pointer's; a size saved larger than the screen shrinks to it.
TEST_F(TwoScreenWindows, TheLibraryReturnsToItsScreenWhileItIsThereElseOpensAtThePointer)
{
    xdotool(moveTo(rightMonitor.center()));
    const struct {
        const char *name;
        bool demo; // the demo run's frame is never saved here
        std::optional<QRect> saved;
        QScreen *screen;
    } cases[] = {
        {"nothing saved", true, std::nullopt, rightScreen()},
        {"saved on the left", false, QRect(300, 100, 1400, 900), leftScreen()},
        {"saved where no screen is", false, QRect(5000, 100, 1400, 900), rightScreen()},
        {"saved larger than its screen", false, QRect(1950, 20, 2500, 1400), rightScreen()},
    };
    for (const auto &round : cases) {
        SCOPED_TRACE(round.name);
        if (round.saved) {
            LibraryWindow saver(false);
            saver.setCentralWidget(makeLibraryView(*app));
            saver.setGeometry(*round.saved);
            saver.saveFrame();
        }
        const std::unique_ptr<LibraryWindow> window = restoredLibrary(round.demo);
        window->show();
        expectCentredOn(window.get(), round.screen, round.name);
        // A saved size shrinks until the frame around it fits.
        const QRect available = round.screen->availableGeometry();
        EXPECT_TRUE(available.contains(window->frameGeometry()));
        const QSize frame = window->frameGeometry().size() - window->size();
        if (round.saved) {
            EXPECT_EQ(wh(window->size()), wh(round.saved->size().boundedTo(available.size() - frame)));
        }
        window->close();
    }
}

// An editor opened from the library opens on the library window's screen, not the pointer's.
TEST_F(TwoScreenWindows, AnEditorOpensOnTheScreenOfTheLibraryWindowThatOpenedIt)
{
    const CaptureItem item = importedCapture();
    xdotool(moveTo(rightMonitor.center()));
    const std::unique_ptr<LibraryWindow> library = restoredLibrary(true);
    library->show();
    app->setMainWindow(library.get());
    expectCentredOn(library.get(), rightScreen(), "library");
    xdotool(moveTo(leftMonitor.center()));

    app->openItem(item);
    ASSERT_TRUE(QTest::qWaitFor([&] { return app->editorControllers().size() == 1; }, 10000));
    expectCentredOn(app->editorControllers().begin()->second->window(), rightScreen(), "editor");
    photographDesktop(QStringLiteral("two-screens-editor-from-library"));
}

// Runs the child tests `filter` names on a private desktop of the two monitors (the left one
// primary) managed by openbox; `scales` sets the monitors' scales, none keeps both at 1.
void runOnTwoMonitors(const char *filter, QRect left, QRect right, const char *scales, const char *passed)
{
    if (QGuiApplication::platformName() != QStringLiteral("xcb"))
        GTEST_SKIP() << "needs X11";
    TestSupport::PrivateDesktop desktop(
        left.united(right).size(), {{QStringLiteral("tarn-left"), left}, {QStringLiteral("tarn-right"), right}}, true);
    ASSERT_TRUE(desktop.ok()) << "no private X server with two monitors";
    TestSupport::ChildProcess::Variables variables{{"DISPLAY", desktop.display().toStdString()}, {childVariable, "1"}};
    std::vector<std::string> unset{"QT_QPA_PLATFORM", "QT_SCALE_FACTOR"};
    if (scales)
        variables.emplace_back("QT_SCREEN_SCALE_FACTORS", scales);
    else
        unset.emplace_back("QT_SCREEN_SCALE_FACTORS");
    const auto child = TestSupport::ChildProcess::run(filter, variables, unset, std::chrono::minutes(2));
    EXPECT_EQ(child.exitCode, 0) << child.output;
    EXPECT_NE(child.output.find(passed), std::string::npos) << child.output;
}

TEST(ExclusiveWindowsOnTwoScreens, OpenOnTheScreenOfTheWork)
{
    runOnTwoMonitors("TwoScreenWindows.*", leftMonitor, rightMonitor, nullptr, "[  PASSED  ] 5 tests");
}

// ---- mixed scales ---------------------------------------------------------------------------

// A 1080p monitor scaled by 2 (960 x 540 points, smaller than the library's and the editor's
// smallest sizes) holding the primary output, and one at scale 1 beside it.
const QRect doubleMonitor(0, 0, 1920, 1080);
const QRect singleMonitor(1920, 0, 1920, 1080);

// Moves a window the way the window manager does when the user drags it: the X server moves it
// and keeps its size in device pixels.
void moveWindow(QWidget *window, QPoint device)
{
    xdotool({QStringLiteral("windowmove"), QString::number(window->winId()), QString::number(device.x()),
             QString::number(device.y())});
}

// The library window's frame as its last close saved it, in points.
QSize savedLibrarySize()
{
    const QSettings settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Tarnwick"),
                             QStringLiteral("Tarnwick"));
    return settings.value(QStringLiteral("WindowFrames/") + LibraryWindow::autosaveName(false)).toRect().size();
}

class MixedScaleWindows : public TwoScreenWindows {
protected:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("QT_SCREEN_SCALE_FACTORS"))
            GTEST_SKIP() << "runs only as the child of ExclusiveWindowsOnMixedScales";
        TwoScreenWindows::SetUp();
        ASSERT_DOUBLE_EQ(leftScreen()->devicePixelRatio(), 2.0);
        ASSERT_DOUBLE_EQ(rightScreen()->devicePixelRatio(), 1.0);
    }
};

// On a screen smaller than their smallest sizes the library and the editor open with their frames,
// title bar included, inside the work area of that screen, whole but for what scrolls.
TEST_F(MixedScaleWindows, WindowsLargerThanTheScreenKeepTheirTitleBarsOnIt)
{
    const CaptureItem item = importedCapture();
    xdotool(moveTo(doubleMonitor.center()));
    const std::unique_ptr<LibraryWindow> library = restoredLibrary(true);
    library->show();
    app->setMainWindow(library.get());
    const auto expectReachable = [](QWidget *window, const char *what) {
        expectWholeInWorkArea(window, doubleMonitor, what, QStringLiteral("scale-two-") + QString::fromLatin1(what));
        EXPECT_EQ(window->screen()->name().toStdString(), leftScreen()->name().toStdString()) << what;
    };
    expectReachable(library.get(), "library");

    app->openItem(item);
    ASSERT_TRUE(QTest::qWaitFor([&] { return app->editorControllers().size() == 1; }, 10000));
    expectReachable(app->editorControllers().begin()->second->window(), "editor");
}

// Dragged from the 1x monitor to the 2x one and back, the library keeps its size in points, and
// closing it on the 2x monitor saves that size, not half of it.
TEST_F(MixedScaleWindows, AWindowMovedBetweenScalesKeepsItsSizeInPoints)
{
    xdotool(moveTo(singleMonitor.center()));
    const std::unique_ptr<LibraryWindow> library = restoredLibrary(false);
    library->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(library.get()));
    ASSERT_EQ(library->screen(), rightScreen());
    const QSize points = library->size();

    const struct {
        const char *name;
        QPoint to; // device pixels
        QScreen *screen;
    } moves[] = {{"to the 2x monitor", doubleMonitor.topLeft() + QPoint(100, 60), leftScreen()},
                 {"back to the 1x monitor", singleMonitor.topLeft() + QPoint(100, 60), rightScreen()},
                 {"to the 2x monitor again", doubleMonitor.topLeft() + QPoint(40, 40), leftScreen()}};
    for (const auto &move : moves) {
        SCOPED_TRACE(move.name);
        moveWindow(library.get(), move.to);
        ASSERT_TRUE(QTest::qWaitFor([&] { return library->screen() == move.screen; }, 5000));
        (void)QTest::qWaitFor([&] { return library->size() == points; }, 5000); // the check below tells
        EXPECT_EQ(wh(library->size()), wh(points));
    }
    photographDesktop(QStringLiteral("mixed-scales-library-moved"));
    library->close();
    EXPECT_EQ(wh(savedLibrarySize()), wh(points));
}

// A region dragged between odd device pixels of the 2x monitor is captured whole: the stored
// original holds the dragged pixels widened to whole points, each one the backdrop's pixel of
// its own place. The backdrop's program is stopped once it shows, as a busy program that does
// not repaint at once: what the overlay leaves on the screen must be the screen itself.
TEST_F(MixedScaleWindows, ARegionDraggedFromOddDevicePixelsIsCapturedWhole)
{
    const QPoint from(1001, 601);
    const QPoint to(1801, 1001);
    ASSERT_TRUE(doubleMonitor.contains(to));
    auto backdrop = std::make_unique<TestSupport::TestWindows>(
        QStringLiteral("coordinates|%1|%2|c").arg(doubleMonitor.width()).arg(doubleMonitor.height()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return TestSupport::showsCoordinates(DesktopScreens::source(), to); }, 8000))
        << "no backdrop";
    ASSERT_EQ(::kill(pid_t(backdrop->pid()), SIGSTOP), 0);
    app->preferences().setOpenEditor(false);
    xdotool(moveTo(doubleMonitor.center()));
    app->beginCapture(CaptureAction::region);
    ASSERT_TRUE(QTest::qWaitFor([&] { return app->selector().panels().size() == 2; }, 5000));
    for (SelectionView *panel : app->selector().panels())
        ASSERT_TRUE(QTest::qWaitForWindowExposed(panel));

    xdotool(TestSupport::heldFrom(from, {to}));
    QTest::qWait(300);
    photographDesktop(QStringLiteral("scale-two-region-drag"));
    xdotool({QStringLiteral("mouseup"), QStringLiteral("1")});
    ASSERT_TRUE(QTest::qWaitFor([&] { return app->floating().capturePanel() != nullptr; }, 10000))
        << app->status().toStdString();
    backdrop.reset(); // it stays above every managed window, the quick panel too
    QTest::qWait(300);
    photographDesktop(QStringLiteral("scale-two-quick-panel"));

    // A point is two device pixels: the capture starts on the even pixel at or before the first
    // dragged one and ends on the odd one at or after the last.
    const QRect expected(QPoint(from.x() & ~1, from.y() & ~1), QPoint(to.x() | 1, to.y() | 1));
    const QImage stored(app->repository().originalURL(app->items().front()));
    ASSERT_EQ(wh(stored.size()), wh(expected.size()));
    int mismatches = 0;
    for (int y = 0; y < stored.height(); ++y)
        for (int x = 0; x < stored.width(); ++x)
            mismatches += stored.pixel(x, y) != TestSupport::coordinatePixel(expected.topLeft() + QPoint(x, y));
    EXPECT_EQ(mismatches, 0);
}

TEST(ExclusiveWindowsOnMixedScales, StayWholeAndReachable)
{
    runOnTwoMonitors("MixedScaleWindows.*", doubleMonitor, singleMonitor, "tarn-left=2;tarn-right=1",
                     "[  PASSED  ] 3 tests");
}

// The test desktop's own 1920 x 1080 screen, with its panel, at QT_SCALE_FACTOR 2: 960 x 540
// points, smaller than the library's and the editor's smallest sizes and than the recording sheet.
TEST(ScaledScreenWindows, TheLibraryTheEditorAndTheRecordingSheetOpenWholeInTheWorkArea)
{
    if (!inChild() || qEnvironmentVariable("QT_SCALE_FACTOR") != QStringLiteral("2"))
        GTEST_SKIP() << "runs only as the child of ExclusiveWindowsOnAScaledScreen";
    FrameQuestions questions;
    QTemporaryDir dir;
    TarnAppDelegate delegate(dir.filePath(QStringLiteral("library")), true, std::nullopt);
    QSignalSpy started(&delegate, &TarnAppDelegate::startUpFinished);
    delegate.applicationDidFinishLaunching();
    ASSERT_TRUE(started.count() > 0 || started.wait(30000));
    AppModel &app = delegate.app();
    ASSERT_TRUE(QTest::qWaitFor([&] { return app.items().size() >= 6; }, 30000));
    LibraryWindow *library = delegate.libraryWindow();
    const QRect monitor = DesktopScreens::source().displays().front().nativeRect;
    expectWholeInWorkArea(library, monitor, "library", QStringLiteral("scaled-screen-library"));
    // Fewer card columns and the hero's buttons in two rows, at the top and scrolled (by the
    // wheel) down to the cards, in the grid and in the list.
    auto *view = qobject_cast<LibraryView *>(library->centralWidget());
    expectLibraryFitsItsWidth(view, "hero");
    const QScrollBar *scroll = view->scrollArea()->verticalScrollBar();
    for (const bool grid : {true, false}) {
        app.setGridView(grid);
        const QPoint at = view->scrollArea()->viewport()->mapToGlobal(QPoint(20, 20)) * 2;
        xdotool(moveTo(at) + QStringLiteral("click --repeat 60 --delay 5 5").split(u' '));
        ASSERT_TRUE(QTest::qWaitFor([&] { return scroll->value() == scroll->maximum(); }, 5000));
        expectLibraryFitsItsWidth(view, grid ? "grid" : "list");
        photographDesktop(QStringLiteral("scaled-screen-library-") + QLatin1String(grid ? "grid" : "list"));
    }

    // The recording sheet, from its global key: its start button stays on the screen.
    xdotool({QStringLiteral("key"), QStringLiteral("ctrl+shift+4")});
    RecordingSetupView *sheet = nullptr;
    ASSERT_TRUE(QTest::qWaitFor([&] { return (sheet = library->findChild<RecordingSetupView *>()); }, 5000));
    expectWholeInWorkArea(sheet, monitor, "recording sheet", QStringLiteral("scaled-screen-recording-sheet"));
    expectOnScreen(sheet->startButton(), Palette::accent, "start button");
    app.setSheet(std::nullopt);

    app.openItem(app.items().front());
    ASSERT_TRUE(QTest::qWaitFor([&] { return app.editorControllers().size() == 1; }, 10000));
    expectWholeInWorkArea(app.editorControllers().begin()->second->window(), monitor, "editor",
                          QStringLiteral("scaled-screen-editor"));
    // The window manager is asked once about a resizable window and once about a fixed-size one.
    const int asked = questions.count();
    EXPECT_TRUE(asked >= 1 && asked <= 2) << asked << " questions";
}

TEST(ExclusiveWindowsOnAScaledScreen, OpenWholeInTheWorkArea)
{
    if (QGuiApplication::platformName() != QStringLiteral("xcb"))
        GTEST_SKIP() << "needs X11";
    const auto child =
        TestSupport::ChildProcess::run("ScaledScreenWindows.*", {{childVariable, "1"}, {"QT_SCALE_FACTOR", "2"}},
                                       {"QT_QPA_PLATFORM", "QT_SCREEN_SCALE_FACTORS"}, std::chrono::minutes(2));
    EXPECT_EQ(child.exitCode, 0) << child.output;
    EXPECT_NE(child.output.find("[  PASSED  ] 1 test"), std::string::npos) << child.output;
}

} // namespace
} // namespace tarn
