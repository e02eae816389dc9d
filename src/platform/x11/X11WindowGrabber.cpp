// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/x11/X11WindowGrabber.h"

#include <chrono>
#include <vector>

#include <poll.h>

#include <xcb/composite.h>
#include <xcb/damage.h>

#include "platform/ScreenSource.h"
#include "platform/x11/X11WindowList.h"

namespace tarn::X11 {
namespace {

using Clock = std::chrono::steady_clock;

// A window hidden in part repaints it within a frame or two of being redirected; the wait
// ends once the window has been quiet for a moment, or after a bound for a hung client.
constexpr auto firstRepaint = std::chrono::milliseconds(1000);
constexpr auto quietAfterRepaint = std::chrono::milliseconds(100);
constexpr auto longestWait = std::chrono::milliseconds(3000);

// The window with its border, in its parent's coordinates.
QRect outerRect(const xcb_get_geometry_reply_t &geometry)
{
    const int border = geometry.border_width;
    return {geometry.x, geometry.y, geometry.width + 2 * border, geometry.height + 2 * border};
}

// The window's own pixels where they are opaque; elsewhere those of the screen, which shows there
// what lies behind the window blended with the window's translucent pixels.
QImage opaqueOver(const QImage &window, QImage screen)
{
    for (int y = 0; y < window.height(); ++y) {
        const auto *from = reinterpret_cast<const QRgb *>(window.constScanLine(y));
        auto *to = reinterpret_cast<QRgb *>(screen.scanLine(y));
        for (int x = 0; x < window.width(); ++x)
            if (qAlpha(from[x]) == 255)
                to[x] = from[x];
    }
    return screen;
}

bool failed(xcb_connection_t *c, xcb_void_cookie_t cookie)
{
    xcb_generic_error_t *error = xcb_request_check(c, cookie);
    std::free(error);
    return error != nullptr;
}

} // namespace

WindowGrabber::WindowGrabber(Connection &connection, Grabber &pixels) : connection_(connection), pixels_(pixels)
{
    if (!connection_.ok())
        return;
    xcb_connection_t *c = connection_.get();
    if (const auto *composite = xcb_get_extension_data(c, &xcb_composite_id); composite && composite->present) {
        auto version = reply(xcb_composite_query_version_reply(c, xcb_composite_query_version(c, 0, 4), nullptr));
        compositeAvailable_ = version && (version->major_version > 0 || version->minor_version >= 2);
    }
    if (const auto *damage = xcb_get_extension_data(c, &xcb_damage_id); damage && damage->present) {
        auto version = reply(xcb_damage_query_version_reply(c, xcb_damage_query_version(c, 1, 1), nullptr));
        damageAvailable_ = version != nullptr;
        damageEvent_ = damage->first_event;
    }
}

uint32_t WindowGrabber::topLevel(uint32_t window)
{
    xcb_connection_t *c = connection_.get();
    for (int depth = 0; depth < 64; ++depth) {
        auto tree = reply(xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr));
        if (!tree)
            throw ScreenSourceFailure(); // the window went away
        if (tree->parent == tree->root || tree->parent == XCB_WINDOW_NONE)
            return window;
        window = tree->parent;
    }
    throw ScreenSourceFailure();
}

// True when no part of the window lies off the screen or under a window stacked above it: then
// its redirected pixmap holds every pixel already and nothing has to be repainted.
bool WindowGrabber::wholeOnScreen(uint32_t topLevel, const QRect &rect)
{
    connection_.refreshRootSize();
    if (!QRect(0, 0, connection_.rootWidth(), connection_.rootHeight()).contains(rect))
        return false;
    xcb_connection_t *c = connection_.get();
    auto tree = reply(xcb_query_tree_reply(c, xcb_query_tree(c, connection_.root()), nullptr));
    if (!tree)
        return false;
    const xcb_window_t *children = xcb_query_tree_children(tree.get());
    const int count = xcb_query_tree_children_length(tree.get());
    int index = 0;
    while (index < count && children[index] != topLevel)
        ++index;
    // Children come bottom first: those after the window lie above it. Every request is sent
    // before the first reply is read.
    std::vector<std::pair<xcb_get_window_attributes_cookie_t, xcb_get_geometry_cookie_t>> above;
    for (int i = index + 1; i < count; ++i)
        above.emplace_back(xcb_get_window_attributes(c, children[i]), xcb_get_geometry(c, children[i]));
    bool covered = false;
    for (const auto &[attributesCookie, geometryCookie] : above) {
        auto attributes = reply(xcb_get_window_attributes_reply(c, attributesCookie, nullptr));
        auto geometry = reply(xcb_get_geometry_reply(c, geometryCookie, nullptr));
        if (!attributes || !geometry || attributes->map_state != XCB_MAP_STATE_VIEWABLE ||
            attributes->_class == XCB_WINDOW_CLASS_INPUT_ONLY)
            continue;
        covered = covered || outerRect(*geometry).intersects(rect);
    }
    return !covered;
}

