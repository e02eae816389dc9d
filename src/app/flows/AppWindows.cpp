// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/flows/AppWindows.h"

#include <algorithm>

#include <QApplication>
#include <QScreen>

#include "app/capture/DesktopScreens.h"
#include "app/capture/OwnWindows.h"

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

} // namespace

std::vector<QPointer<QWidget>> hideNormalWindows()
{
    std::vector<QPointer<QWidget>> hidden;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (!widget->isVisible() || widget->isMinimized() || !isNormalWindow(widget))
            continue;
        hidden.emplace_back(widget);
        widget->hide();
    }
    return hidden;
}

void restoreWindows(const std::vector<QPointer<QWidget>> &windows)
{
    if (windows.empty())
        return;
    QWidget *key = QApplication::activeWindow();
    const bool keyStaysInFront = key && key->isVisible() &&
        std::none_of(windows.begin(), windows.end(), [key](const QPointer<QWidget> &w) { return w == key; });
    for (const QPointer<QWidget> &window : windows) {
        if (!window)
            continue;
        const bool quiet = window->testAttribute(Qt::WA_ShowWithoutActivating);
        window->setAttribute(Qt::WA_ShowWithoutActivating, keyStaysInFront);
        window->show();
        window->setAttribute(Qt::WA_ShowWithoutActivating, quiet);
        if (!keyStaysInFront)
            window->raise();
    }
    if (keyStaysInFront)
        key->raise();
}

QScreen *screenOf(uint32_t displayID)
{
    for (QScreen *screen : QGuiApplication::screens())
        if (DesktopScreens::displayID(screen) == displayID)
            return screen;
    return nullptr;
}

} // namespace tarn::AppWindows
