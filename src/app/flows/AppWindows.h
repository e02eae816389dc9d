// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstdint>
#include <vector>

#include <QPointer>
#include <QWidget>

#include "app/flows/TaskCancellation.h"

class QScreen;

namespace tarn {

// The application's own windows and screens as the capture and recording flows handle them.
namespace AppWindows {

// Windows taken off the screen, with what is needed to put them back as they were.
struct HiddenWindows {
    std::vector<QPointer<QWidget>> windows; // back to front, as the window manager stacked them
    QPointer<QWidget> focused;              // the one that had the focus, if one of ours had it
    // Ours and the other applications' ordinary windows from the back-most of ours forward, back
    // to front: raising them in this order puts ours back between the others as they were, so
    // that showing ours again does not bring them over the window the user worked in.
    std::vector<uint32_t> stacking;
    uint32_t otherFocused = 0; // the other application's window that had the focus, if one had it
    // What showed ours on the screen when they were hidden (the window manager's frames): until
    // it has taken those down, the screen still shows our windows' last pixels.
    std::vector<uint32_t> frames;

    bool empty() const { return windows.empty(); }
    // The keys go back to `other`, another application's window, when one is given: ours had them
    // only because a sheet asked for from there had just closed.
    void returnKeysTo(uint32_t other)
    {
        if (other == 0)
            return;
        focused = nullptr;
        otherFocused = other;
    }
};

// Orders out the visible ordinary windows (library, editors, text and video windows) and
// returns them in their stacking order; floating panels (quick capture, countdown, HUD, pins)
// stay as they are.
HiddenWindows hideNormalWindows();
// Orders out every visible window of ours, the floating panels and pins as well, for a
// recording: X11 would film them.
HiddenWindows hideAllWindows();
// The windows shown again, and the window the user works in, ours or another application's, that
// is to have the keyboard once they are back.
struct RestoredWindows {
    std::vector<QPointer<QWidget>> shown;
    QPointer<QWidget> own;
    uint32_t other = 0;
};

// The other application's window that has the keyboard now; 0 when one of ours or none has it.
uint32_t otherActiveWindow();

// Shows the windows again in their old stacking order, behind the other applications' windows
// that were in front of them and are still there. Windows of ours that came up
// while they were hidden (a question during a recording, the library brought forward for an
// error) stay in front of them, and the window with the keyboard now keeps it; otherwise the
// window that had the focus, ours or another application's, gets it back.
RestoredWindows restoreWindows(const HiddenWindows &hidden);

// Hands the keyboard back to the window the user works in, or the front of its dialog chain, and
// waits until it has it, at most `limit`; at once when it is gone or none was given. Windows shown
// again take it in several steps, each awaiting the window manager: Qt activates each modal dialog
// it maps once the window manager has mapped it, and a window that one of them blocks hands the
// keyboard on to the front of its chain. The user's window asks for it again after the last of
// those; a window opened before they are done would have its keyboard taken by the last of them.
// The hand-back looks on the event loop and belongs to `owner`: one still waiting when the owner
// goes (the application quitting) goes with it, where a task would wait for ever.
void handKeyboardBack(RestoredWindows restored, std::chrono::milliseconds limit, QObject *owner);
// The same hand-back, awaited by what must come after it (the windows a capture opens); the
// awaiting task goes on also when the owner goes before the hand-back is over.
QCoro::Task<> keyboardBack(RestoredWindows restored, std::chrono::milliseconds limit, QObject *owner);

// What shows a window of ours on the screen (see X11::frameOf), noted before it is hidden.
uint32_t frameOf(QWidget *window);
// Waits until none of `frames` is on the screen any more, at most `limit`: the window manager
// takes a hidden window's frame down only when it gets to it, late on a busy machine, and a grab
// before that films the window. Looks every few milliseconds on the event loop; throws
// CancellationError when the token is cancelled.
QCoro::Task<> offScreen(std::vector<uint32_t> frames, std::chrono::milliseconds limit, CancellationToken token);

// The screen showing a display, or none when no screen does.
QScreen *screenOf(uint32_t displayID);

// Whether a window of ours is in the task bar, minimized by us or by the window manager behind
// Qt's back (its button, a pager): it is then on no screen, though Qt counts it as visible.
bool isMinimized(const QWidget *window);
// Brings a window of ours to the front with the keyboard, back out of the task bar and onto the
// desktop the user is on first; a dialog the window waits on comes in front of it and takes the
// keyboard. Every command that brings a window forward goes through here, or a minimized window
// or one on another desktop would stay there, raised and activated where nobody sees it.
void bringForward(QWidget *window);

} // namespace AppWindows
} // namespace tarn
