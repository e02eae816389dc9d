// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// How the window manager stacks and focuses the desktop's windows, read with xprop as any other
// program on the desktop would: the client list back to front and the active window.
#include <cstdint>
#include <ctime>
#include <vector>

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include "platform/x11/X11WindowHints.h"

namespace tarn::TestSupport {

// What an X client (xprop, xwininfo, xdotool) prints; nothing when it does not finish.
inline QString clientOutput(const QString &program, const QStringList &arguments)
{
    QProcess client;
    client.start(program, arguments);
    return client.waitForFinished(5000) ? QString::fromLocal8Bit(client.readAllStandardOutput()) : QString();
}

inline QString rootProperty(const QString &name)
{
    return clientOutput(QStringLiteral("xprop"), {QStringLiteral("-root"), name});
}

inline std::vector<uint32_t> windowIds(const QString &property)
{
    std::vector<uint32_t> ids;
    static const QRegularExpression hex(QStringLiteral("0x[0-9a-fA-F]+"));
    for (const QRegularExpressionMatch &match : hex.globalMatch(property))
        ids.push_back(match.captured().toUInt(nullptr, 16));
    return ids;
}

// The window manager's name, as it gives it on its check window ("KWin", "Openbox", ...).
inline QString windowManagerName()
{
    const std::vector<uint32_t> check = windowIds(rootProperty(QStringLiteral("_NET_SUPPORTING_WM_CHECK")));
    return check.empty()
        ? QString()
        : clientOutput(QStringLiteral("xprop"),
                       {QStringLiteral("-id"), QString::number(check.front()), QStringLiteral("_NET_WM_NAME")})
              .section(u'"', 1, 1);
}

// The managed windows, back to front.
inline std::vector<uint32_t> stackingOrder()
{
    return windowIds(rootProperty(QStringLiteral("_NET_CLIENT_LIST_STACKING")));
}

inline uint32_t activeWindow()
{
    const std::vector<uint32_t> ids = windowIds(rootProperty(QStringLiteral("_NET_ACTIVE_WINDOW")));
    return ids.empty() ? 0 : ids.front();
}

// True when the windows are stacked in the given order, back to front (others may lie between).
inline bool stackedInOrder(const std::vector<uint32_t> &backToFront)
{
    const std::vector<uint32_t> order = stackingOrder();
    auto from = order.begin();
    for (uint32_t window : backToFront) {
        from = std::find(from, order.end(), window);
        if (from == order.end())
            return false;
    }
    return true;
}

inline bool stackedInOrder(const std::vector<const QWidget *> &backToFront)
{
    std::vector<uint32_t> ids;
    for (const QWidget *window : backToFront)
        ids.push_back(uint32_t(window->winId()));
    return stackedInOrder(ids);
}

// The window manager's state of a window (WM_STATE): "Normal", "Iconic", or none.
inline QString windowState(const QWidget *window)
{
    static const QRegularExpression state(QStringLiteral("window state: (\\w+)"));
    const QStringList arguments{QStringLiteral("-id"), QString::number(window->winId()), QStringLiteral("WM_STATE")};
    return state.match(clientOutput(QStringLiteral("xprop"), arguments)).captured(1);
}

// Whether the window manager has put the window on the desktop the user is on, or on all of them.
inline bool onTheUsersDesktop(const QWidget *window)
{
    static const QRegularExpression number(QStringLiteral("= (\\d+)"));
    const QStringList arguments{QStringLiteral("-id"), QString::number(window->winId()),
                                QStringLiteral("_NET_WM_DESKTOP")};
    const QString own = number.match(clientOutput(QStringLiteral("xprop"), arguments)).captured(1);
    return !own.isEmpty() &&
        (own == number.match(rootProperty(QStringLiteral("_NET_CURRENT_DESKTOP"))).captured(1) || own == u"4294967295");
}

// Whether the user sees the window: in the normal state, its own pixel shown at its middle.
inline bool onScreen(QWidget *window)
{
    const QPoint middle = window->rect().center(), at = window->mapToGlobal(middle);
    return windowState(window) == u"Normal" &&
        window->screen()->grabWindow(0, at.x(), at.y(), 1, 1).toImage().pixel(0, 0) ==
        window->grab(QRect(middle, QSize(1, 1))).toImage().pixel(0, 0);
}

// Whether the pointer, moved to `at` (root device pixels), is over `window`: the top-level window
// the X server finds there, a frame of the window manager's or an override-redirect overlay, is
// the window or holds it.
inline bool underThePointer(const QWidget *window, QPoint at)
{
    static const QRegularExpression found(QStringLiteral("WINDOW=(\\d+)"));
    const QStringList ask{QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()),
                          QStringLiteral("getmouselocation"), QStringLiteral("--shell")};
    const QString top = found.match(clientOutput(QStringLiteral("xdotool"), ask)).captured(1);
    const QStringList tree{QStringLiteral("-tree"), QStringLiteral("-id"), top};
    return !top.isEmpty() &&
        clientOutput(QStringLiteral("xwininfo"), tree).contains(QStringLiteral("0x%1 ").arg(window->winId(), 0, 16));
}

