// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/capture/RegionSelector.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include <QApplication>
#include <QCursor>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QTimer>

#include "app/capture/DesktopScreens.h"
#include "app/widgets/AnswerWait.h"
#include "platform/ScreenSource.h"

namespace tarn {
namespace {

constexpr double minimumSide = 4;
constexpr double labelBoxWidth = 292;
const QColor dim(0, 0, 0, static_cast<int>(0.3 * 255 + 0.5));
const QColor selectionStroke = QColor::fromRgbF(0.81f, 0.98f, 0.63f, 1.0f);
const QColor labelBox = QColor::fromRgbF(0.05f, 0.08f, 0.10f, 0.94f);

QRectF spanned(QPointF a, QPointF b)
{
    return QRectF(QPointF(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                  QPointF(std::max(a.x(), b.x()), std::max(a.y(), b.y())));
}

QFont labelFont()
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPixelSize(12);
    font.setWeight(QFont::Medium);
    return font;
}

} // namespace

SelectionView::SelectionView(QRect screenGeometry, QSize pixels, double scale, QImage frozen)
    : QWidget(nullptr,
              Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::X11BypassWindowManagerHint),
      pixels_(pixels),
      scale_(scale),
      frozen_(std::move(frozen))
{
    if (frozen_.isNull())
        setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_DeleteOnClose);
    setCursor(Qt::CrossCursor);
    setMouseTracking(false);
    setFocusPolicy(Qt::StrongFocus);
    setGeometry(screenGeometry);
}

std::optional<QRect> SelectionView::finalRect(QPointF start, QPointF current, QSizeF bounds)
{
    const QRectF rect = spanned(start, current);
    if (rect.width() < minimumSide || rect.height() < minimumSide)
        return std::nullopt;
    return rect.toAlignedRect().intersected(QRect(QPoint(0, 0), bounds.toSize()));
}

QString SelectionView::sizeLabel(const QRectF &rect, double scale)
{
    const auto width = static_cast<long long>(rect.width() * scale);
    const auto height = static_cast<long long>(rect.height() * scale);
    return QStringLiteral("%1 × %2 px   ·   ESC 취소").arg(width).arg(height);
}

QString SelectionView::hint() { return QStringLiteral("드래그하여 영역 선택   ·   ESC 취소"); }

QPointF SelectionView::labelPosition(const QRectF &rect, QSizeF bounds)
{
    const double x = std::min(std::max(rect.left(), 12.0), bounds.width() - 280);
    const double y = rect.top() > 42 ? rect.top() - 36 : rect.bottom() + 10;
    return {x, y};
}

bool SelectionView::nativeEvent(const QByteArray &eventType, void *message, qintptr *)
{
    if (const auto pointer = X11::devicePointerEvent(eventType, message)) {
        devicePointer_.push_back(*pointer);
        if (devicePointer_.size() > 8)
            devicePointer_.pop_front();
    }
    return false;
}

// Qt rounds the pointer to whole points; on a screen scaled by 2 a drag that starts on an odd
// device pixel would lose that column. The X server's own event, found by its time, has the
// device position.
QPointF SelectionView::pointerPosition(const QMouseEvent *event) const
{
    for (auto pointer = devicePointer_.rbegin(); pointer != devicePointer_.rend(); ++pointer) {
        if (pointer->time != event->timestamp())
            continue;
        const QPointF points = pointer->position / scale_;
        if (std::abs(points.x() - event->position().x()) <= 1 && std::abs(points.y() - event->position().y()) <= 1)
            return points;
    }
    return event->position();
}

// Compared in device pixels: where a fractional scale rounds the screen's size in points, the
// last pixel can lie more than a pixel's width in points before the screen's edge.
QPointF SelectionView::keptOnScreen(QPointF point, QSizeF bounds, QSize pixels, double scale)
{
    const auto clamp = [scale](double value, double maximum, int lastPixel) {
        if (!std::isfinite(value))
            return 0.0;
        return std::round(value * scale) >= lastPixel ? maximum : std::clamp(value, 0.0, maximum);
    };
    return {clamp(point.x(), bounds.width(), pixels.width() - 1),
            clamp(point.y(), bounds.height(), pixels.height() - 1)};
}

QPointF SelectionView::clamped(QPointF point) const { return keptOnScreen(point, size(), pixels_, scale_); }

void SelectionView::paintFrozenScreen()
{
    if (frozen_.isNull() || !isVisible())
        return;
    leaving_ = true;
    repaint();
}

void SelectionView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRectF bounds = rect();
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    if (frozen_.isNull())
        painter.fillRect(bounds, Qt::transparent);
    else
        painter.drawImage(bounds, frozen_);
    if (leaving_)
        return;
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.fillRect(bounds, dim);

    QString text;
    QPointF at;
    if (start_ && current_) {
        const QRectF selection = spanned(*start_, *current_);
        // The hole shows the screen undimmed.
        if (frozen_.isNull()) {
            painter.setCompositionMode(QPainter::CompositionMode_Clear);
            painter.fillRect(selection, Qt::transparent);
            painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        } else {
            const double ratio = frozen_.devicePixelRatio();
            const QRectF source(selection.x() * ratio, selection.y() * ratio, selection.width() * ratio,
                                selection.height() * ratio);
            painter.drawImage(selection, frozen_, source);
        }
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(selectionStroke, 1.5));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(selection);
        text = sizeLabel(selection, scale_);
        at = labelPosition(selection, bounds.size());
    } else {
        text = hint();
        at = QPointF(bounds.center().x() - 150, bounds.center().y() - 30);
    }
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath box;
    box.addRoundedRect(QRectF(at.x() - 12, at.y() - 7, labelBoxWidth, 33), 8, 8);
    painter.fillPath(box, labelBox);
    painter.setFont(labelFont());
    painter.setPen(Qt::white);
    painter.drawText(QRectF(at, QSizeF(labelBoxWidth - 12, 22)), Qt::AlignLeft | Qt::AlignTop, text);
}

