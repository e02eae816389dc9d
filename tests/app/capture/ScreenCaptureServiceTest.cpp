// SPDX-License-Identifier: GPL-3.0-or-later
#include <unistd.h>

#include <QDir>
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>
#include <qcoro/qcorotask.h>

#include "app/capture/CaptureFailure.h"
#include "app/capture/ScreenCaptureService.h"
#include "core/base/ImageFailure.h"
#include "support/Await.h"
#include "support/TestWindows.h"

namespace tarn {
namespace {

// A desktop of given displays and windows whose grabs return a solid image of the asked size.
class FakeSource : public ScreenSource {
public:
    bool available = true;
    std::vector<DisplayInfo> displayList{{7, QStringLiteral("DP-1"), QRect(0, 0, 1920, 1080), true},
                                         {9, QStringLiteral("HDMI-1"), QRect(1920, 0, 2560, 1440), false}};
    std::vector<WindowInfo> windowList;
    int contentRequests = 0;
    std::vector<QRect> grabs;

    bool isAvailable() override { return available; }
    std::vector<DisplayInfo> displays() override
    {
        ++contentRequests;
        return displayList;
    }
    std::vector<WindowInfo> windows() override { return windowList; }
    QImage grab(const QRect &rect, bool) override
    {
        grabs.push_back(rect);
        QImage image(rect.size(), QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        return image;
    }
};

WindowInfo window(uint32_t id, const char *title, const char *app, std::optional<int64_t> pid, QRect frame,
                  int layer = 0)
{
    return {id, QString::fromUtf8(title), QString::fromUtf8(app), pid, frame, frame, layer, true};
}

struct Service {
    FakeSource *source = new FakeSource;
    ScreenCaptureService service{std::unique_ptr<ScreenSource>(source),
                                 [](const DisplayInfo &d) { return d.id == 9 ? 2.0 : 1.0; }};
};

TEST(ScreenCaptureService, OffersOrdinaryTitledForeignWindowsOfAtLeast80By60SortedStably)
{
    Service s;
    const int64_t other = getpid() + 1;
    s.source->windowList = {
        window(1, "Zeta", "zapp", other, QRect(10, 10, 300, 200)),
        window(2, "exact", "beta", other, QRect(10, 10, 80, 60)),
        window(3, "narrow", "beta", other, QRect(10, 10, 79, 60)),
        window(4, "", "beta", other, QRect(10, 10, 300, 200)),
        window(5, "dock", "beta", other, QRect(10, 10, 300, 200), 20),
        window(6, "mine", "tarn", getpid(), QRect(10, 10, 300, 200)),
        window(7, "Alpha second", "zapp", other, QRect(10, 10, 300, 200)),
        window(8, "no owner", "", std::nullopt, QRect(10, 10, 300, 200)),
        // On the scale-2 display 159 x 120 pixels are 79.5 x 60 points: too narrow.
        window(9, "retina narrow", "beta", other, QRect(2000, 10, 159, 120)),
        window(10, "retina exact", "beta", other, QRect(2000, 10, 160, 120)),
    };
    s.source->windowList.push_back(window(11, "hidden", "beta", other, QRect(10, 10, 300, 200)));
    s.source->windowList.back().onScreen = false;

    const auto offered = TestSupport::await(s.service.availableWindows());
    std::vector<uint32_t> ids;
    for (const auto &w : offered)
        ids.push_back(w.windowID);
    EXPECT_EQ(ids, (std::vector<uint32_t>{8, 2, 10, 1, 7}));
    EXPECT_DOUBLE_EQ(offered[2].frame.width(), 80.0);
}

TEST(ScreenCaptureService, WithoutADisplayEveryCallFailsWithThePermissionMessageBeforeAskingForContent)
{
    Service s;
    s.source->available = false;
    EXPECT_THROW(TestSupport::await(s.service.availableWindows()), CaptureFailure);
    try {
        TestSupport::await(s.service.displayFilter(7));
        FAIL();
    } catch (const CaptureFailure &failure) {
        EXPECT_EQ(failure, CaptureFailure::permission());
    }
    EXPECT_EQ(s.source->contentRequests, 0);
}

// A display is found by its id; a capture is its content times the scale, a region is cut to
// it, and what cannot be captured is refused before anything is grabbed.
TEST(ScreenCaptureService, CaptureSizesCutsAndPlacesTheRegionOnTheDisplay)
{
    Service s;
    const ContentFilter retina = TestSupport::await(s.service.displayFilter(9));
    EXPECT_EQ(retina.displayID, 9u);
    EXPECT_EQ(retina.nativeRect, QRect(1920, 0, 2560, 1440));
    EXPECT_EQ(retina.contentRect(), QRectF(0, 0, 1280, 720));
    try {
        TestSupport::await(s.service.displayFilter(8));
        FAIL();
    } catch (const CaptureFailure &failure) {
        EXPECT_EQ(failure.kind(), CaptureFailure::Case::displayUnavailable);
    }

    // Without a region: the whole content times the scale.
    auto whole = TestSupport::await(s.service.capture(retina, std::nullopt, false));
    EXPECT_EQ(whole.image.size(), QSize(2560, 1440));
    EXPECT_GE(whole.milliseconds, 0.0);
    EXPECT_EQ(s.source->grabs.back(), QRect(1920, 0, 2560, 1440));

    // Fractional points round up: 100.5 x 50 points at scale 2 are 201 x 100 pixels.
    auto fractional = TestSupport::await(s.service.capture(retina, QRectF(10, 20, 100.5, 50), false));
    EXPECT_EQ(fractional.image.size(), QSize(201, 100));
    EXPECT_EQ(s.source->grabs.back(), QRect(1920 + 20, 40, 201, 100));

    // Partly outside: cut to the content.
    auto cut = TestSupport::await(s.service.capture(retina, QRectF(1200, 700, 200, 200), false));
    EXPECT_EQ(cut.image.size(), QSize(160, 40));
    EXPECT_EQ(s.source->grabs.back(), QRect(1920 + 2400, 1400, 160, 40));

    // Wholly outside: invalid dimensions; a display too large to hold: refused.
    const size_t grabs = s.source->grabs.size();
    try {
        TestSupport::await(s.service.capture(retina, QRectF(5000, 5000, 10, 10), false));
        FAIL();
    } catch (const ImageFailure &failure) {
        EXPECT_EQ(failure.kind(), ImageFailure::Case::invalidDimensions);
    }
    s.source->displayList = {{3, QStringLiteral("huge"), QRect(0, 0, 16385, 100), true}};
    const ContentFilter huge = TestSupport::await(s.service.displayFilter(3));
    EXPECT_THROW(TestSupport::await(s.service.capture(huge, std::nullopt, false)), ImageFailure);
    EXPECT_EQ(s.source->grabs.size(), grabs);
}

// On the real desktop: a window of another process with known pixels is captured by display,
// by rectangle and by window; our own visible windows are hidden for the grab and come back. The
// window comes out as the display shows it, over a grey window: its visible frame, and past the
// frame's rounded corners what lies behind, without the invisible borders some window managers
// keep around a frame.
TEST(ExclusiveScreenCaptureService, CapturesAKnownWindowByDisplayRectangleAndWindow)
{
    ScreenCaptureService service;
    if (!service.source().isAvailable())
        GTEST_SKIP() << "no X display";
    service.setSettleDelay(std::chrono::milliseconds(150));
    TestSupport::TestWindows child(
        QStringLiteral("Tarnwick capture backdrop|1800|950|;Tarnwick capture pattern|300|200|pa"));
    const auto info = child.waitForWindow(service.source(), QStringLiteral("Tarnwick capture pattern"));
    ASSERT_TRUE(info);
    ASSERT_TRUE(TestSupport::TestWindows::waitForPattern(service.source(), info->contentRect));

    // One of our own windows lies over the pattern; the capture must not see it.
    QWidget own;
    own.setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::X11BypassWindowManagerHint);
    own.setGeometry(QRect(info->contentRect.topLeft() + QPoint(40, 40), QSize(100, 80)));
    own.setStyleSheet(QStringLiteral("background: magenta"));
    own.show();
    QCoreApplication::processEvents();
    const QRect ownGeometry = own.geometry();

