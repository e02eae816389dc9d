// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/x11/X11Connection.h"

#include <cstdlib>
#include <cstring>

namespace tarn::X11 {

Connection::Connection()
{
    int screenNumber = 0;
    connection_ = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(connection_))
        return;
    auto it = xcb_setup_roots_iterator(xcb_get_setup(connection_));
    for (int i = 0; i < screenNumber && it.rem; ++i)
        xcb_screen_next(&it);
    if (!it.rem)
        return;
    root_ = it.data->root;
    rootWidth_ = it.data->width_in_pixels;
    rootHeight_ = it.data->height_in_pixels;
    rootDepth_ = it.data->root_depth;
}

Connection::~Connection()
{
    if (connection_)
        xcb_disconnect(connection_);
}

void Connection::refreshRootSize()
{
    if (!ok())
        return;
    auto geometry = reply(xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, root_), nullptr));
    if (!geometry)
        return;
    rootWidth_ = geometry->width;
    rootHeight_ = geometry->height;
}

bool Connection::ok() const { return connection_ && !xcb_connection_has_error(connection_) && root_ != 0; }

void Connection::discardEvents()
{
    if (!connection_)
        return;
    while (xcb_generic_event_t *event = xcb_poll_for_event(connection_))
        std::free(event);
}

xcb_atom_t Connection::atom(const char *name)
{
    const auto found = atoms_.find(name);
    if (found != atoms_.end())
        return found->second;
    auto r = reply(xcb_intern_atom_reply(
        connection_, xcb_intern_atom(connection_, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr));
    const xcb_atom_t value = r ? r->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
    atoms_.emplace(name, value);
    return value;
}

std::string Connection::atomName(xcb_atom_t atom)
{
    auto r = reply(xcb_get_atom_name_reply(connection_, xcb_get_atom_name(connection_, atom), nullptr));
    if (!r)
        return {};
    return std::string(xcb_get_atom_name_name(r.get()), xcb_get_atom_name_name_length(r.get()));
}

std::optional<std::vector<uint32_t>> Connection::cardinals(xcb_window_t window, xcb_atom_t property, xcb_atom_t type)
{
    auto r = reply(xcb_get_property_reply(
        connection_, xcb_get_property(connection_, 0, window, property, type, 0, 1 << 16), nullptr));
    if (!r || r->type != type || r->format != 32)
        return std::nullopt;
    const auto *data = static_cast<const uint32_t *>(xcb_get_property_value(r.get()));
    const int count = xcb_get_property_value_length(r.get()) / 4;
    return std::vector<uint32_t>(data, data + count);
}

std::optional<std::string> Connection::bytes(xcb_window_t window, xcb_atom_t property, xcb_atom_t type)
{
    auto r = reply(xcb_get_property_reply(
        connection_, xcb_get_property(connection_, 0, window, property, type, 0, 1 << 16), nullptr));
    if (!r || (type != XCB_GET_PROPERTY_TYPE_ANY && r->type != type) || r->format != 8)
        return std::nullopt;
    const auto *data = static_cast<const char *>(xcb_get_property_value(r.get()));
    return std::string(data, static_cast<size_t>(xcb_get_property_value_length(r.get())));
}

} // namespace tarn::X11
