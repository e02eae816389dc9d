// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/widgets/DialogChain.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QFileDialog>
#include <QWindow>

#include "platform/x11/X11WindowHints.h"

namespace tarn {

namespace {

QWindow *transientParentOf(const QWidget *widget)
{
    const QWindow *handle = widget->windowHandle();
    return handle ? handle->transientParent() : nullptr;
}

// The dialogs shown over `window` (or, not yet shown, to be shown over it) that hold it up.
QWidgetList dialogsOver(const QWidget *window)
{
    QWidgetList over;
    if (const QWindow *handle = window->windowHandle())
        for (QWidget *widget : QApplication::topLevelWidgets())
            if (widget != window && DialogChain::holdsUp(widget) && transientParentOf(widget) == handle)
                over << widget;
    return over;
}

// The dialog shown next over `window`, other than `except`.
QWidget *nextBut(const QWidget *window, const QWidget *except)
{
    for (QWidget *over : dialogsOver(window))
        if (over != except && over->isVisible())
            return over;
    return nullptr;
}

// Puts `dialog`, about to be shown (and so already counted as visible), in front of the chain
// over the window it is shown over.
void join(QWidget *dialog)
{
    const QWindow *under = transientParentOf(dialog);
    QWidget *window = under ? QWidget::find(under->winId()) : nullptr;
    if (!window)
        return;
    QWidget *front = window;
    for (QWidget *over = nextBut(front, dialog); over; over = nextBut(over, dialog))
        front = over;
    if (front != window)
        dialog->windowHandle()->setTransientParent(front->windowHandle()); // written to the server as it maps
}

// The dialogs over `dialog`, which goes (answered, or closed with the message it showed), now
// stand over what it stood over, and stay in the way of that window.
void leave(QWidget *dialog)
{
    QWindow *under = transientParentOf(dialog);
    if (!under)
        return;
    for (QWidget *over : dialogsOver(dialog)) {
        over->windowHandle()->setTransientParent(under);
        if (over->isVisible()) // the window manager reads the link anew only from the window
            X11::markTransientFor(uint32_t(over->winId()), uint32_t(under->winId()));
    }
}

// Whether the X server sends the keys to `window` now (Qt's word without a display).
bool hasTheKeys(const QWidget *window)
{
    const std::optional<uint32_t> focus = X11::keyboardFocus();
    return !focus || *focus == uint32_t(window->winId());
}

// Whether a modal dialog in the chain over `window` blocks it.
bool blocked(const QWidget *window)
{
    for (const QWidget *over = DialogChain::next(window); over; over = DialogChain::next(over))
        if (over->isModal())
            return true;
    return false;
}

} // namespace

DialogChain::DialogChain(QObject *parent) : QObject(parent) { qApp->installEventFilter(this); }

DialogChain::~DialogChain()
{
    if (qApp)
        qApp->removeEventFilter(this);
}

bool DialogChain::holdsUp(const QWidget *widget)
{
    const auto *dialog = qobject_cast<const QDialog *>(widget);
    return dialog && dialog->isWindow() && (dialog->isModal() || qobject_cast<const QFileDialog *>(dialog));
}

QWidget *DialogChain::next(const QWidget *window) { return nextBut(window, nullptr); }

QWidget *DialogChain::front(QWidget *window)
{
    for (QWidget *over = next(window); over; over = next(over))
        window = over;
    return window;
}

bool DialogChain::eventFilter(QObject *watched, QEvent *event)
{
    if (!watched->isWidgetType())
        return false;
    auto *widget = static_cast<QWidget *>(watched);
    switch (event->type()) {
    case QEvent::Show: // sent before the window is mapped
        if (holdsUp(widget))
            join(widget);
        break;
    case QEvent::Hide:
        if (holdsUp(widget))
            leave(widget);
        break;
    case QEvent::WindowActivate:
        // A window that a modal dialog blocks takes no key: its keyboard goes to the dialog in
        // front (a file panel alone leaves the window free to work in). Only a keyboard it has:
        // Qt also takes a window for activated when its own request to activate it comes back to
        // it, late on a busy machine, when the keyboard may have gone to another program since
        // (the one a capture handed it back to), or never come to this window.
        if (widget->isWindow() && blocked(widget) && hasTheKeys(widget)) {
            QWidget *inFront = front(widget);
            inFront->raise();
            inFront->activateWindow();
            // Also asked as a pager asks for the user's pick: kwin grants an application's own
            // request to move the keyboard from the window just clicked to its dialog, yet leaves it
            // with the clicked window.
            X11::activate(uint32_t(inFront->winId()));
        }
        break;
    default:
        break;
    }
    return false;
}

} // namespace tarn