    const ShareableContent content = TestSupport::await(service.availableContent());
    ASSERT_FALSE(content.displays.empty());
    const ContentFilter display = TestSupport::await(service.displayFilter(content.displays.front().displayID));

    const CapturedImage whole = TestSupport::await(service.capture(display, std::nullopt, false));
    EXPECT_EQ(whole.image.size(), display.nativeRect.size());
    EXPECT_EQ(TestSupport::patternMismatches(whole.image, info->contentRect.size(), info->contentRect.topLeft()), 0);
    EXPECT_TRUE(own.isVisible()) << "our window is shown again after the grab";
    EXPECT_EQ(own.geometry(), ownGeometry) << "where it was";

    const QRectF region(info->contentRect.translated(-display.nativeRect.topLeft()));
    const CapturedImage part = TestSupport::await(service.capture(display, region, false));
    EXPECT_EQ(part.image.size(), info->contentRect.size());
    EXPECT_EQ(TestSupport::patternMismatches(part.image, info->contentRect.size(), {0, 0}), 0);

    const auto listed = std::find_if(content.windows.begin(), content.windows.end(),
                                     [&](const ShareableWindow &w) { return w.windowID == info->id; });
    ASSERT_NE(listed, content.windows.end());
    const CapturedImage byWindow =
        TestSupport::await(service.capture(ScreenCaptureService::windowFilter(*listed), std::nullopt, false));
    ASSERT_EQ(byWindow.image.size(), info->frame.size());
    EXPECT_EQ(TestSupport::patternMismatches(byWindow.image, info->contentRect.size(),
                                             info->contentRect.topLeft() - info->frame.topLeft()),
              0);
    const QImage shown = whole.image.copy(info->frame.translated(-display.nativeRect.topLeft()));
    int differing = 0;
    for (int x = 0; x < shown.width(); ++x)
        for (const int y : {0, shown.height() - 1})
            differing += byWindow.image.pixel(x, y) != shown.pixel(x, y);
    for (int y = 0; y < shown.height(); ++y)
        for (const int x : {0, shown.width() - 1})
            differing += byWindow.image.pixel(x, y) != shown.pixel(x, y);
    EXPECT_EQ(differing, 0) << "edge pixels unlike the display's";
}

// Where the server cannot read a window alone, a window capture reads the screen inside the
// window's frame, and says so.
TEST(ScreenCaptureService, WindowCaptureWithoutWindowReadingReadsTheFrameAndSaysSo)
{
    Service s;
    const ShareableWindow window{42,
                                 QStringLiteral("Notes"),
                                 QStringLiteral("notes"),
                                 getpid() + 1,
                                 QRectF(2000 / 2.0, 10, 200, 100),
                                 QRect(2000, 20, 400, 200),
                                 0,
                                 2.0};
    const CapturedImage captured =
        TestSupport::await(s.service.capture(ScreenCaptureService::windowFilter(window), std::nullopt, false));
    EXPECT_EQ(s.source->grabs.back(), QRect(2000, 20, 400, 200));
    EXPECT_EQ(captured.notice, ScreenCaptureService::windowFromScreenNotice());
}

// A window of another process, half off the screen and partly under another process's window
// kept above it, comes out alone and whole: through the compositing manager's pixmaps when one
// runs, by redirecting it off screen for the grab when none does.
TEST(ExclusiveScreenCaptureService, WindowCaptureGivesTheWindowAloneCoveredAndHalfOffScreen)
{
    ScreenCaptureService service;
    if (!service.source().isAvailable())
        GTEST_SKIP() << "no X display";
    TestSupport::TestWindows child(QStringLiteral("Tarnwick hidden pattern|400|300|p;Tarnwick cover|300|200|a"));
    const auto pattern = child.waitForWindow(service.source(), QStringLiteral("Tarnwick hidden pattern"));
    const auto cover = child.waitForWindow(service.source(), QStringLiteral("Tarnwick cover"));
    ASSERT_TRUE(pattern && cover);
    const auto move = [](uint32_t window, int x, int y) {
        QProcess::execute(
            QStringLiteral("xdotool"),
            {QStringLiteral("windowmove"), QString::number(window), QString::number(x), QString::number(y)});
    };
    move(pattern->id, 1700, 300);
    move(cover->id, 1650, 380);
    std::optional<ShareableWindow> listed;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const ShareableContent content = TestSupport::await(service.availableContent());
            for (const ShareableWindow &w : content.windows)
                if (w.windowID == pattern->id && w.nativeFrame.right() >= 1920)
                    listed = w;
            return listed.has_value();
        },
        8000));
    QTest::qWait(300);

    for (const bool composited : {false, true}) {
        SCOPED_TRACE(composited ? "with a compositing manager" : "without one");
        QProcess compositor;
        if (composited) {
            compositor.start(QStringLiteral("xcompmgr"), {});
            if (!compositor.waitForStarted(5000))
                GTEST_SKIP() << "xcompmgr is not installed (scripts/deps.sh installs it)";
            ASSERT_TRUE(QTest::qWaitFor([&] { return service.source().compositorRunning(); }, 5000));
            QTest::qWait(300);
        }
        const WindowInfo now = *child.waitForWindow(service.source(), QStringLiteral("Tarnwick hidden pattern"));
        const CapturedImage captured =
            TestSupport::await(service.capture(ScreenCaptureService::windowFilter(*listed), std::nullopt, false));
        compositor.kill();
        compositor.waitForFinished(5000);
        EXPECT_TRUE(captured.notice.isEmpty());
        EXPECT_EQ(captured.image.size(), now.frame.size());
        EXPECT_EQ(TestSupport::patternMismatches(captured.image, now.contentRect.size(),
                                                 now.contentRect.topLeft() - now.frame.topLeft()),
                  0);
        QDir().mkpath(QStringLiteral(TARN_TEST_OUTPUT_DIR));
        captured.image.save(QStringLiteral(TARN_TEST_OUTPUT_DIR "/window-alone-%1.png").arg(int(composited)));
    }
}

