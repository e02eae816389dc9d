// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/flows/AppWindows.h"

#include <algorithm>
#include <coroutine>
#include <limits>
#include <unordered_map>

#include <QApplication>
#include <QScreen>
#include <QTimer>
#include <QVariant>
#include <QWindow>

#include "app/capture/DesktopScreens.h"
#include "app/capture/OwnWindows.h"
#include "app/widgets/DialogChain.h"
#include "platform/ScreenSource.h"
#include "platform/x11/X11WindowHints.h"

namespace tarn::AppWindows {
namespace {

// Panels float above everything (tool windows kept on top); ordinary windows do not, nor do the
// dialogs over them (a window-modal alert is a sheet to Qt). The tray icon is part of the panel,
// not a window of the application.
bool isNormalWindow(const QWidget *widget)
{
    const Qt::WindowType type = widget->windowType();
    return (type == Qt::Window || type == Qt::Dialog || type == Qt::Sheet) &&
        !widget->windowFlags().testFlag(Qt::WindowStaysOnTopHint) && !OwnWindows::isTrayIcon(widget);
}

// Every window of ours a picture of the screen would show: the floating ones as well; menus
// and tooltips close by themselves.
bool isAnyWindow(const QWidget *widget)
{
    const Qt::WindowType type = widget->windowType();
    return type != Qt::Popup && type != Qt::ToolTip && !OwnWindows::isTrayIcon(widget);
}

uint32_t idOf(const QWidget *window) { return uint32_t(window->winId()); }

// Whether the window lies minimized as the user sees it: the window manager's word (WM_STATE),
// which Qt's window state follows only as its events come in; Qt's without a window manager.
bool minimized(const QWidget *window) { return X11::iconic(idOf(window)).value_or(window->isMinimized()); }

// The visible windows of ours that `counts`, back to front as the window manager stacks them
// (`stacking`, front-most first); windows it does not list yet keep their relative order behind
// the others.
std::vector<QWidget *> visibleWindows(const std::vector<WindowInfo> &stacking, bool (*counts)(const QWidget *))
{
    std::vector<QWidget *> windows;
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (widget->isVisible() && counts(widget) && !minimized(widget))
            windows.push_back(widget);
    if (windows.size() < 2)
        return windows;
    std::unordered_map<uint32_t, size_t> depth; // 0 for the front-most window of the desktop
    for (size_t i = 0; i < stacking.size(); ++i)
        depth.emplace(stacking[i].id, i);
    const auto depthOf = [&depth](QWidget *window) {
        const auto found = depth.find(idOf(window));
        return found == depth.end() ? std::numeric_limits<size_t>::max() : found->second;
    };
    std::stable_sort(windows.begin(), windows.end(),
                     [&depthOf](QWidget *a, QWidget *b) { return depthOf(a) > depthOf(b); });
    return windows;
}

bool isOurs(uint32_t id, const std::vector<QWidget *> &ours)
{
    return std::any_of(ours.begin(), ours.end(), [id](QWidget *own) { return idOf(own) == id; });
}

// The ids of `ours` and of the ordinary windows of other applications in front of the back-most
// of them, back to front; ours that the window manager does not list yet come first.
std::vector<uint32_t> stackingFromOurs(const std::vector<QWidget *> &ours, const std::vector<WindowInfo> &stacking)
{
    std::vector<uint32_t> order;
    for (QWidget *window : ours)
        if (std::none_of(stacking.begin(), stacking.end(),
                         [window](const WindowInfo &w) { return w.id == idOf(window); }))
            order.push_back(idOf(window));
    bool behindOurs = true;
    for (auto info = stacking.rbegin(); info != stacking.rend(); ++info) {
        const bool own = isOurs(info->id, ours);
        behindOurs = behindOurs && !own;
        if (own || (!behindOurs && info->onScreen && info->layer == 0))
            order.push_back(info->id);
    }
    return order;
}

bool onScreen(uint32_t window, const std::vector<WindowInfo> &stacking)
{
    return window != 0 && std::any_of(stacking.begin(), stacking.end(), [window](const WindowInfo &info) {
               return info.id == window && info.onScreen;
           });
}

// Shown as it was when it was hidden, not minimized, without taking the keyboard, and raised. A
// window the user brought back from the task bar after Qt minimized it would otherwise come back
// minimized: Qt still names that state in its hints for the window manager. The wish to be shown
// without the keyboard is read from the window itself (the widget's attribute reaches it only when
// the window is made); without it the window manager hands the keyboard to each window it maps,
// and a window the user turned to meanwhile (an editor the capture opened) would lose it.
void showRaised(QWidget *window)
{
    X11::markInitiallyNormal(idOf(window));
    const char *const quietly = "_q_showWithoutActivating";
    const QVariant quiet = window->windowHandle()->property(quietly);
    window->windowHandle()->setProperty(quietly, true);
    window->show();
    window->windowHandle()->setProperty(quietly, quiet);
    window->raise();
}

// The window the user works in asks for the keyboard, if it is still there.
void giveKeyboard(const RestoredWindows &restored, const std::vector<WindowInfo> &stacking)
{
    if (restored.own && restored.own->isVisible())
        DialogChain::front(restored.own)->activateWindow();
    else if (!restored.own && onScreen(restored.other, stacking))
        X11::activate(restored.other);
}

// Whether the window the user works in, or the front of its dialog chain, has the keyboard; also
// when it is gone, or none was given: nothing is to be waited for then.
bool hasKeyboard(const RestoredWindows &restored)
{
    if (restored.own) {
        const QWidget *active = QApplication::activeWindow();
        return !restored.own->isVisible() || active == restored.own || active == DialogChain::front(restored.own);
    }
    return restored.other == 0 || X11::activeWindow() == restored.other || !X11::viewable(restored.other);
}

// Whether Qt has seen a window shown again mapped: it then has asked for the keyboard for it if it
// was to (a modal dialog). One that is gone or hidden again is not awaited.
bool mapped(const QPointer<QWidget> &window)
{
    return !window || !window->isVisible() || !window->windowHandle() || window->windowHandle()->isExposed();
}

// The window of ours that the window manager names as active, none when it names another
// application's. Qt's own word lags: it lets a window go only some time after it lost the
// keyboard, in case it gets it back, so a hot key pressed right after the user turned to another
// program would find ours still active. Without a window manager, Qt's word.
QWidget *activeOwnWindow(uint32_t active)
{
    if (active == 0)
        return QApplication::activeWindow();
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (widget->internalWinId() == active)
            return widget;
    return nullptr;
}

// The windows shown again take the keyboard, then the user's window asks for it (see keyboardBack).
// Deleted once over; before that with its owner. A task awaiting it goes on when it is over, or
// when it goes with its owner: the task then finds its own owner gone and ends, where a wait on the
// event loop would never end once the application has quit.
class KeyboardHandBack : public QObject {
public:
    KeyboardHandBack(RestoredWindows restored, std::chrono::milliseconds limit, QObject *owner)
        : QObject(owner),
          restored_(std::move(restored)),
          deadline_(std::chrono::steady_clock::now() + limit)
    {
        connect(&poll_, &QTimer::timeout, this, &KeyboardHandBack::look);
        look();
        if (!over_)
            poll_.start(std::chrono::milliseconds(10));
    }
    ~KeyboardHandBack() override { goOn(); }

