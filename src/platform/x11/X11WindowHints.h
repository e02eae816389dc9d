// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>

namespace tarn::X11 {

// Floating windows belong on every desktop. A window manager reads _NET_WM_DESKTOP and
// _NET_WM_STATE when it takes a window on, drops them when the window is hidden, and for a
// window it manages takes changes only as requests. Both go through the application's own X
// connection, so that they reach the server in order with its map requests. Nothing happens
// without an X display.

// Before the window is mapped: puts it on all desktops (0xFFFFFFFF) with the sticky state.
void markForAllDesktops(uint32_t window);
// Before the window is mapped: has it kept above the ordinary windows, in the floating windows'
// layer, without changing Qt's flags of the window (Qt would make a new window for them).
void markKeptAbove(uint32_t window);
// After it is mapped: asks the window manager to keep it above the ordinary windows, or no more.
void askKeptAbove(uint32_t window, bool above);
// After it is mapped: asks the window manager to take a dialog as modal for the window it is shown
// over (_NET_WM_STATE_MODAL), or no more. A window manager may raise a modal dialog only together
// with that window, within that window's layer.
void askModal(uint32_t window, bool modal);
// After it is mapped: asks the window manager for all desktops and the sticky state.
void showOnAllDesktops(uint32_t window);
// Asks the window manager to raise a window in its layer (_NET_RESTACK_WINDOW, sent as a pager
// would: window managers take stacking requests for other programs' windows from pagers).
void raiseWindow(uint32_t window);
// The window the window manager reports as active (_NET_ACTIVE_WINDOW), 0 if none.
uint32_t activeWindow();
// The window the X server sends the keys to now (0 for none, 1 for the one under the pointer),
// whatever the window manager has said of it yet; none without an X display.
std::optional<uint32_t> keyboardFocus();
// Asks the window manager to activate a window, as a pager does when the user picks one.
void activate(uint32_t window);
// Whether the window manager shows the window iconic (minimized) or not, by its WM_STATE; none
// when it has not said (no window manager, or a window it has not taken on).
std::optional<bool> iconic(uint32_t window);
// The window that shows a top-level window of ours on the screen: the frame a reparenting window
// manager put it in (its parent, when that is not the root), else the window itself; 0 without a
// display. Unmapping our window leaves that frame on the screen, still showing the window's last
// pixels, until the window manager has taken it down.
uint32_t frameOf(uint32_t window);
// Whether a window is mapped with all its ancestors, so that the screen shows it; false for a
// window that no longer exists.
bool viewable(uint32_t window);
// Before the window is mapped again: has the window manager take it on shown, not iconic (the
// initial state of its WM_HINTS). Qt writes the iconic state there when it minimizes a window and
// leaves it there when the window manager restores the window, so that such a window, hidden and
// shown again, would come back minimized.
void markInitiallyNormal(uint32_t window);
// Before the window is mapped: makes it the leader of a window group of its own (WM_HINTS), apart
// from the application's other windows. Qt puts every window of the application in one group and
// announces a tool window as transient for that group; a window manager may then take it as a
// palette of the group's main windows, kwin hiding it whenever it cannot trace it to the active one
// (a group transient is transient for the others mapped before it, and a few mapped again lose
// that trace for all but one).
void markOwnGroup(uint32_t window);
// Asks the window manager to move a window that lies on another desktop than the one the user
// is on (_NET_WM_DESKTOP, _NET_CURRENT_DESKTOP) to the user's; a window on every desktop, or one
// the window manager has not put on a desktop, stays where it is. The move reaches the window
// manager before any later request of the application's own connection.
void moveToCurrentDesktop(uint32_t window);
// After it is mapped: has the window manager take `window` as shown over `parent`
// (WM_TRANSIENT_FOR), which it reads anew whenever the property changes.
void markTransientFor(uint32_t window, uint32_t parent);

// Takes an iconified window out of the task bar the way a client does it in X11: by mapping it
// again, which every window manager answers by restoring the window.
void deiconify(uint32_t window);

// The widths of the frame a window manager draws around a window, in device pixels.
struct FrameExtents {
    uint32_t left = 0;
    uint32_t right = 0;
    uint32_t top = 0;
    uint32_t bottom = 0;
};
// The frame the window manager drew around `window` (0 for none) or, before it framed it, the
// frame it would draw around a new ordinary window, `resizable` or of one fixed size; none when
// no window manager answers. The latter is asked once per window manager
// (_NET_REQUEST_FRAME_EXTENTS, about a window made for the question and never shown: a window
// manager may take a window it is asked about for a moment as lying at the desktop's origin,
// which would move a real window about) and its answer awaited for a moment; a framed window
// neither full screen nor maximized tells it anew. Only an answer is kept: after a wait that ran
// out, the next call asks again, up to three questions per window manager.
std::optional<FrameExtents> frameExtents(uint32_t window, bool resizable);

} // namespace tarn::X11