TEST(ExclusiveScreenCaptureService, WindowListHoldsOtherProcessesTitledWindowsAndNotOurs)
{
    ScreenCaptureService service;
    if (!service.source().isAvailable())
        GTEST_SKIP() << "no X display";
    QWidget own;
    own.setWindowTitle(QStringLiteral("Tarnwick own window"));
    own.resize(300, 200);
    own.show();
    TestSupport::TestWindows child(QStringLiteral(
        "Tarnwick listed|200|150|;Tarnwick small|70|150|;Tarnwick flat|200|50|;Tarnwick untitled|200|150|u"));
    ASSERT_TRUE(child.waitForWindow(service.source(), QStringLiteral("Tarnwick listed")));
    ASSERT_TRUE(child.waitForWindow(service.source(), QStringLiteral("Tarnwick small")));

    const auto offered = TestSupport::await(service.availableWindows());
    QStringList titles;
    for (const ShareableWindow &w : offered) {
        titles << w.title;
        EXPECT_GE(w.frame.width(), 80);
        EXPECT_GE(w.frame.height(), 60);
        EXPECT_FALSE(w.title.isEmpty());
        EXPECT_NE(w.processID, static_cast<int64_t>(getpid()));
    }
    EXPECT_TRUE(titles.contains(QStringLiteral("Tarnwick listed")));
    EXPECT_FALSE(titles.contains(QStringLiteral("Tarnwick own window")));
    // The frame counts: a 70-pixel client stays narrower than 80 even with borders here.
    EXPECT_FALSE(titles.contains(QStringLiteral("Tarnwick small")));
}

