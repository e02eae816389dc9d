// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/shell/DialogsInFront.h"

#include <algorithm>

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QTimer>

#include "platform/x11/X11WindowHints.h"

namespace tarn {

namespace {

bool isDialog(const QObject *object)
{
    const auto *dialog = qobject_cast<const QDialog *>(object);
    return dialog && dialog->isWindow();
}

// A pin, panel or other window of ours kept above the ordinary ones (override-redirect windows,
// the region overlay, are no part of the window manager's stacking).
bool isFloating(const QObject *object)
{
    const auto *widget = qobject_cast<const QWidget *>(object);
    return widget && widget->isWindow() && !isDialog(widget) &&
        widget->windowFlags().testFlag(Qt::WindowStaysOnTopHint) &&
        !widget->windowFlags().testFlag(Qt::X11BypassWindowManagerHint);
}

bool floatingShown()
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    return std::any_of(windows.begin(), windows.end(),
                       [](const QWidget *window) { return window->isVisible() && isFloating(window); });
}

QWidgetList openDialogs()
{
    QWidgetList open;
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (isDialog(widget) && widget->isVisible())
            open << widget;
    return open;
}

// A pin opened or clicked while a dialog is open goes behind the dialog again.
void raiseOpenDialogs()
{
    for (QWidget *dialog : openDialogs())
        dialog->raise();
}

// The open dialogs float with our floating windows, in front of them, while one of those is on
// the screen, and go back among the ordinary windows when the last one goes: kept above for
// nothing, a dialog left open would stay over the application the user turned to. Deferred, so
// that the requests follow the floating window's own map, raise or unmap.
void followFloatingWindows(bool raise)
{
    QTimer::singleShot(0, qApp, [raise] {
        const bool above = floatingShown();
        for (QWidget *dialog : openDialogs())
            X11::askKeptAbove(uint32_t(dialog->winId()), above);
        if (above && raise)
            raiseOpenDialogs();
    });
}

} // namespace

DialogsInFront::DialogsInFront(QObject *parent) : QObject(parent) { qApp->installEventFilter(this); }

DialogsInFront::~DialogsInFront()
{
    if (qApp)
        qApp->removeEventFilter(this);
}

bool DialogsInFront::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::Show && isDialog(watched)) {
        // The show event comes before the map: the window manager takes the window on kept
        // above, in the floating windows' layer, and newest in front of them.
        if (floatingShown())
            X11::markKeptAbove(uint32_t(static_cast<QWidget *>(watched)->winId()));
    } else if ((type == QEvent::Show || type == QEvent::WindowActivate || type == QEvent::Hide) &&
               isFloating(watched)) {
        followFloatingWindows(type != QEvent::Hide);
    }
    return QObject::eventFilter(watched, event);
}

} // namespace tarn
