// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/x11/X11WindowGrabber.h"

#include <chrono>
#include <vector>

#include <poll.h>

#include <xcb/composite.h>
#include <xcb/damage.h>

#include "platform/ScreenSource.h"

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
    Result result;
    result.rect = outerRect(*geometry);

    // A compositing manager has every window painted whole already. Without one the
    // redirection exposes what was hidden, and the window (and its frame) repaint it.
    uint32_t damage = 0;
    if (!compositorRunning && damageAvailable_ && !wholeOnScreen(top, result.rect)) {
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
    try {
        if (damage)
            waitForRepaint(damage);
        named = !failed(c, xcb_composite_name_window_pixmap_checked(c, top, pixmap));
        if (!named)
            throw ScreenSourceFailure();
        result.image = pixels_.grabDrawable(pixmap, result.rect.size());
    } catch (...) {
        release();
        throw;
    }
    release();
    return result;
}

} // namespace tarn::X11
