// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/x11/X11WindowList.h"

#include <algorithm>

#include <QMargins>

namespace tarn::X11 {
namespace {

std::vector<xcb_window_t> clientWindows(Connection &connection)
{
    if (auto stacking =
            connection.cardinals(connection.root(), connection.atom("_NET_CLIENT_LIST_STACKING"), XCB_ATOM_WINDOW))
        return {stacking->begin(), stacking->end()};
    // No window manager: the root's children in stacking order, bottom first.
    xcb_connection_t *c = connection.get();
    auto tree = reply(xcb_query_tree_reply(c, xcb_query_tree(c, connection.root()), nullptr));
    if (!tree)
        return {};
    const xcb_window_t *children = xcb_query_tree_children(tree.get());
    std::vector<xcb_window_t> result;
    for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i) {
        auto attributes = reply(xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, children[i]), nullptr));
        if (attributes && !attributes->override_redirect && attributes->map_state == XCB_MAP_STATE_VIEWABLE)
            result.push_back(children[i]);
    }
    return result;
}

QString title(Connection &connection, xcb_window_t window)
{
    if (auto name = connection.bytes(window, connection.atom("_NET_WM_NAME"), connection.atom("UTF8_STRING")))
        return QString::fromUtf8(name->data(), static_cast<qsizetype>(name->size()));
    if (auto name = connection.bytes(window, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY))
        return QString::fromLatin1(name->data(), static_cast<qsizetype>(name->size()));
    return {};
}

// WM_CLASS holds "instance\0class\0"; the class names the application.
QString applicationName(Connection &connection, xcb_window_t window)
{
    const auto wmClass = connection.bytes(window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING);
    if (!wmClass)
        return {};
    const size_t split = wmClass->find('\0');
    if (split == std::string::npos)
        return QString::fromLocal8Bit(wmClass->data(), static_cast<qsizetype>(wmClass->size()));
    std::string className = wmClass->substr(split + 1);
    if (const size_t end = className.find('\0'); end != std::string::npos)
        className.resize(end);
    return QString::fromLocal8Bit(className.data(), static_cast<qsizetype>(className.size()));
}

bool contains(const std::optional<std::vector<uint32_t>> &atoms, xcb_atom_t atom)
{
    return atoms && std::find(atoms->begin(), atoms->end(), atom) != atoms->end();
}

// Ordinary application windows are layer 0; windows kept above are 3, below -1, and the desktop,
// docks, menus, tool bars and notifications sit on layers of their own.
int layer(Connection &connection, const std::optional<std::vector<uint32_t>> &types,
          const std::optional<std::vector<uint32_t>> &states)
{
    if (contains(types, connection.atom("_NET_WM_WINDOW_TYPE_DESKTOP")))
        return -2;
    for (const char *name :
         {"_NET_WM_WINDOW_TYPE_DOCK", "_NET_WM_WINDOW_TYPE_TOOLBAR", "_NET_WM_WINDOW_TYPE_MENU",
          "_NET_WM_WINDOW_TYPE_UTILITY", "_NET_WM_WINDOW_TYPE_SPLASH", "_NET_WM_WINDOW_TYPE_NOTIFICATION",
          "_NET_WM_WINDOW_TYPE_DROPDOWN_MENU", "_NET_WM_WINDOW_TYPE_POPUP_MENU", "_NET_WM_WINDOW_TYPE_TOOLTIP"})
        if (contains(types, connection.atom(name)))
            return 20;
    if (contains(states, connection.atom("_NET_WM_STATE_ABOVE")))
        return 3;
    if (contains(states, connection.atom("_NET_WM_STATE_BELOW")))
        return -1;
    return 0;
}

// Widths around a window that a property gives as left, right, top and bottom; none without it.
QMargins widths(Connection &connection, xcb_window_t window, const char *property)
{
    const auto words = connection.cardinals(window, connection.atom(property), XCB_ATOM_CARDINAL);
    if (!words || words->size() != 4)
        return {};
    const auto &w = *words;
    return {static_cast<int>(w[0]), static_cast<int>(w[2]), static_cast<int>(w[1]), static_cast<int>(w[3])};
}

std::optional<WindowInfo> describe(Connection &connection, xcb_window_t window)
{
    xcb_connection_t *c = connection.get();
    auto attributes = reply(xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr));
    auto geometry = reply(xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr));
    auto origin = reply(
        xcb_translate_coordinates_reply(c, xcb_translate_coordinates(c, window, connection.root(), 0, 0), nullptr));
    if (!attributes || !geometry || !origin)
        return std::nullopt; // the window went away meanwhile

    WindowInfo info;
    info.id = window;
    info.title = title(connection, window);
    info.applicationName = applicationName(connection, window);
    if (auto pid = connection.cardinals(window, connection.atom("_NET_WM_PID"), XCB_ATOM_CARDINAL);
        pid && !pid->empty())
        info.processID = static_cast<int64_t>((*pid)[0]);
    info.contentRect = QRect(origin->dst_x, origin->dst_y, geometry->width, geometry->height);
    info.frame = visibleFrame(connection, window, info.contentRect);
    const auto types = connection.cardinals(window, connection.atom("_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM);
    const auto states = connection.cardinals(window, connection.atom("_NET_WM_STATE"), XCB_ATOM_ATOM);
    info.layer = layer(connection, types, states);
    info.onScreen =
        attributes->map_state == XCB_MAP_STATE_VIEWABLE && !contains(states, connection.atom("_NET_WM_STATE_HIDDEN"));
    return info;
}

} // namespace

QRect visibleFrame(Connection &connection, xcb_window_t window, const QRect &contentRect)
{
    return contentRect.marginsAdded(widths(connection, window, "_NET_FRAME_EXTENTS"))
        .marginsRemoved(widths(connection, window, "_GTK_FRAME_EXTENTS"));
}

std::vector<WindowInfo> windows(Connection &connection)
{
    auto clients = clientWindows(connection);
    std::reverse(clients.begin(), clients.end()); // front-most first
    std::vector<WindowInfo> result;
    result.reserve(clients.size());
    for (xcb_window_t window : clients)
        if (auto info = describe(connection, window))
            result.push_back(std::move(*info));
    return result;
}

} // namespace tarn::X11
