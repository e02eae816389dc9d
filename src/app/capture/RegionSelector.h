// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QWidget>

class QScreen;

#include <qcoro/qcorotask.h>

#include "app/capture/RegionSelection.h"
#include "platform/x11/X11PointerEvents.h"

namespace tarn {

// The overlay of one screen during a selection: dims the screen, shows the hint, then the
// dragged hole with its pixel size. Without a compositing manager it paints a frozen grab of
// the screen, dimmed, since a translucent window would show black there.
class SelectionView : public QWidget {
    Q_OBJECT
public:
    // `pixels`: the screen's size in device pixels (its size in points is rounded).
    SelectionView(QRect screenGeometry, QSize pixels, double scale, QImage frozen);

    // The rectangle a drag from `start` to `current` selects inside `bounds`, rounded outwards to
    // whole points; nothing when it is smaller than 4 x 4 points.
    static std::optional<QRect> finalRect(QPointF start, QPointF current, QSizeF bounds);
    // The label of a dragged rectangle: its size in device pixels and the Escape hint.
    static QString sizeLabel(const QRectF &rect, double scale);
    static QString hint();
    // Where the label's text starts: above the rectangle when there is room, else below it,
    // kept so that its 292-point box stays on the screen.
    static QPointF labelPosition(const QRectF &rect, QSizeF bounds);
    // A dragged point kept inside a screen of `bounds` points and `pixels` device pixels at
    // `scale`. The X pointer never leaves the screen: at the edge it rests on the last pixel
    // column or row, so a point on that pixel stands for the edge itself, or the last pixels
    // could never be selected.
    static QPointF keptOnScreen(QPointF point, QSizeF bounds, QSize pixels, double scale);

    // Over a frozen picture, paints the screen as it was, undimmed and without frame or label,
    // before the view goes: without a compositor, what a window leaves on the screen stays there
    // until the windows beneath repaint, and a capture taken meanwhile must read the screen.
    void paintFrozenScreen();

Q_SIGNALS:
    // A drag of at least 4 x 4 points ended on this screen (local points).
    void selected(QRect rect);
    // Escape was pressed on this screen.
    void cancelled();

protected:
    bool nativeEvent(const QByteArray &eventType, void *message, qintptr *result) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QPointF pointerPosition(const QMouseEvent *event) const;
    QPointF clamped(QPointF point) const;

    // The latest pointer events as the X server sent them, newest last.
    std::deque<X11::DevicePointerEvent> devicePointer_;
    std::optional<QPointF> start_;
    std::optional<QPointF> current_;
    QSize pixels_;
    double scale_;
    QImage frozen_;
    bool leaving_ = false;
};

// Lets the user drag a rectangle on any screen. One selection at a time; its overlays and key
// handling exist only while it runs. A task waiting in `select` goes on, with nothing, when the
// selector goes: an owner whose tasks wait in it makes it a child, so that they find it gone.
class RegionSelector : public QObject {
    Q_OBJECT
public:
    // How the selector learns about the desktop: the display id of a screen, and the frozen
    // picture of a screen that the overlay dims (a null image makes the overlay translucent).
    struct Desktop {
        std::function<uint32_t(QScreen *)> displayOf;
        std::function<QImage(QScreen *)> frozenGrab;
    };
    // Without a desktop the X11 one is used: frozen grabs only without a compositing manager.
    explicit RegionSelector(QObject *parent = nullptr, Desktop desktop = {});
    ~RegionSelector() override;

    // The dragged display and rectangle, or nothing after Escape. Returns nothing at once while
    // another selection runs.
    QCoro::Task<std::optional<RegionSelection>> select();

    bool isRunning() const { return pending_ != nullptr; }
    // Ends a running selection as Escape does: the overlays go and `select` returns nothing.
    void cancel() { complete(std::nullopt); }
    std::vector<SelectionView *> panels() const;
    // The pause between closing the overlays and handing over the result, so that the windows
    // they covered have repainted before a screenshot.
    void setSettleDelay(std::chrono::milliseconds delay) { settleDelay_ = delay; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    class Wait;

    void open();
    void complete(std::optional<RegionSelection> selection);

    std::vector<QPointer<SelectionView>> panels_;
    Wait *pending_ = nullptr; // the running selection's wait, a child of the selector
    bool monitoring_ = false;
    std::chrono::milliseconds settleDelay_{100};
    Desktop desktop_;
};

} // namespace tarn
