// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/widgets/KeyboardHome.h"

#include <QAbstractSpinBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextEdit>

namespace tarn::KeyboardHome {

namespace {

class Keeper : public QObject {
public:
    Keeper(QWidget &area, QWidget &home) : QObject(&area), home_(&home)
    {
        adopt(area);
        home.setFocus(Qt::OtherFocusReason);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::ChildPolished) {
            if (auto *child = qobject_cast<QWidget *>(static_cast<QChildEvent *>(event)->child()))
                adopt(*child);
        } else if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
            return giveBack(*static_cast<QWidget *>(watched), *static_cast<QKeyEvent *>(event));
        }
        return false;
    }

private:
    // Takes the click focus from a control and from everything under it; text fields keep
    // theirs, and a field's own parts (its viewport, its scroll bars) are its business.
    void adopt(QWidget &widget)
    {
        if (&widget == home_ || (widget.isWindow() && widget.parentWidget()) || widget.property(mark).toBool())
            return;
        widget.setProperty(mark, true);
        widget.installEventFilter(this);
        if (takesText(widget))
            return;
        if (widget.focusPolicy() & Qt::ClickFocus)
            widget.setFocusPolicy(widget.focusPolicy() & Qt::TabFocus ? Qt::TabFocus : Qt::NoFocus);
        for (QObject *child : widget.children())
            if (auto *w = qobject_cast<QWidget *>(child))
                adopt(*w);
    }

    bool giveBack(QWidget &field, const QKeyEvent &key)
    {
        if (!home_ || !takesText(field))
            return false;
        const bool escape = key.key() == Qt::Key_Escape;
        const bool enter =
            (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) && !(key.modifiers() & Qt::ShiftModifier);
        if (!escape && !enter)
            return false;
        home_->setFocus(Qt::OtherFocusReason);
        return true;
    }

    static constexpr const char *mark = "tarnKeyboardHome";
    QPointer<QWidget> home_;
};

} // namespace

bool takesText(const QWidget &widget)
{
    if (qobject_cast<const QLineEdit *>(&widget) || qobject_cast<const QTextEdit *>(&widget) ||
        qobject_cast<const QPlainTextEdit *>(&widget) || qobject_cast<const QAbstractSpinBox *>(&widget))
        return true;
    const auto *label = qobject_cast<const QLabel *>(&widget);
    return label && (label->textInteractionFlags() & (Qt::TextSelectableByMouse | Qt::TextEditable));
}

void keepWith(QWidget &area, QWidget &home) { new Keeper(area, home); }

} // namespace tarn::KeyboardHome
