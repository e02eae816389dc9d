// SPDX-License-Identifier: GPL-3.0-or-later
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "app/capture/DesktopScreens.h"
#include "app/capture/RegionSelector.h"
#include "platform/ScreenSource.h"
#include "support/Await.h"
#include "support/TestWindows.h"
#include "support/XInput.h"

namespace tarn {
namespace {

TEST(RegionSelectorGeometry, DragsRoundOutwardsInsideTheScreenAndTheLabelShowsDevicePixelsOnIt)
{
    const QSizeF screen(1920, 1080);
    EXPECT_FALSE(SelectionView::finalRect({50, 50}, {50, 50}, screen));
    EXPECT_FALSE(SelectionView::finalRect({50, 50}, {53, 150}, screen));
    EXPECT_FALSE(SelectionView::finalRect({50, 50}, {150, 53.9}, screen));
    EXPECT_EQ(SelectionView::finalRect({10, 10}, {14, 14}, screen), QRect(10, 10, 4, 4));
    EXPECT_EQ(SelectionView::finalRect({20.2, 30.5}, {10.5, 40.7}, screen), QRect(10, 30, 11, 11));
    EXPECT_EQ(SelectionView::finalRect({1900.5, 1000}, {1920, 1080}, screen), QRect(1900, 1000, 20, 80));

    // The label shows device pixels and stays on the screen.
    EXPECT_EQ(SelectionView::sizeLabel(QRectF(3, 4, 100.5, 50), 2), QStringLiteral("201 × 100 px   ·   ESC 취소"));
    EXPECT_EQ(SelectionView::sizeLabel(QRectF(0, 0, 1280, 720), 1), QStringLiteral("1280 × 720 px   ·   ESC 취소"));
    // Room above: 36 points above the rectangle.
    EXPECT_EQ(SelectionView::labelPosition(QRectF(300, 43, 100, 100), screen), QPointF(300, 7));
    // At the top edge: below it.
    EXPECT_EQ(SelectionView::labelPosition(QRectF(300, 42, 100, 100), screen), QPointF(300, 152));
    // At the right edge the box's right edge meets the screen's; at the left the text keeps 12.
    const QPointF right = SelectionView::labelPosition(QRectF(1850, 500, 60, 60), screen);
    EXPECT_DOUBLE_EQ(right.x() - 12 + 292, 1920);
    EXPECT_DOUBLE_EQ(SelectionView::labelPosition(QRectF(0, 500, 60, 60), screen).x(), 12);

    // The pointer on a screen's last pixel column and row stands for its edges, at any scale
    // (its size in points rounded as Qt rounds it); one pixel before them, it stays.
    const std::pair<QSize, double> screens[] = {{{1920, 1080}, 1},   {{1920, 1080}, 2},  {{1366, 768}, 1.25},
                                                {{2560, 1440}, 1.5}, {{1366, 768}, 1.5}, {{1440, 900}, 1.75}};
    for (const auto &[pixels, scale] : screens) {
        const QSizeF points = (QSizeF(pixels) / scale).toSize();
        const auto kept = [&, pixels = pixels, scale = scale](QPointF p) { // clang: no bindings in [&]
            const QPointF k = SelectionView::keptOnScreen(p, points, pixels, scale);
            return std::pair(k.x(), k.y());
        };
        const QPointF last = QPointF(pixels.width() - 1, pixels.height() - 1) / scale,
                      before = last - QPointF(1, 1) / scale;
        EXPECT_EQ(kept(last), std::pair(points.width(), points.height())) << pixels.width() << " at " << scale;
        EXPECT_EQ(kept(before), std::pair(before.x(), before.y())) << pixels.width() << " at " << scale;
    }
}

using TestSupport::heldFrom, TestSupport::xdotool;

bool overlaysShown(RegionSelector &selector)
{
    if (static_cast<qsizetype>(selector.panels().size()) != QGuiApplication::screens().size())
        return false;
    for (SelectionView *panel : selector.panels())
        if (!QTest::qWaitForWindowExposed(panel, 5000))
            return false;
    QTest::qWait(100);
    return true;
}

// A drag made with real pointer events on the X server returns the display and rectangle, and
// the overlays of every screen close. Without a compositor the overlay shows the screen frozen
// and dimmed, undimmed inside the hole.
TEST(ExclusiveRegionSelector, RealDragReturnsTheDisplayAndRectangle)
{
    if (QGuiApplication::platformName() != QStringLiteral("xcb") || !DesktopScreens::source().isAvailable())
        GTEST_SKIP() << "needs the X display";
    TestSupport::TestWindows child(QStringLiteral("Tarnwick selection backdrop|600|400|pa"));
    const auto backdrop = child.waitForWindow(DesktopScreens::source(), QStringLiteral("Tarnwick selection backdrop"));
    ASSERT_TRUE(backdrop);
    ASSERT_TRUE(TestSupport::TestWindows::waitForPattern(DesktopScreens::source(), backdrop->contentRect));
    const QPoint origin = backdrop->contentRect.topLeft(); // one screen at scale 1 here

    RegionSelector selector;
    selector.setSettleDelay(std::chrono::milliseconds(10));
    auto task = selector.select();
    ASSERT_TRUE(selector.isRunning());
    ASSERT_TRUE(overlaysShown(selector));

    xdotool(heldFrom(origin + QPoint(100, 120), {origin + QPoint(250, 200), origin + QPoint(400, 300)}));
    QTest::qWait(200);
    const QImage overlay = selector.panels().front()->grab().toImage();
    QDir().mkpath(QStringLiteral(TARN_TEST_OUTPUT_DIR));
    overlay.save(QStringLiteral(TARN_TEST_OUTPUT_DIR "/region-selector-drag.png"));
    xdotool({QStringLiteral("mouseup"), QStringLiteral("1")});

    const auto selection = TestSupport::await(std::move(task), std::chrono::seconds(10));
    ASSERT_TRUE(selection);
    EXPECT_EQ(selection->displayID, DesktopScreens::displayID(QGuiApplication::primaryScreen()));
    EXPECT_NE(selection->displayID, 0u);
    EXPECT_EQ(selection->rect, QRect(origin + QPoint(100, 120), QSize(300, 180)));

    if (!DesktopScreens::source().compositorRunning()) {
        const QPoint inside = origin + QPoint(150, 150); // top-left quadrant of the pattern
        const QPoint outside = origin + QPoint(50, 150);
        const QRgb red = TestSupport::patternPixel(backdrop->contentRect.size(), {150, 150});
        EXPECT_EQ(overlay.pixel(inside), red);
        EXPECT_EQ(qRed(overlay.pixel(outside)), qRound(qRed(red) * 0.7)) << "dimmed by black at 30 %";
    }
    EXPECT_FALSE(selector.isRunning());
    EXPECT_TRUE(selector.panels().empty());
}

// A drag into the bottom-right corner ends on the last pixel, where the pointer stops: it selects
// up to the screen's edges, and the overlay's hole shows the screen undimmed out to them.
TEST(ExclusiveRegionSelector, ADragIntoTheCornerReachesTheScreensEdges)
{
    if (QGuiApplication::platformName() != QStringLiteral("xcb") || !DesktopScreens::source().isAvailable() ||
        DesktopScreens::source().compositorRunning())
        GTEST_SKIP() << "needs the X display without a compositor";
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    TestSupport::TestWindows backdrop(QStringLiteral("coordinates|%1|%2|c").arg(screen.width()).arg(screen.height()));
    const QPoint corner(screen.width() - 1, screen.height() - 1);
    ScreenSource &shown = DesktopScreens::source();
    ASSERT_TRUE(QTest::qWaitFor([&] { return TestSupport::showsCoordinates(shown, corner); }, 8000));
    RegionSelector selector;
    selector.setSettleDelay(std::chrono::milliseconds(10));
    auto task = selector.select();
    ASSERT_TRUE(overlaysShown(selector));

    const QPoint from = corner - QPoint(219, 179);
    xdotool(heldFrom(from, {corner - QPoint(50, 50), corner + QPoint(40, 40)}));
    ASSERT_EQ(QCursor::pos(), corner);
    // Inside the hole next to its right and bottom edges (the frame lies on the edges).
    const auto undimmed = [&] {
        return TestSupport::showsCoordinates(shown, {corner.x() - 1, from.y() + 90}) &&
            TestSupport::showsCoordinates(shown, {from.x() + 110, corner.y() - 1});
    };
    EXPECT_TRUE(QTest::qWaitFor(undimmed, 3000)) << "the hole stops short of the screen's edges";
    xdotool({QStringLiteral("mouseup"), QStringLiteral("1")});
    const auto selection = TestSupport::await(std::move(task), std::chrono::seconds(10));
    ASSERT_TRUE(selection);
    EXPECT_EQ(selection->rect, QRect(from, QSize(220, 180)));
}

// Escape ends the selection with nothing; a too-small drag does not end it, and a second
// select() while one runs returns nothing at once without disturbing the first.
TEST(ExclusiveRegionSelector, EscapeReturnsNothingAfterSmallDragsAndSecondRequests)
{
    if (QGuiApplication::platformName() != QStringLiteral("xcb") || !DesktopScreens::source().isAvailable())
        GTEST_SKIP() << "needs the X display";
    RegionSelector selector;
    selector.setSettleDelay(std::chrono::milliseconds(10));
    auto task = selector.select();
    ASSERT_TRUE(overlaysShown(selector));

    EXPECT_FALSE(TestSupport::await(selector.select()));
    EXPECT_TRUE(selector.isRunning());

    xdotool(heldFrom({500, 500}, {{503, 600}}) + QStringList{QStringLiteral("mouseup"), QStringLiteral("1")});
    QTest::qWait(200);
    EXPECT_TRUE(selector.isRunning()) << "a 3-point-wide drag selects nothing";

    xdotool({QStringLiteral("key"), QStringLiteral("Escape")});
    const auto selection = TestSupport::await(std::move(task), std::chrono::seconds(10));
    EXPECT_FALSE(selection);
    EXPECT_TRUE(selector.panels().empty());
}

} // namespace
} // namespace tarn

