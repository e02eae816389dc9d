// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/shell/DialogsInFront.h"

#include <algorithm>

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QTimer>
#include <QWindow>

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

// The open dialogs float with our floating windows, in front of them, while one of those is on
// the screen, and go back among the ordinary windows when the last one goes: kept above for
// nothing, a dialog left open would stay over the application the user turned to. While they
// float, the window manager is told that none of them is modal: it would raise a modal one only
// together with the window it is modal for, in that window's layer under the pins, so a pin
// clicked over a question would stay over it. The application keeps the dialog modal all the
// same, and the window it blocks hands the keyboard on to it. Deferred, so that the requests
// follow the map, raise or unmap of the window they answer.
void followFloatingWindows(bool raise)
{
    QTimer::singleShot(0, qApp, [raise] {
        const bool above = floatingShown();
        const QWidgetList dialogs = openDialogs();
        for (QWidget *dialog : dialogs) {
            X11::askKeptAbove(uint32_t(dialog->winId()), above);
            if (dialog->isModal())
                X11::askModal(uint32_t(dialog->winId()), !above);
        }
        if (above && raise) // a pin opened or clicked while a dialog is open goes behind it again
            for (QWidget *dialog : dialogs)
                dialog->raise();
    });
}

// Whether a press lands on a floating window, which the window manager raises over the dialogs
// too, also when it has the keyboard already. The top-level window takes the press first, once.
bool pressedOnFloating(QObject *watched, QEvent::Type type)
{
    const auto *window = qobject_cast<QWindow *>(watched);
    return type == QEvent::MouseButtonPress && window && window->isTopLevel() &&
        isFloating(QWidget::find(window->winId()));
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
        if (floatingShown()) {
            X11::markKeptAbove(uint32_t(static_cast<QWidget *>(watched)->winId()));
            followFloatingWindows(false);
        }
    } else if (((type == QEvent::Show || type == QEvent::WindowActivate || type == QEvent::Hide) &&
                isFloating(watched)) ||
               pressedOnFloating(watched, type)) {
        followFloatingWindows(type != QEvent::Hide);
    }
    return QObject::eventFilter(watched, event);
}

} // namespace tarn
