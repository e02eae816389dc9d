// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/floating/AllDesktops.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include "platform/x11/X11WindowHints.h"

namespace tarn {

void AllDesktops::keep(QWidget *window)
{
    static auto *filter = new AllDesktops(QCoreApplication::instance());
    window->installEventFilter(filter);
    if (window->isVisible())
        X11::showOnAllDesktops(uint32_t(window->winId()));
}

bool AllDesktops::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::Show)
        return false;
    auto *window = qobject_cast<QWidget *>(watched);
    if (!window || !window->isWindow())
        return false;
    // The show event comes before the map: the properties are there when the window manager
    // takes the window on, and the requests follow the map once the event loop has sent it.
    const auto id = uint32_t(window->winId());
    X11::markForAllDesktops(id);
    X11::markOwnGroup(id);
    QTimer::singleShot(0, window, [id] { X11::showOnAllDesktops(id); });
    return false;
}

} // namespace tarn
