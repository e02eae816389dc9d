// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/widgets/FocusRing.h"

#include <QApplication>
#include <QEvent>
#include <QMenuBar>
#include <QPainter>
#include <QPointer>
#include <QWidget>

#include "app/widgets/KeyboardHome.h"
#include "app/widgets/KeyboardKeeper.h"
#include "app/widgets/Palette.h"

namespace tarn::FocusRing {

namespace {

constexpr int outset = 3;
constexpr int line = 2;
constexpr const char *faceProperty = "focusRingFace";

// The ring itself: a sibling laid over the focused control, a little larger where its parent
// leaves room, taking no clicks.
class Ring : public QWidget {
public:
    Ring()
    {
        setObjectName(QStringLiteral("focusRing"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setFocusPolicy(Qt::NoFocus);
    }

    void surround(QWidget &target)
    {
        QWidget *parent = target.parentWidget();
        if (parentWidget() != parent)
            setParent(parent);
        const auto face = target.property(faceProperty).value<QMargins>();
        setGeometry(target.geometry().marginsRemoved(face).adjusted(-outset, -outset, outset, outset) & parent->rect());
        raise();
        show();
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF outer = QRectF(rect()).adjusted(line / 2.0, line / 2.0, -line / 2.0, -line / 2.0);
        painter.setPen(QPen(Palette::accent, line));
        painter.drawRoundedRect(outer, 6, 6);
        // A dark edge inside keeps the ring apart from a light control.
        painter.setPen(QPen(Palette::background, 1));
        painter.drawRoundedRect(outer.adjusted(1.5, 1.5, -1.5, -1.5), 5, 5);
    }
};

class Follower : public QObject {
public:
    explicit Follower(QWidget &window) : QObject(&window), window_(&window) { qApp->installEventFilter(this); }

    ~Follower() override { delete ring_; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
            keyboard_ = true;
            break;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            keyboard_ = false;
            place();
            break;
        case QEvent::FocusIn:
        case QEvent::FocusOut:
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::Hide:
        case QEvent::ParentChange:
            if (watched == target_ || event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)
                place();
            break;
        default:
            break;
        }
        return false;
    }

private:
    // Puts the ring around the focused control, or takes it away.
    void place()
    {
        QWidget *focused = QApplication::focusWidget();
        target_ = focused;
        // Menus and the menu bar show their own current item.
        if (!keyboard_ || !focused || focused->isWindow() || qobject_cast<QMenuBar *>(focused) ||
            !focused->isVisible() || !owns(*focused) || KeyboardHome::takesText(*focused)) {
            if (ring_)
                ring_->hide();
            return;
        }
        if (!ring_)
            ring_ = new Ring;
        ring_->surround(*focused);
    }

    bool owns(const QWidget &widget) const { return window_ && KeyboardKeeper::belongsTo(widget, *window_); }

    QPointer<QWidget> window_;
    QPointer<QWidget> target_;
    QPointer<Ring> ring_;
    bool keyboard_ = false;
};

} // namespace

void follow(QWidget &window) { new Follower(window); }

void insetFor(QWidget &control, QMargins face) { control.setProperty(faceProperty, QVariant::fromValue(face)); }

} // namespace tarn::FocusRing
