// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/x11/X11ScreenSource.h"

#include "platform/x11/X11Displays.h"
#include "platform/x11/X11WindowIcon.h"
#include "platform/x11/X11WindowList.h"

namespace tarn {

QString ScreenSourceFailure::description() const
{
    return QStringLiteral("화면을 캡처하지 못했습니다. X 디스플레이 연결을 확인한 후 다시 시도하세요.");
}

X11ScreenSource::X11ScreenSource() : grabber_(connection_), windowGrabber_(connection_, grabber_) { }

bool X11ScreenSource::isAvailable() { return connection_.ok(); }

std::vector<DisplayInfo> X11ScreenSource::displays()
{
    if (!connection_.ok())
        return {};
    connection_.discardEvents();
    return X11::displays(connection_);
}

std::vector<WindowInfo> X11ScreenSource::windows()
{
    if (!connection_.ok())
        return {};
    connection_.discardEvents();
    return X11::windows(connection_);
}

QImage X11ScreenSource::windowIcon(uint32_t windowID, int size)
{
    if (!connection_.ok())
        return {};
    connection_.discardEvents();
    return X11::windowIcon(connection_, windowID, size);
}

QImage X11ScreenSource::grab(const QRect &nativeRect, bool cursor)
{
    connection_.discardEvents();
    QImage image = grabber_.grab(nativeRect);
    if (cursor)
        grabber_.drawCursor(image, nativeRect);
    return image;
}

std::optional<QImage> X11ScreenSource::grabWindow(uint32_t windowID, bool cursor)
{
    if (!windowGrabber_.available())
        return std::nullopt;
    const bool composited = compositorRunning(); // drops the queued events too
    X11::WindowGrabber::Result window = windowGrabber_.grab(windowID, composited);
    if (cursor)
        grabber_.drawCursor(window.image, window.rect);
    return std::move(window.image);
}

bool X11ScreenSource::compositorRunning()
{
    if (!connection_.ok())
        return false;
    connection_.discardEvents();
    // A compositing manager owns the selection _NET_WM_CM_S<screen> (screen 0 here).
    xcb_connection_t *c = connection_.get();
    auto owner = X11::reply(
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, connection_.atom("_NET_WM_CM_S0")), nullptr));
    return owner && owner->owner != XCB_WINDOW_NONE;
}

std::unique_ptr<ScreenSource> makeX11ScreenSource() { return std::make_unique<X11ScreenSource>(); }

} // namespace tarn
