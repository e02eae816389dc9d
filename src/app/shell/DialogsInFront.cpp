// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/shell/DialogsInFront.h"

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

// A pin opened or clicked while a dialog is open goes behind the dialog again. Deferred, so the
// request follows the pin's own map or raise.
void raiseOpenDialogs()
{
    QTimer::singleShot(0, qApp, [] {
        for (QWidget *widget : QApplication::topLevelWidgets())
            if (isDialog(widget) && widget->isVisible())
                widget->raise();
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
    if (event->type() == QEvent::Show && isDialog(watched))
        // The show event comes before the map: the window manager takes the window on kept
        // above, in the floating windows' layer, and newest in front of them.
        X11::markKeptAbove(uint32_t(static_cast<QWidget *>(watched)->winId()));
    else if ((event->type() == QEvent::Show || event->type() == QEvent::WindowActivate) && isFloating(watched))
        raiseOpenDialogs();
    return QObject::eventFilter(watched, event);
}

} // namespace tarn