    // What a task awaits: ready when the hand-back is over, else the task goes on once it is.
    struct Over {
        KeyboardHandBack *handBack;
        bool await_ready() const noexcept { return handBack->over_; }
        void await_suspend(std::coroutine_handle<> waiting) noexcept { handBack->waiting_ = waiting; }
        void await_resume() const noexcept { }
    };
    Over over() { return {this}; }

private:
    void look()
    {
        const bool late = std::chrono::steady_clock::now() >= deadline_;
        if (!asked_) {
            if (!late && !std::all_of(restored_.shown.begin(), restored_.shown.end(), mapped))
                return;
            // Asked also when it has the keyboard still: Qt's requests may not have reached the
            // window manager yet, and this one, sent after them, is answered after them.
            giveKeyboard(restored_, DesktopScreens::source().windows());
            asked_ = true;
        }
        if (!late && !hasKeyboard(restored_))
            return;
        poll_.stop();
        over_ = true;
        deleteLater();
        goOn();
    }
    void goOn()
    {
        if (waiting_)
            std::exchange(waiting_, {}).resume();
    }

    RestoredWindows restored_;
    std::chrono::steady_clock::time_point deadline_;
    QTimer poll_;
    bool asked_ = false, over_ = false;
    std::coroutine_handle<> waiting_;
};

HiddenWindows hideWindows(bool (*counts)(const QWidget *))
{
    HiddenWindows hidden;
    const uint32_t activeId = X11::activeWindow();
    QWidget *active = activeOwnWindow(activeId);
    const std::vector<WindowInfo> stacking = DesktopScreens::source().windows();
    const std::vector<QWidget *> ours = visibleWindows(stacking, counts);
    for (QWidget *window : ours) {
        hidden.windows.emplace_back(window);
        if (window == active)
            hidden.focused = window;
    }
    hidden.stacking = stackingFromOurs(ours, stacking);
    if (!active && !ours.empty())
        hidden.otherFocused = activeId;
    for (QWidget *window : ours)
        if (const uint32_t frame = frameOf(window))
            hidden.frames.push_back(frame);
    for (QWidget *window : ours)
        window->hide();
    return hidden;
}

} // namespace

uint32_t otherActiveWindow()
{
    const uint32_t active = X11::activeWindow();
    return active != 0 && !activeOwnWindow(active) ? active : 0;
}

HiddenWindows hideNormalWindows() { return hideWindows(isNormalWindow); }

HiddenWindows hideAllWindows() { return hideWindows(isAnyWindow); }

RestoredWindows restoreWindows(const HiddenWindows &hidden)
{
    if (hidden.empty())
        return {};
    const std::vector<WindowInfo> stacking = DesktopScreens::source().windows();
    const std::vector<QWidget *> newer = visibleWindows(stacking, isNormalWindow);
    RestoredWindows restored{hidden.windows, hidden.focused, hidden.otherFocused};
    if (!newer.empty()) {
        const uint32_t active = X11::activeWindow();
        QWidget *own = activeOwnWindow(active);
        restored = {hidden.windows, own, own ? 0 : active};
    }
    // Ours whose place is unknown go behind the others.
    for (const QPointer<QWidget> &window : hidden.windows)
        if (window && !window->isVisible() &&
            std::find(hidden.stacking.begin(), hidden.stacking.end(), idOf(window)) == hidden.stacking.end())
            showRaised(window);
    for (uint32_t id : hidden.stacking) {
        const auto own = std::find_if(hidden.windows.begin(), hidden.windows.end(),
                                      [id](const QPointer<QWidget> &window) { return window && idOf(window) == id; });
        if (own != hidden.windows.end() && !(*own)->isVisible())
            showRaised(*own);
        else if (own == hidden.windows.end() && onScreen(id, stacking))
            X11::raiseWindow(id);
    }
    for (QWidget *window : newer)
        window->raise();
    if (newer.empty())
        giveKeyboard(restored, stacking);
    return restored;
}

uint32_t frameOf(QWidget *window) { return X11::frameOf(idOf(window)); }

QCoro::Task<> offScreen(std::vector<uint32_t> frames, std::chrono::milliseconds limit, CancellationToken token)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        std::erase_if(frames, [](uint32_t frame) { return !X11::viewable(frame); });
        if (frames.empty() || std::chrono::steady_clock::now() >= deadline)
            co_return;
        co_await sleep(std::chrono::milliseconds(10), token);
    }
}

