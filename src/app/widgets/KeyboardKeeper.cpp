// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/widgets/KeyboardKeeper.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QWidget>

namespace tarn::KeyboardKeeper {

namespace {

class Keeper : public QObject {
public:
    explicit Keeper(QWidget &window) : QObject(&window), window_(&window)
    {
        connect(qApp, &QApplication::focusChanged, this, &Keeper::focusChanged);
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::MouseButtonPress:
            if (watched->isWidgetType() && owns(*static_cast<QWidget *>(watched)))
                parked_ = nullptr; // the user moves on
            break;
        case QEvent::EnabledChange:
            if (parked_ && watched == parked_ && parked_->isEnabled())
                giveBack();
            break;
        default:
            break;
        }
        return false;
    }

private:
    void focusChanged(QWidget *old, QWidget *now)
    {
        if (!now && old && !old->isEnabled() && owns(*old))
            parked_ = old;
    }

    void giveBack()
    {
        QWidget *control = parked_;
        parked_ = nullptr;
        if (control->isVisible())
            control->setFocus(Qt::OtherFocusReason); // taken at once, or when its window is next active
    }

    bool owns(const QWidget &widget) const { return window_ && belongsTo(widget, *window_); }

    QPointer<QWidget> window_;
    QPointer<QWidget> parked_;
};

} // namespace

void keep(QWidget &window) { new Keeper(window); }

bool belongsTo(const QWidget &widget, const QWidget &window)
{
    for (const QWidget *w = &widget; w; w = w->parentWidget())
        if (w == &window)
            return true;
    return false;
}

} // namespace tarn::KeyboardKeeper
