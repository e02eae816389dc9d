// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include <xcb/xcb.h>

namespace tarn::X11 {

// Frees an xcb reply (malloc'ed) when it goes out of scope.
template <typename T> using Reply = std::unique_ptr<T, decltype(&std::free)>;

template <typename T> Reply<T> reply(T *raw) { return Reply<T>(raw, &std::free); }

// One xcb connection of our own (never Xlib's, whose I/O error handler ends the process) with
// the root window of the default screen and a cache of interned atoms.
class Connection {
public:
    Connection(); // opens $DISPLAY; check ok()
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    bool ok() const;
    xcb_connection_t *get() const { return connection_; }
    xcb_window_t root() const { return root_; }
    int rootWidth() const { return rootWidth_; }
    int rootHeight() const { return rootHeight_; }
    uint8_t rootDepth() const { return rootDepth_; }
    // Reads the root window's size again: RandR changes it (a monitor plugged in, another
    // resolution) while the connection lives. One round trip.
    void refreshRootSize();

    // Requests without a reply (a detach, a sent event) report their errors through the event
    // queue, which nothing on our connections listens to: drops what is there, so that a
    // long-lived connection does not pile them up.
    void discardEvents();

    xcb_atom_t atom(const char *name);
    std::string atomName(xcb_atom_t atom);

    // Property readers; nullopt when the window lacks the property (or has the wrong type;
    // bytes() accepts any type for XCB_GET_PROPERTY_TYPE_ANY).
    std::optional<std::vector<uint32_t>> cardinals(xcb_window_t window, xcb_atom_t property, xcb_atom_t type);
    std::optional<std::string> bytes(xcb_window_t window, xcb_atom_t property, xcb_atom_t type);

private:
    xcb_connection_t *connection_ = nullptr;
    xcb_window_t root_ = 0;
    int rootWidth_ = 0;
    int rootHeight_ = 0;
    uint8_t rootDepth_ = 0;
    std::unordered_map<std::string, xcb_atom_t> atoms_;
};

} // namespace tarn::X11
