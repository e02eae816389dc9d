// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/x11/X11WindowHints.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include <QGuiApplication>
#include <xcb/xcb.h>

namespace tarn::X11 {
namespace {

constexpr uint32_t allDesktops = 0xFFFFFFFF;
// The source indication of a pager's request: window managers take stacking and activation
// requests for windows other than the sender's own from pagers.
constexpr uint32_t fromPager = 2;
// ICCCM's window states (WM_STATE, and the initial state of WM_HINTS) and WM_HINTS' flag for
// the latter.
constexpr uint32_t normalState = 1;
constexpr uint32_t iconicState = 3;
constexpr uint32_t stateHint = 1U << 1;
constexpr uint32_t groupHint = 1U << 6;

// The GUI's own connection (GUI thread only); null on another platform plugin.
xcb_connection_t *guiConnection()
{
    const auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t atom(xcb_connection_t *c, const char *name)
{
    xcb_intern_atom_reply_t *r =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::char_traits<char>::length(name)), name), nullptr);
    const xcb_atom_t value = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(r);
    return value;
}

// The root window of the connection's only screen (Qt opens one screen per display).
xcb_window_t screenRoot(xcb_connection_t *c) { return xcb_setup_roots_iterator(xcb_get_setup(c)).data->root; }

xcb_window_t rootOf(xcb_connection_t *c, xcb_window_t window)
{
    xcb_query_tree_reply_t *tree = xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr);
    const xcb_window_t root = tree ? tree->root : xcb_window_t(XCB_WINDOW_NONE);
    std::free(tree);
    return root;
}

// Up to `count` 32-bit words of a window's property; none when it is missing or of another form.
std::vector<uint32_t> words(xcb_connection_t *c, xcb_window_t window, xcb_atom_t property, xcb_atom_t type,
                            uint32_t count)
{
    xcb_get_property_reply_t *r =
        xcb_get_property_reply(c, xcb_get_property(c, 0, window, property, type, 0, count), nullptr);
    std::vector<uint32_t> result;
    if (r && r->format == 32) {
        const auto *data = static_cast<const uint32_t *>(xcb_get_property_value(r));
        result.assign(data, data + xcb_get_property_value_length(r) / 4);
    }
    std::free(r);
    return result;
}

using Data = std::array<uint32_t, 5>;

// Sends the window manager a request about `window` (a client message to the root window) at once.
void askWindowManager(uint32_t window, const char *type, const Data &words)
{
    xcb_connection_t *c = guiConnection();
    if (!c || window == 0)
        return;
    const xcb_window_t root = rootOf(c, window);
    if (root == XCB_WINDOW_NONE)
        return;
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = atom(c, type);
    std::copy(words.begin(), words.end(), event.data.data32);
    xcb_send_event(c, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char *>(&event));
    xcb_flush(c);
}

// Asks the window manager to add a state to a mapped window, or to remove it.
void askState(uint32_t window, const char *name, bool on)
{
    if (xcb_connection_t *c = guiConnection())
        askWindowManager(window, "_NET_WM_STATE", {on ? 1u /* add */ : 0u /* remove */, atom(c, name), 0, 1});
}

// Adds a state to those an unmapped window has already (kept above, sticky, ...).
void addState(xcb_connection_t *c, uint32_t window, const char *name)
{
    const xcb_atom_t state = atom(c, "_NET_WM_STATE");
    const xcb_atom_t added = atom(c, name);
    std::vector<xcb_atom_t> states = words(c, window, state, XCB_ATOM_ATOM, 64);
    if (std::find(states.begin(), states.end(), added) == states.end())
        states.push_back(added);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, state, XCB_ATOM_ATOM, 32, uint32_t(states.size()),
                        states.data());
    xcb_flush(c);
}

// The frame the window manager has drawn around `window` (_NET_FRAME_EXTENTS), none before.
std::optional<FrameExtents> extentsOf(xcb_connection_t *c, xcb_window_t window)
{
    const std::vector<uint32_t> widths = words(c, window, atom(c, "_NET_FRAME_EXTENTS"), XCB_ATOM_CARDINAL, 4);
    if (widths.size() != 4)
        return std::nullopt;
    return FrameExtents{widths[0], widths[1], widths[2], widths[3]};
}