// The window of another program titled `title`, once the window manager lists it; 0 if none
// comes within five seconds.
inline uint32_t managedWindowTitled(const QString &title)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 5000) {
        QProcess search;
        search.start(QStringLiteral("xdotool"),
                     {QStringLiteral("search"), QStringLiteral("--name"), u'^' + title + u'$'});
        search.waitForFinished(5000);
        const QString found = QString::fromLatin1(search.readAllStandardOutput()).trimmed();
        const std::vector<uint32_t> managed = stackingOrder();
        for (const QString &line : found.split(u'\n', Qt::SkipEmptyParts))
            if (std::find(managed.begin(), managed.end(), line.toUInt()) != managed.end())
                return line.toUInt();
        QTest::qWait(50);
    }
    return 0;
}

// Whether `window` has the keyboard, as the window manager reports it, and keeps it for `spanMs`,
// the process using less than a fifth of a core meanwhile: two windows that hand the keyboard
// back and forth flip it and burn a core. Read through the application's own connection, which
// costs the process next to nothing.
inline bool keepsTheKeyboard(const QWidget *window, int spanMs)
{
    const std::clock_t before = std::clock();
    const bool lost = QTest::qWaitFor([&] { return X11::activeWindow() != uint32_t(window->winId()); }, spanMs);
    const double cpu = double(std::clock() - before) / CLOCKS_PER_SEC;
    EXPECT_LT(cpu, spanMs / 1000.0 / 5) << "seconds of CPU time while the keyboard should rest";
    return !lost && cpu < spanMs / 1000.0 / 5;
}

// True once the condition holds and still holds a moment later: the window manager answers
// requests in its own time, and a state it passes through on the way does not count.
template <typename Condition> bool settles(Condition condition, int timeoutMs = 5000)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < timeoutMs) {
        if (condition()) {
            QTest::qWait(300);
            if (condition())
                return true;
        }
        QTest::qWait(50);
    }
    return false;
}

// What Qt takes for word that its window is active: a _NET_ACTIVE_WINDOW message for the window,
// as its own request to activate it comes back to it (late on a busy machine). Sent to the window
// alone: the window manager does not hear it, and the keyboard stays where it is.
inline void activationComesBack(const QWidget *window)
{
    xcb_connection_t *c = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
    xcb_intern_atom_reply_t *type = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, 18, "_NET_ACTIVE_WINDOW"), nullptr);
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = uint32_t(window->winId());
    event.type = type ? type->atom : xcb_atom_t(XCB_ATOM_NONE);
    event.data.data32[0] = 1; // from an application
    std::free(type);
    xcb_send_event(c, 0, event.window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char *>(&event));
    xcb_flush(c);
}

} // namespace tarn::TestSupport
