// SPDX-License-Identifier: GPL-3.0-or-later
#include <unistd.h>

#include <QProcess>
#include <gtest/gtest.h>

#include "platform/ScreenSource.h"
#include "support/TestWindows.h"

namespace tarn {
namespace {

std::unique_ptr<ScreenSource> openSource()
{
    auto source = makeX11ScreenSource();
    if (!source->isAvailable())
        return nullptr;
    return source;
}

TEST(X11ScreenSource, DisplaysCoverTheRootAndOnePrimary)
{
    auto source = openSource();
    if (!source)
        GTEST_SKIP() << "no X display";
    const auto displays = source->displays();
    ASSERT_FALSE(displays.empty());
    int primaries = 0;
    for (const DisplayInfo &display : displays) {
        EXPECT_NE(display.id, 0u);
        EXPECT_FALSE(display.nativeRect.isEmpty());
        primaries += display.primary ? 1 : 0;
    }
    EXPECT_LE(primaries, 1);
    EXPECT_EQ(displays.front().nativeRect.size(), QSize(1920, 1080)); // the test desktop
}

// A window of another process with known pixels comes back exactly, alone and as part of a
// larger rectangle; the pointer is drawn in only when asked for; outside the root is black.
TEST(ExclusiveX11ScreenSource, GrabsTheKnownPixelsOfAnotherProcessWindow)
{
    auto source = openSource();
    if (!source)
        GTEST_SKIP() << "no X display";
    TestSupport::TestWindows child(QStringLiteral("Tarnwick pattern|320|240|pa"));
    const auto window = child.waitForWindow(*source, QStringLiteral("Tarnwick pattern"));
    ASSERT_TRUE(window);
    ASSERT_TRUE(TestSupport::TestWindows::waitForPattern(*source, window->contentRect));

    const QImage exact = source->grab(window->contentRect, false);
    EXPECT_EQ(exact.format(), QImage::Format_RGB32);
    EXPECT_EQ(exact.size(), QSize(320, 240));
    EXPECT_EQ(TestSupport::patternMismatches(exact, {320, 240}, {0, 0}), 0);

    const QRect around = window->contentRect.adjusted(-5, -7, 9, 11);
    const QImage larger = source->grab(around, false);
    EXPECT_EQ(TestSupport::patternMismatches(larger, {320, 240}, {5, 7}), 0);

    // With the pointer in the middle of the window, the grab with the cursor differs there.
    const QPoint centre = window->contentRect.center();
    ASSERT_EQ(
        QProcess::execute(QStringLiteral("xdotool"),
                          {QStringLiteral("mousemove"), QString::number(centre.x()), QString::number(centre.y())}),
        0);
    const QImage withCursor = source->grab(window->contentRect, true);
    const QImage withoutCursor = source->grab(window->contentRect, false);
    EXPECT_GT(TestSupport::patternMismatches(withCursor, {320, 240}, {0, 0}), 0);
    EXPECT_EQ(TestSupport::patternMismatches(withoutCursor, {320, 240}, {0, 0}), 0);
    QProcess::execute(QStringLiteral("xdotool"),
                      {QStringLiteral("mousemove"), QStringLiteral("0"), QStringLiteral("0")});

    const QImage edge = source->grab(QRect(-10, -10, 20, 20), false);
    EXPECT_EQ(edge.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(qAlpha(edge.pixel(15, 15)), 255);
}

TEST(ExclusiveX11ScreenSource, ListsWindowsOfOtherProcessesWithTheirDetails)
{
    auto source = openSource();
    if (!source)
        GTEST_SKIP() << "no X display";
    TestSupport::TestWindows child(
        QStringLiteral("Tarnwick plain|200|150|;Tarnwick above|120|90|a;Tarnwick nameless|150|100|u"));
    const auto plain = child.waitForWindow(*source, QStringLiteral("Tarnwick plain"));
    const auto above = child.waitForWindow(*source, QStringLiteral("Tarnwick above"));
    ASSERT_TRUE(plain);
    ASSERT_TRUE(above);

    EXPECT_EQ(plain->layer, 0);
    EXPECT_EQ(above->layer, 3);
    EXPECT_EQ(plain->processID, child.pid());
    EXPECT_FALSE(plain->applicationName.isEmpty());
    EXPECT_EQ(plain->contentRect.size(), QSize(200, 150));
    EXPECT_TRUE(plain->frame.contains(plain->contentRect)); // the frame adds the decorations
    EXPECT_NE(plain->id, above->id);
    // The shadow a client-side decorated window draws around itself is no part of the window.
    QProcess::execute(
        QStringLiteral("xprop"),
        QStringLiteral("-id %1 -f _GTK_FRAME_EXTENTS 32c -set _GTK_FRAME_EXTENTS 4,6,8,10").arg(plain->id).split(u' '));
    const auto shadowed = child.waitForWindow(*source, QStringLiteral("Tarnwick plain"));
    ASSERT_TRUE(shadowed);
    EXPECT_EQ(shadowed->frame, plain->frame.adjusted(4, 8, -6, -10));

    for (const WindowInfo &window : source->windows())
        EXPECT_NE(window.processID, static_cast<int64_t>(getpid())) << "this test shows no window";
}

} // namespace
} // namespace tarn
