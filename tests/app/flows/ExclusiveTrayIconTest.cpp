// SPDX-License-Identifier: GPL-3.0-or-later
#include <functional>

#include <QApplication>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QTest>
#include <gtest/gtest.h>

#include "app/capture/OwnWindows.h"
#include "app/flows/AppWindows.h"
#include "support/TrayIcon.h"

namespace tarn {
namespace {

// A capture hides the windows of this process, for the grab (every window) and for the
// capture flow (ordinary windows), but leaves the tray icon in the panel: a tray host drops
// an icon whose window is unmapped.
TEST(ExclusiveTrayIcon, HidingOurWindowsLeavesTheTrayIcon)
{
    ASSERT_TRUE(QSystemTrayIcon::isSystemTrayAvailable()) << "the test desktop runs a tray host";
    QPixmap picture(22, 22);
    picture.fill(Qt::darkCyan);
    QSystemTrayIcon tray{QIcon(picture)};
    tray.show();
    ASSERT_TRUE(QTest::qWaitFor([] { return TestSupport::visibleTrayIcon() != nullptr; }, 5000));
    QWidget *icon = TestSupport::visibleTrayIcon();
    QWidget window;
    window.resize(200, 100);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    const std::pair<const char *, std::function<std::function<void()>()>> hiders[] = {
        {"for the grab", [] { return [hidden = OwnWindows::hideVisible()]() mutable { hidden.restore(); }; }},
        {"for the flow",
         [] { return [hidden = AppWindows::hideNormalWindows()] { AppWindows::restoreWindows(hidden); }; }},
    };
    for (const auto &[name, hide] : hiders) {
        const std::function<void()> restore = hide();
        EXPECT_FALSE(window.isVisible()) << name;
        EXPECT_TRUE(icon->isVisible()) << name;
        restore();
        EXPECT_TRUE(window.isVisible()) << name;
        EXPECT_TRUE(icon->isVisible()) << name;
    }
}

} // namespace
} // namespace tarn