// A window neither full screen nor maximized: the window manager may draw less frame around those.
bool ordinary(xcb_connection_t *c, xcb_window_t window)
{
    const std::vector<uint32_t> states = words(c, window, atom(c, "_NET_WM_STATE"), XCB_ATOM_ATOM, 64);
    const std::array<xcb_atom_t, 3> larger{atom(c, "_NET_WM_STATE_FULLSCREEN"), atom(c, "_NET_WM_STATE_MAXIMIZED_VERT"),
                                           atom(c, "_NET_WM_STATE_MAXIMIZED_HORZ")};
    return std::find_first_of(states.begin(), states.end(), larger.begin(), larger.end()) == states.end();
}

// Asks the window manager (_NET_REQUEST_FRAME_EXTENTS) about a window made for the question and
// never shown, and awaits the answer for a moment. The wait is long enough for a busy machine:
// the question is asked again only when no answer came.
std::optional<FrameExtents> askAboutNewWindow(xcb_connection_t *c, xcb_window_t root, bool resizable)
{
    const std::vector<uint32_t> supported = words(c, root, atom(c, "_NET_SUPPORTED"), XCB_ATOM_ATOM, 1024);
    if (std::find(supported.begin(), supported.end(), atom(c, "_NET_REQUEST_FRAME_EXTENTS")) == supported.end())
        return std::nullopt;
    const xcb_window_t probe = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, probe, root, 0, 0, 100, 100, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      XCB_COPY_FROM_PARENT, 0, nullptr);
    if (!resizable) {
        // WM_NORMAL_HINTS with the smallest and the largest size alike (flags PMinSize | PMaxSize).
        std::array<uint32_t, 18> hints{};
        hints[0] = (1U << 4) | (1U << 5);
        hints[5] = hints[6] = hints[7] = hints[8] = 100;
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, probe, XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS, 32,
                            uint32_t(hints.size()), hints.data());
    }
    askWindowManager(probe, "_NET_REQUEST_FRAME_EXTENTS", {});
    // The window manager answers by setting the property, as soon as it has read the request.
    std::optional<FrameExtents> answer;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    while (!(answer = extentsOf(c, probe)) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    xcb_destroy_window(c, probe);
    xcb_flush(c);
    return answer;
}

// The window manager's answers about new windows, fixed [0] and resizable [1], and its check
// window (_NET_SUPPORTING_WM_CHECK) that tells which window manager gave them.
struct Known {
    uint32_t manager = 0;
    std::array<std::optional<FrameExtents>, 2> frames;
    std::array<int, 2> asked{};
};

} // namespace

void markForAllDesktops(uint32_t window)
{
    xcb_connection_t *c = guiConnection();
    if (!c || window == 0)
        return;
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, atom(c, "_NET_WM_DESKTOP"), XCB_ATOM_CARDINAL, 32, 1,
                        &allDesktops);
    addState(c, window, "_NET_WM_STATE_STICKY");
}

void markKeptAbove(uint32_t window)
{
    if (xcb_connection_t *c = guiConnection(); c && window != 0)
        addState(c, window, "_NET_WM_STATE_ABOVE");
}

void markTransientFor(uint32_t window, uint32_t parent)
{
    xcb_connection_t *c = guiConnection();
    if (!c || window == 0)
        return;
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW, 32, 1, &parent);
    xcb_flush(c);
}

void askKeptAbove(uint32_t window, bool above) { askState(window, "_NET_WM_STATE_ABOVE", above); }

void askModal(uint32_t window, bool modal) { askState(window, "_NET_WM_STATE_MODAL", modal); }

void showOnAllDesktops(uint32_t window)
{
    // Source indication 1: a request of an ordinary application.
    xcb_connection_t *c = guiConnection();
    if (!c)
        return;
    askWindowManager(window, "_NET_WM_DESKTOP", {allDesktops, 1});
    askWindowManager(window, "_NET_WM_STATE", {1 /* add */, atom(c, "_NET_WM_STATE_STICKY"), 0, 1});
}

void raiseWindow(uint32_t window)
{
    constexpr uint32_t noSibling = 0;
    askWindowManager(window, "_NET_RESTACK_WINDOW", {fromPager, noSibling, XCB_STACK_MODE_ABOVE});
}

uint32_t activeWindow()
{
    xcb_connection_t *c = guiConnection();
    if (!c)
        return 0;
    const xcb_window_t root = screenRoot(c);
    const std::vector<uint32_t> active = words(c, root, atom(c, "_NET_ACTIVE_WINDOW"), XCB_ATOM_WINDOW, 1);
    return active.empty() ? 0 : active.front();
}

std::optional<uint32_t> keyboardFocus()
{
    xcb_connection_t *c = guiConnection();
    if (!c)
        return std::nullopt;
    xcb_get_input_focus_reply_t *r = xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr);
    const std::optional<uint32_t> focus = r ? std::optional<uint32_t>(r->focus) : std::nullopt;
    std::free(r);
    return focus;
}