void SelectionView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    // A click moves the keyboard to the screen being used.
    grabKeyboard();
    start_ = clamped(pointerPosition(event));
    current_ = start_;
    update();
}

void SelectionView::mouseMoveEvent(QMouseEvent *event)
{
    if (!start_)
        return;
    current_ = clamped(pointerPosition(event));
    update();
}

void SelectionView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    current_ = clamped(pointerPosition(event));
    update();
    const auto rect = start_ && current_ ? finalRect(*start_, *current_, size()) : std::nullopt;
    if (!rect) {
        start_.reset();
        update();
        return;
    }
    Q_EMIT selected(*rect);
}

void SelectionView::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        Q_EMIT cancelled();
        return;
    }
    QWidget::keyPressEvent(event);
}

// The wait of a task for its selection, a child of the selector: the selection's end wakes the
// task on the event loop once the settle delay is over; a selector that goes first (with its
// owner, when the application quits) wakes it with nothing, as Escape does.
class RegionSelector::Wait : public AnswerWait<RegionSelection> {
public:
    explicit Wait(RegionSelector *selector) : AnswerWait(selector) { }

    void end(std::optional<RegionSelection> selection, std::chrono::milliseconds settle)
    {
        QTimer::singleShot(settle, this, [this, selection] {
            deleteLater(); // first: the task may take the selector, and this, with it
            give(selection);
        });
    }
};

RegionSelector::RegionSelector(QObject *parent, Desktop desktop) : QObject(parent), desktop_(std::move(desktop))
{
    if (!desktop_.displayOf)
        desktop_.displayOf = [](QScreen *screen) { return DesktopScreens::displayID(screen); };
    if (!desktop_.frozenGrab)
        desktop_.frozenGrab = [](QScreen *screen) {
            return DesktopScreens::source().compositorRunning() ? QImage() : DesktopScreens::grab(screen);
        };
}

RegionSelector::~RegionSelector()
{
    if (monitoring_)
        qApp->removeEventFilter(this);
    for (const auto &panel : panels_)
        delete panel.data();
}

QCoro::Task<std::optional<RegionSelection>> RegionSelector::select()
{
    if (pending_)
        co_return std::nullopt;
    Wait *wait = pending_ = new Wait(this);
    open();
    co_return co_await wait->answer();
}

std::vector<SelectionView *> RegionSelector::panels() const
{
    std::vector<SelectionView *> result;
    for (const auto &panel : panels_)
        if (panel)
            result.push_back(panel.data());
    return result;
}

void RegionSelector::open()
{
    const QPoint pointer = QCursor::pos();
    SelectionView *keyPanel = nullptr;
    for (QScreen *screen : QGuiApplication::screens()) {
        auto *view = new SelectionView(screen->geometry(), DesktopScreens::deviceSize(screen),
                                       screen->devicePixelRatio(), desktop_.frozenGrab(screen));
        const uint32_t displayID = desktop_.displayOf(screen);
        connect(view, &SelectionView::selected, this, [this, displayID](QRect rect) {
            complete(RegionSelection{displayID, rect});
        });
        connect(view, &SelectionView::cancelled, this, [this] { complete(std::nullopt); });
        panels_.push_back(view);
        view->show();
        view->raise();
        if (screen->geometry().contains(pointer))
            keyPanel = view;
    }
    if (panels_.empty()) {
        // No screen to drag on: end at once rather than leave the caller waiting forever.
        complete(std::nullopt);
        return;
    }
    if (!keyPanel)
        keyPanel = panels_.front();
    keyPanel->activateWindow();
    keyPanel->grabKeyboard(); // Escape must arrive even where the window manager gives no focus
    qApp->installEventFilter(this);
    monitoring_ = true;
}

bool RegionSelector::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape && pending_) {
        complete(std::nullopt);
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void RegionSelector::complete(std::optional<RegionSelection> selection)
{
    if (!pending_)
        return; // a second completion (say a click after Escape) is ignored
    Wait *wait = std::exchange(pending_, nullptr);
    if (monitoring_) {
        qApp->removeEventFilter(this);
        monitoring_ = false;
    }
    for (const auto &panel : panels_) {
        if (!panel)
            continue;
        panel->releaseKeyboard();
        panel->disconnect(this);
        panel->paintFrozenScreen();
        panel->hide();
        panel->deleteLater();
    }
    panels_.clear();
    // Resumed from the event loop, never inside the panel's own mouse or key handler.
    wait->end(selection, settleDelay_);
}

} // namespace tarn