void WindowGrabber::waitForRepaint(uint32_t damage)
{
    xcb_connection_t *c = connection_.get();
    xcb_flush(c);
    const auto start = Clock::now();
    auto quietUntil = start + firstRepaint;
    const auto deadline = start + longestWait;
    for (auto now = start; now < std::min(quietUntil, deadline); now = Clock::now()) {
        while (xcb_generic_event_t *event = xcb_poll_for_event(c)) {
            const bool repainted = (event->response_type & 0x7f) == damageEvent_ + XCB_DAMAGE_NOTIFY &&
                reinterpret_cast<xcb_damage_notify_event_t *>(event)->damage == damage;
            std::free(event);
            if (repainted)
                quietUntil = Clock::now() + quietAfterRepaint;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::min(quietUntil, deadline) - Clock::now());
        pollfd descriptor{xcb_get_file_descriptor(c), POLLIN, 0};
        ::poll(&descriptor, 1, int(std::clamp<int64_t>(left.count(), 0, 10)));
    }
}

// The part of the window that the user sees as the window, root coordinates, inside its
// top-level `frame`.
QRect WindowGrabber::visibleRect(uint32_t window, const QRect &frame)
{
    xcb_connection_t *c = connection_.get();
    auto geometry = reply(xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr));
    auto origin = reply(
        xcb_translate_coordinates_reply(c, xcb_translate_coordinates(c, window, connection_.root(), 0, 0), nullptr));
    if (!geometry || !origin)
        throw ScreenSourceFailure(); // the window went away
    const QRect content(origin->dst_x, origin->dst_y, geometry->width, geometry->height);
    const QRect visible = visibleFrame(connection_, window, content) & frame;
    if (visible.isEmpty())
        throw ScreenSourceFailure();
    return visible;
}

// The pixels of the top-level window's own pixmap that lie at `rect` of the root (`frame` being
// where the whole window lies), with their alpha when `alpha`.
QImage WindowGrabber::readPixmap(uint32_t top, const QRect &frame, const QRect &rect, bool alpha,
                                 bool compositorRunning)
{
    xcb_connection_t *c = connection_.get();
    // A compositing manager has every window painted whole already. Without one the
    // redirection exposes what was hidden, and the window (and its frame) repaint it.
    uint32_t damage = 0;
    if (!compositorRunning && damageAvailable_ && !wholeOnScreen(top, rect)) {
        damage = xcb_generate_id(c);
        xcb_damage_create(c, damage, top, XCB_DAMAGE_REPORT_LEVEL_DELTA_RECTANGLES);
    }
    // Harmless when a compositing manager redirected the window already: an automatic
    // redirection only adds to it, and undoing ours leaves its own in place.
    const bool redirected = !failed(c, xcb_composite_redirect_window_checked(c, top, XCB_COMPOSITE_REDIRECT_AUTOMATIC));
    const xcb_pixmap_t pixmap = xcb_generate_id(c);
    bool named = false;
    const auto release = [&] {
        if (named)
            xcb_free_pixmap(c, pixmap);
        if (redirected)
            xcb_composite_unredirect_window(c, top, XCB_COMPOSITE_REDIRECT_AUTOMATIC);
        if (damage)
            xcb_damage_destroy(c, damage);
        xcb_flush(c);
    };
    QImage image;
    try {
        if (damage)
            waitForRepaint(damage);
        named = !failed(c, xcb_composite_name_window_pixmap_checked(c, top, pixmap));
        if (!named)
            throw ScreenSourceFailure();
        image = pixels_.grabDrawable(pixmap, rect.translated(-frame.topLeft()), alpha);
    } catch (...) {
        release();
        throw;
    }
    release();
    return image;
}

WindowGrabber::Result WindowGrabber::grab(uint32_t window, bool compositorRunning)
{
    if (!compositeAvailable_)
        throw ScreenSourceFailure();
    xcb_connection_t *c = connection_.get();
    const xcb_window_t top = topLevel(window);
    auto attributes = reply(xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, top), nullptr));
    auto geometry = reply(xcb_get_geometry_reply(c, xcb_get_geometry(c, top), nullptr));
    if (!attributes || !geometry || attributes->map_state != XCB_MAP_STATE_VIEWABLE)
        throw ScreenSourceFailure();
    if (geometry->depth != 24 && geometry->depth != 32)
        throw ScreenSourceFailure();
    const QRect frame = outerRect(*geometry);
    Result result;
    result.rect = visibleRect(window, frame);
    const bool translucent = geometry->depth == 32;
    // Where a translucent window lets what lies behind it show (a frame's rounded corners), the
    // capture shows what the screen does: read while the window is shown as the user saw it.
    QImage shown = translucent ? pixels_.grab(result.rect) : QImage();
    result.image = readPixmap(top, frame, result.rect, translucent, compositorRunning);
    if (translucent)
        result.image = opaqueOver(result.image, std::move(shown));
    return result;
}

} // namespace tarn::X11
