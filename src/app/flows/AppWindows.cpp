// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/flows/AppWindows.h"

#include <algorithm>
#include <limits>
#include <unordered_map>

#include <QApplication>
#include <QScreen>

#include "app/capture/DesktopScreens.h"
#include "app/capture/OwnWindows.h"
#include "platform/ScreenSource.h"

namespace tarn::AppWindows {
namespace {

// Panels float above everything (tool windows kept on top); ordinary windows do not. The tray
// icon is part of the panel, not a window of the application.
bool isNormalWindow(const QWidget *widget)
{
    const Qt::WindowType type = widget->windowType();
    return (type == Qt::Window || type == Qt::Dialog) && !widget->windowFlags().testFlag(Qt::WindowStaysOnTopHint) &&
        !OwnWindows::isTrayIcon(widget);
}

// The visible ordinary windows of ours, back to front as the window manager stacks them;
// windows it does not list yet keep their relative order behind the others.
std::vector<QWidget *> visibleNormalWindows()
{
    std::vector<QWidget *> windows;
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (widget->isVisible() && !widget->isMinimized() && isNormalWindow(widget))
            windows.push_back(widget);
    if (windows.size() < 2)
        return windows;
    std::unordered_map<uint32_t, size_t> depth; // 0 for the front-most window of the desktop
    const std::vector<WindowInfo> stacking = DesktopScreens::source().windows();
    for (size_t i = 0; i < stacking.size(); ++i)
        depth.emplace(stacking[i].id, i);
    const auto depthOf = [&depth](QWidget *window) {
        const auto found = depth.find(uint32_t(window->winId()));
        return found == depth.end() ? std::numeric_limits<size_t>::max() : found->second;
    };
    std::stable_sort(windows.begin(), windows.end(),
                     [&depthOf](QWidget *a, QWidget *b) { return depthOf(a) > depthOf(b); });
    return windows;
}

// Shown without taking the focus and raised, so that showing them one after another back to
// front rebuilds their order.
void showBehindNothing(QWidget *window)
{
    const bool quiet = window->testAttribute(Qt::WA_ShowWithoutActivating);
    window->setAttribute(Qt::WA_ShowWithoutActivating, true);
    window->show();
    window->setAttribute(Qt::WA_ShowWithoutActivating, quiet);
    window->raise();
}

} // namespace

HiddenWindows hideNormalWindows()
{
    HiddenWindows hidden;
    QWidget *active = QApplication::activeWindow();
    for (QWidget *window : visibleNormalWindows()) {
        hidden.windows.emplace_back(window);
        if (window == active)
            hidden.focused = window;
        window->hide();
    }
    return hidden;
}

void restoreWindows(const HiddenWindows &hidden)
{
    if (hidden.empty())
        return;
    const std::vector<QWidget *> newer = visibleNormalWindows();
    for (const QPointer<QWidget> &window : hidden.windows)
        if (window && !window->isVisible())
            showBehindNothing(window);
    for (QWidget *window : newer)
        window->raise();
    if (newer.empty() && hidden.focused && hidden.focused->isVisible())
        hidden.focused->activateWindow();
}

QScreen *screenOf(uint32_t displayID)
{
    for (QScreen *screen : QGuiApplication::screens())
        if (DesktopScreens::displayID(screen) == displayID)
            return screen;
    return nullptr;
}

} // namespace tarn::AppWindows
