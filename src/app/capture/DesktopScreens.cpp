// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/capture/DesktopScreens.h"

#include <memory>

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include "platform/ScreenSource.h"

namespace tarn::DesktopScreens {
namespace {

std::optional<DisplayInfo> displayNamed(const QString &name)
{
    for (const DisplayInfo &display : source().displays())
        if (display.name == name)
            return display;
    return std::nullopt;
}

} // namespace

ScreenSource &source()
{
    static const std::unique_ptr<ScreenSource> desktop = makeX11ScreenSource();
    return *desktop;
}

uint32_t displayID(const QScreen *screen)
{
    if (screen)
        if (const auto display = displayNamed(screen->name()))
            return display->id;
    const auto displays = source().displays();
    for (const DisplayInfo &display : displays)
        if (display.primary)
            return display.id;
    return displays.empty() ? 0 : displays.front().id;
}

QScreen *screenShowing(QPoint devicePoint)
{
    for (const DisplayInfo &display : source().displays())
        if (display.nativeRect.contains(devicePoint))
            for (QScreen *screen : QGuiApplication::screens())
                if (screen->name() == display.name)
                    return screen;
    return nullptr;
}

QSize deviceSize(const QScreen *screen)
{
    if (const auto display = displayNamed(screen->name()))
        return display->nativeRect.size();
    return (QSizeF(screen->geometry().size()) * screen->devicePixelRatio()).toSize();
}

QImage grab(QScreen *screen)
{
    if (!screen)
        return {};
    QImage image;
    if (const auto display = displayNamed(screen->name())) {
        try {
            image = source().grab(display->nativeRect, false);
        } catch (const std::exception &) {
            image = {};
        }
    }
    if (image.isNull())
        image = screen->grabWindow(0).toImage();
    image.setDevicePixelRatio(screen->devicePixelRatio());
    return image;
}

} // namespace tarn::DesktopScreens