void handKeyboardBack(RestoredWindows restored, std::chrono::milliseconds limit, QObject *owner)
{
    new KeyboardHandBack(std::move(restored), limit, owner);
}

QCoro::Task<> keyboardBack(RestoredWindows restored, std::chrono::milliseconds limit, QObject *owner)
{
    auto *handBack = new KeyboardHandBack(std::move(restored), limit, owner);
    co_await handBack->over();
}

QScreen *screenOf(uint32_t displayID)
{
    for (QScreen *screen : QGuiApplication::screens())
        if (DesktopScreens::displayID(screen) == displayID)
            return screen;
    return nullptr;
}

bool isMinimized(const QWidget *window) { return window->isVisible() && minimized(window); }

void bringForward(QWidget *window)
{
    // Where the user is: window managers do not activate a window on another desktop (openbox
    // only marks it as asking for attention), and that desktop may be one the user never visits.
    X11::moveToCurrentDesktop(idOf(window));
    // Asked before Qt's own request below, which the window manager may answer at once.
    const bool iconic = isMinimized(window);
    if (window->isMinimized())
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    if (iconic)
        X11::deiconify(idOf(window));
    window->raise();
    // What the window waits on is what the user must answer: it comes in front, with the keyboard
    // (a window manager would otherwise raise the window over a panel it has no part in, or leave
    // the keyboard with a window that takes no key until its panel is answered). Only the front
    // asks for the keyboard: Qt sends the request of a window that is not mapped (one the window
    // manager shows again from the task bar) once it is, and the window's own, mapped after its
    // panel, would take the keyboard back from it.
    for (QWidget *dialog = DialogChain::next(window); dialog; dialog = DialogChain::next(dialog))
        dialog->raise();
    DialogChain::front(window)->activateWindow();
}

} // namespace tarn::AppWindows