namespace tarn {
namespace {

// Two screens exist here only in a child process on Qt's offscreen platform, configured below.
const char *twoScreens = R"({"screens": [
    {"name": "left", "x": 0, "y": 0, "width": 1280, "height": 800, "logicalDpi": 96},
    {"name": "right", "x": 1280, "y": 0, "width": 1024, "height": 768, "logicalDpi": 96}]})";

SelectionView *panelOn(RegionSelector &selector, const QString &screenName)
{
    for (SelectionView *panel : selector.panels())
        if (panel->screen() && panel->screen()->name() == screenName)
            return panel;
    return nullptr;
}

// Runs in the child (TARN_TWO_SCREENS set): every screen gets an overlay, the keyboard follows
// the pointer and then the clicked screen, a drag is clamped to its screen and names that
// screen's display, completing closes every overlay, Escape gives nothing.
TEST(TwoScreenRegionSelector, OverlaysKeyboardClampAndDisplayPerScreen)
{
    if (!qEnvironmentVariableIsSet("TARN_TWO_SCREENS"))
        GTEST_SKIP() << "runs inside RegionSelectorTwoScreens";
    ASSERT_EQ(QGuiApplication::screens().size(), 2);
    RegionSelector selector(nullptr,
                            {[](QScreen *screen) { return screen->name() == QStringLiteral("left") ? 11u : 22u; },
                             [](QScreen *) { return QImage(); }});
    selector.setSettleDelay(std::chrono::milliseconds(0));
    QCursor::setPos(1500, 300);

    auto task = selector.select();
    ASSERT_EQ(selector.panels().size(), 2u);
    SelectionView *left = panelOn(selector, QStringLiteral("left"));
    SelectionView *right = panelOn(selector, QStringLiteral("right"));
    ASSERT_TRUE(left && right);
    EXPECT_EQ(left->geometry(), QRect(0, 0, 1280, 800));
    EXPECT_EQ(right->geometry(), QRect(1280, 0, 1024, 768));
    EXPECT_EQ(QWidget::keyboardGrabber(), right) << "the screen under the pointer takes the keys";

    QTest::mousePress(left, Qt::LeftButton, {}, QPoint(100, 100));
    QTest::mouseRelease(left, Qt::LeftButton, {}, QPoint(102, 300));
    EXPECT_EQ(QWidget::keyboardGrabber(), left) << "a click moves the keys to its screen";
    EXPECT_TRUE(selector.isRunning()) << "2 points wide selects nothing";

    QPointer<SelectionView> leftAlive(left), rightAlive(right);
    QTest::mousePress(right, Qt::LeftButton, {}, QPoint(200, 150));
    QTest::mouseMove(right, QPoint(600, 400));
    QTest::mouseRelease(right, Qt::LeftButton, {}, QPoint(5000, 5000));
    const auto selection = TestSupport::await(std::move(task), std::chrono::seconds(5));
    ASSERT_TRUE(selection);
    EXPECT_EQ(selection->displayID, 22u);
    EXPECT_EQ(selection->rect, QRect(200, 150, 824, 618)) << "clamped to the right screen";
    EXPECT_TRUE(!leftAlive || !leftAlive->isVisible());
    EXPECT_TRUE(!rightAlive || !rightAlive->isVisible());

    auto again = selector.select();
    ASSERT_NE(QWidget::keyboardGrabber(), nullptr);
    QTest::keyClick(QWidget::keyboardGrabber(), Qt::Key_Escape);
    EXPECT_FALSE(TestSupport::await(std::move(again), std::chrono::seconds(5)));
    EXPECT_TRUE(selector.panels().empty());
}

TEST(RegionSelectorTwoScreens, RunsOnTwoOffscreenScreens)
{
    QTemporaryDir folder;
    const QString config = folder.filePath(QStringLiteral("screens.json"));
    QFile file(config);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(twoScreens);
    file.close();

    const auto child = TestSupport::ChildProcess::run(
        "TwoScreenRegionSelector.*",
        {{"TARN_TWO_SCREENS", "1"}, {"QT_QPA_PLATFORM", "offscreen:configfile=" + config.toStdString()}});
    EXPECT_EQ(child.exitCode, 0) << child.output;
    EXPECT_NE(child.output.find("[  PASSED  ] 1 test"), std::string::npos) << child.output;
}

} // namespace
} // namespace tarn