void activate(uint32_t window) { askWindowManager(window, "_NET_ACTIVE_WINDOW", {fromPager, XCB_CURRENT_TIME, 0}); }

std::optional<bool> iconic(uint32_t window)
{
    xcb_connection_t *c = guiConnection();
    if (!c || window == 0)
        return std::nullopt;
    const xcb_atom_t wmState = atom(c, "WM_STATE");
    const std::vector<uint32_t> state = words(c, window, wmState, wmState, 1);
    if (state.empty() || (state.front() != normalState && state.front() != iconicState))
        return std::nullopt;
    return state.front() == iconicState;
}

uint32_t frameOf(uint32_t window)
{
    xcb_connection_t *c = guiConnection();
    if (!c || window == 0)
        return 0;
    xcb_query_tree_reply_t *tree = xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr);
    uint32_t frame = 0;
    if (tree)
        frame = tree->parent == tree->root || tree->parent == XCB_WINDOW_NONE ? window : tree->parent;
    std::free(tree);
    return frame;
}

bool viewable(uint32_t window)
{
    xcb_connection_t *c = guiConnection();
    if (!c || window == 0)
        return false;
    xcb_get_window_attributes_reply_t *attributes =
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr);
    const bool shown = attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
    std::free(attributes);
    return shown;
}

// Changes a window's WM_HINTS (flags, input, initial state, icon pixmap, icon window, icon x and
// y, icon mask, group), keeping what `change` leaves alone.
template <typename Change> void changeHints(uint32_t window, Change change)
{
    xcb_connection_t *c = guiConnection();
    if (!c || window == 0)
        return;
    constexpr uint32_t count = 9;
    std::vector<uint32_t> hints = words(c, window, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, count);
    hints.resize(count, 0);
    change(hints);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 32, count,
                        hints.data());
    xcb_flush(c);
}

void markInitiallyNormal(uint32_t window)
{
    changeHints(window, [](std::vector<uint32_t> &hints) {
        hints[0] |= stateHint;
        hints[2] = normalState;
    });
}

void markOwnGroup(uint32_t window)
{
    changeHints(window, [window](std::vector<uint32_t> &hints) {
        hints[0] |= groupHint;
        hints[8] = window;
    });
}

void moveToCurrentDesktop(uint32_t window)
{
    xcb_connection_t *c = guiConnection();
    if (!c || window == 0)
        return;
    const std::vector<uint32_t> current =
        words(c, screenRoot(c), atom(c, "_NET_CURRENT_DESKTOP"), XCB_ATOM_CARDINAL, 1);
    const std::vector<uint32_t> own = words(c, window, atom(c, "_NET_WM_DESKTOP"), XCB_ATOM_CARDINAL, 1);
    if (current.empty() || own.empty() || own.front() == allDesktops || own.front() == current.front())
        return;
    // Source indication 1: a request of an ordinary application about its own window.
    askWindowManager(window, "_NET_WM_DESKTOP", {current.front(), 1});
}

void deiconify(uint32_t window)
{
    if (xcb_connection_t *c = guiConnection(); c && window != 0) {
        xcb_map_window(c, window);
        xcb_flush(c);
    }
}

std::optional<FrameExtents> frameExtents(uint32_t window, bool resizable)
{
    xcb_connection_t *c = guiConnection();
    if (!c)
        return std::nullopt;
    const xcb_window_t root = screenRoot(c);
    const std::vector<uint32_t> manager = words(c, root, atom(c, "_NET_SUPPORTING_WM_CHECK"), XCB_ATOM_WINDOW, 1);
    if (manager.empty())
        return std::nullopt;
    // Another window manager (another check window) may draw other frames.
    static Known known; // GUI thread only
    if (known.manager != manager.front())
        known = {manager.front(), {}};
    std::optional<FrameExtents> &kept = known.frames[resizable ? 1 : 0];
    if (window != 0)
        if (const std::optional<FrameExtents> own = extentsOf(c, window)) {
            // What it draws now (after a change of theme, say) it draws around the next window.
            if (ordinary(c, window))
                kept = own;
            return own;
        }
    // A window manager that leaves the question unanswered is asked a few times, not at every
    // window placed: each wait holds the interface for a second.
    if (!kept && known.asked[resizable ? 1 : 0]++ < 3)
        kept = askAboutNewWindow(c, root, resizable);
    return kept;
}

} // namespace tarn::X11
