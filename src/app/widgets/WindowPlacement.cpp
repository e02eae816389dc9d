// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/widgets/WindowPlacement.h"

#include <algorithm>
#include <cmath>

#include <QCursor>
#include <QGuiApplication>
#include <QMargins>
#include <QScreen>
#include <QWidget>

#include "platform/x11/X11WindowHints.h"

namespace tarn::WindowPlacement {

namespace {

// A window the window manager draws no frame around.
bool frameless(const QWidget *window)
{
    const Qt::WindowFlags flags = window->windowFlags();
    const Qt::WindowType type = window->windowType();
    return flags.testAnyFlags(Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint) || type == Qt::Popup ||
        type == Qt::ToolTip || type == Qt::SplashScreen;
}

// A shown window whose frame Qt knows.
bool framed(const QWidget *window) { return window->isVisible() && window->frameGeometry() != window->geometry(); }

// Qt places the frame of a window it has not made yet (moving it once the window manager has
// framed it) and of a framed one; in between, it places the content, the frame to come around it.
void moveFrame(QWidget *window, QPoint origin, const QMargins &frame)
{
    const bool content = window->testAttribute(Qt::WA_WState_Created) && !framed(window);
    window->move(content ? origin + QPoint(frame.left(), frame.top()) : origin);
}

// The widths of the window manager's frame around a top-level window on `screen`, in points: Qt
// knows them once the window manager has framed the window; a shown one it framed before Qt heard
// of it and a new one the window manager tells of. None for a window without a frame.
QMargins frameMargins(QWidget *window, QScreen *screen)
{
    if (frameless(window))
        return {};
    if (framed(window)) {
        const QRect outer = window->frameGeometry();
        const QRect inner = window->geometry();
        return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                outer.bottom() - inner.bottom()};
    }
    if (!screen)
        return {};
    const bool resizable = window->minimumSize() != window->maximumSize();
    const WId shown = window->isVisible() ? window->internalWinId() : 0;
    const std::optional<X11::FrameExtents> extents = X11::frameExtents(uint32_t(shown), resizable);
    if (!extents)
        return {};
    // Whole points that cover the device pixels, so that the frame never ends up larger.
    const qreal ratio = screen->devicePixelRatio();
    const auto points = [ratio](uint32_t pixels) { return int(std::ceil(pixels / ratio)); };
    return {points(extents->left), points(extents->top), points(extents->right), points(extents->bottom)};
}

// The top-left corner of a frame of `size` centred on `centre` and kept inside `available`.
QPoint centredOrigin(QSize size, QPoint centre, const QRect &available)
{
    const auto along = [](int middle, int length, int start, int room) {
        return std::max(start, std::min(middle - length / 2, start + room - length));
    };
    return {along(centre.x(), size.width(), available.x(), available.width()),
            along(centre.y(), size.height(), available.y(), available.height())};
}

} // namespace

QScreen *pointerScreen()
{
    if (QScreen *under = QGuiApplication::screenAt(QCursor::pos()))
        return under;
    if (QScreen *primary = QGuiApplication::primaryScreen())
        return primary;
    const QList<QScreen *> screens = QGuiApplication::screens();
    return screens.isEmpty() ? nullptr : screens.front();
}

QScreen *screenHolding(const QRect &frame)
{
    QScreen *best = nullptr;
    qint64 bestArea = 0;
    for (QScreen *screen : QGuiApplication::screens()) {
        const QRect shared = screen->geometry().intersected(frame);
        const qint64 area = qint64(shared.width()) * shared.height();
        if (area > bestArea) {
            best = screen;
            bestArea = area;
        }
    }
    return best;
}

QScreen *screenOf(QWidget *window)
{
    if (window->isVisible())
        if (QScreen *holding = screenHolding(window->frameGeometry()))
            return holding;
    return window->screen();
}

QSize room(QWidget *window, QScreen *screen)
{
    if (!screen)
        return {QWIDGETSIZE_MAX, QWIDGETSIZE_MAX};
    const QMargins frame = frameMargins(window, screen);
    return screen->availableGeometry().size().shrunkBy(frame).expandedTo(QSize(1, 1));
}

void centreOn(QWidget *window, QScreen *screen)
{
    if (!screen)
        screen = pointerScreen();
    if (screen)
        placeAround(window, screen, screen->availableGeometry().center());
}

void placeAround(QWidget *window, QScreen *screen, QPoint centre)
{
    const QMargins frame = frameMargins(window, screen);
    const QRect available = screen->availableGeometry();
    moveFrame(window, centredOrigin(window->size().grownBy(frame), centre, available), frame);
}

void fitIntoScreen(QWidget *window)
{
    QScreen *screen = screenOf(window);
    if (!screen || !framed(window))
        return;
    const QRect available = screen->availableGeometry();
    if (available.contains(window->frameGeometry()))
        return;
    window->resize(window->size().boundedTo(room(window, screen)).expandedTo(window->minimumSize()));
    const QMargins frame = frameMargins(window, screen);
    moveFrame(window, centredOrigin(window->size().grownBy(frame), window->frameGeometry().center(), available), frame);
}

} // namespace tarn::WindowPlacement