// Runs in a child whose Qt scales by 2 (TARN_SCALED set): the display's scale comes from its
// QScreen, a region in points is read at twice its size from the right device pixels, and a
// fractional width rounds up.
TEST(ScaledDesktopCapture, RegionPointsMapToDevicePixels)
{
    if (!qEnvironmentVariableIsSet("TARN_SCALED"))
        GTEST_SKIP() << "runs inside ExclusiveScreenCaptureService.RegionOnADesktopScaledByTwo";
    ScreenCaptureService service;
    ASSERT_TRUE(service.source().isAvailable());
    TestSupport::TestWindows child(QStringLiteral("Tarnwick scaled pattern|400|300|pa"));
    const auto info = child.waitForWindow(service.source(), QStringLiteral("Tarnwick scaled pattern"));
    ASSERT_TRUE(info);
    ASSERT_TRUE(TestSupport::TestWindows::waitForPattern(service.source(), info->contentRect));

    const ShareableContent content = TestSupport::await(service.availableContent());
    ASSERT_EQ(content.displays.front().name, QGuiApplication::primaryScreen()->name());
    const ContentFilter filter = TestSupport::await(service.displayFilter(content.displays.front().displayID));
    EXPECT_DOUBLE_EQ(filter.scale, 2.0);
    EXPECT_EQ(filter.contentRect().size(), QSizeF(960, 540));

    const QPointF at(std::ceil(info->contentRect.x() / 2.0) + 5, std::ceil(info->contentRect.y() / 2.0) + 5);
    const CapturedImage captured = TestSupport::await(service.capture(filter, QRectF(at, QSizeF(50.5, 40)), false));
    EXPECT_EQ(captured.image.size(), QSize(101, 80));
    const QPoint offset = (at * 2).toPoint() - info->contentRect.topLeft();
    int mismatches = 0;
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 101; ++x)
            mismatches += captured.image.pixel(x, y) !=
                TestSupport::patternPixel(info->contentRect.size(), offset + QPoint(x, y));
    EXPECT_EQ(mismatches, 0);
}

TEST(ExclusiveScreenCaptureService, RegionOnADesktopScaledByTwo)
{
    if (QGuiApplication::platformName() != QStringLiteral("xcb"))
        GTEST_SKIP() << "needs the X display";
    const auto child =
        TestSupport::ChildProcess::run("ScaledDesktopCapture.*", {{"TARN_SCALED", "1"}, {"QT_SCALE_FACTOR", "2"}});
    EXPECT_EQ(child.exitCode, 0) << child.output;
    EXPECT_NE(child.output.find("[  PASSED  ] 1 test"), std::string::npos) << child.output;
}

} // namespace
} // namespace tarn
