// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/floating/FloatingWindows.h"

#include <algorithm>
#include <cmath>

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>

#include "app/floating/AllDesktops.h"
#include "app/floating/CountdownView.h"
#include "app/floating/ExtractedTextView.h"
#include "app/floating/PinView.h"
#include "app/floating/QuickCaptureView.h"
#include "app/floating/RecordingHUD.h"
#include "app/floating/VideoPlayerView.h"
#include "app/widgets/Palette.h"
#include "app/widgets/PointSize.h"
#include "app/widgets/WindowPlacement.h"

namespace tarn {
namespace {

// The available area of the screen of the work at hand (the pointer's screen without one).
QRect availableGeometry(QScreen *screen)
{
    if (!screen)
        screen = WindowPlacement::pointerScreen();
    return screen ? screen->availableGeometry() : QRect();
}

// A top-level window whose content fills it, dark, released when closed.
QWidget *makeWindow(Qt::WindowFlags flags, const QString &title, QWidget *content, QSize size, QScreen *screen)
{
    auto *window = new QWidget(nullptr, flags);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(title);
    QPalette colours = window->palette();
    colours.setColor(QPalette::Window, Palette::background);
    window->setPalette(colours);
    window->setAutoFillBackground(true);
    auto *layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(content);
    window->resize(size);
    WindowPlacement::centreOn(window, screen);
    PointSize::keepAcrossScreens(window);
    return window;
}

void bringForward(QWidget *window)
{
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace

FloatingWindows::FloatingWindows(QObject *parent) : QObject(parent)
{
    captureDismissal_.setSingleShot(true);
    captureDismissal_.setInterval(std::chrono::seconds(10));
    connect(&captureDismissal_, &QTimer::timeout, this, [this] { capturePanel_.reset(); });
}

FloatingWindows::~FloatingWindows()
{
    for (const QPointer<QWidget> &window : windows_)
        if (window) {
            window->removeEventFilter(this);
            delete window.data();
        }
}

std::vector<QWidget *> FloatingWindows::windows() const
{
    std::vector<QWidget *> open;
    for (const QPointer<QWidget> &window : windows_)
        if (window)
            open.push_back(window.data());
    return open;
}

void FloatingWindows::adopt(QWidget *window)
{
    window->installEventFilter(this);
    windows_.emplace_back(window);
    Q_EMIT windowOpened(window);
}

bool FloatingWindows::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Close && watched->isWidgetType()) {
        auto *window = static_cast<QWidget *>(watched);
        // Runs before the window closes; a close that someone refuses keeps it listed.
        QMetaObject::invokeMethod(
            this,
            [this, window = QPointer<QWidget>(window)] {
                if (window && window->isVisible())
                    return;
                // The window itself goes later, perhaps only with the application: its player
                // and sound end now.
                if (auto *player = window ? window->findChild<VideoPlayerView *>() : nullptr)
                    player->end();
                windowWillClose(window);
            },
            Qt::QueuedConnection);
        if (auto *player = window->findChild<VideoPlayerView *>())
            player->pause(); // a closed video window stops its sound at once
    }
    return QObject::eventFilter(watched, event);
}

void FloatingWindows::windowWillClose(QWidget *window)
{
    std::erase_if(windows_, [window](const QPointer<QWidget> &entry) { return !entry || entry.data() == window; });
}

void FloatingWindows::pruneClosed()
{
    std::erase_if(windows_, [](const QPointer<QWidget> &entry) { return !entry; });
}

void FloatingWindows::showText(const QString &text, QScreen *screen)
{
    QWidget *window = makeWindow(Qt::Window, QStringLiteral("텍스트 추출 · Tarnwick"), new ExtractedTextView(text),
                                 QSize(590, 390), screen);
    adopt(window);
    bringForward(window);
}

void FloatingWindows::showVideo(const QUrl &url, const QString &title, QScreen *screen)
{
    auto *player = new VideoPlayerView(url);
    QWidget *window = makeWindow(Qt::Window, title, player, QSize(960, 600), screen);
    adopt(window);
    bringForward(window);
    player->play();
}

QSize FloatingWindows::pinSize(QSize imagePixels)
{
    const double w = std::max(1, imagePixels.width());
    const double h = std::max(1, imagePixels.height());
    const double scale = std::min({480.0 / w, 420.0 / h, 1.0});
    return {static_cast<int>(std::round(std::max(w * scale, 220.0))),
            static_cast<int>(std::round(std::max(h * scale, 150.0)))};
}

void FloatingWindows::pin(const QImage &image, const QString &title, QScreen *screen)
{
    // Only closed windows leave the list: a pin that is minimized or hidden still counts, so
    // no more than eight pins are ever open.
    pruneClosed();
    std::vector<QWidget *> pins;
    for (QWidget *window : windows())
        if (window->objectName() == pinIdentifier)
            pins.push_back(window);
    if (static_cast<int>(pins.size()) >= maximumPins) {
        QWidget *oldest = pins.front();
        if (oldest->close())
            windowWillClose(oldest);
    }

    auto *window = new QWidget(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint);
    auto *view = new PinView(image);
    connect(view, &PinView::opacityChanged, window, &QWidget::setWindowOpacity);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setAttribute(Qt::WA_ShowWithoutActivating);
    // The identifier names pins outside the process too (window-manager rules, scripts).
    window->setObjectName(pinIdentifier);
    window->setWindowRole(pinIdentifier);
    window->setWindowTitle(QStringLiteral("고정 · ") + title);
    auto *layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view);
    window->setMinimumSize(180, 140);
    window->resize(pinSize(image.size()));
    WindowPlacement::centreOn(window, screen);
    PointSize::keepAcrossScreens(window);
    adopt(window);
    AllDesktops::keep(window);
    window->show();
}

void FloatingWindows::closePins()
{
    std::vector<QWidget *> pins;
    for (QWidget *window : windows())
        if (window->objectName() == pinIdentifier)
            pins.push_back(window);
    for (QWidget *pin : pins)
        if (pin->close())
            windowWillClose(pin);
}

QPoint FloatingWindows::capturePanelOrigin(const QRect &available)
{
    // 24 points inside the right edge and above the bottom of the available area.
    return {available.x() + available.width() - 334, available.y() + available.height() - 24 - 216};
}

QPoint FloatingWindows::recordingPanelOrigin(const QRect &available, std::optional<QRect> region)
{
    // Centred, 18 points below the top of the available area.
    const QPoint top(available.x() + available.width() / 2 - 145, available.y() + 18);
    const QSize size(290, 52);
    if (!region || !QRect(top, size).intersects(*region))
        return top;
    // Out of the recorded region: just below it, else just above it, else beside it.
    const int x = std::clamp(region->center().x() - 145, available.left(), available.right() + 1 - size.width());
    const int y = std::clamp(region->center().y() - 26, available.top(), available.bottom() + 1 - size.height());
    for (const QPoint candidate :
         {QPoint(x, region->bottom() + 1 + 12), QPoint(x, region->top() - 12 - size.height()),
          QPoint(region->right() + 1 + 12, y), QPoint(region->left() - 12 - size.width(), y)}) {
        const QRect placed(candidate, size);
        if (available.contains(placed) && !placed.intersects(*region))
            return candidate;
    }
    return top;
}

void FloatingWindows::showCapture(const CaptureItem &item, const QImage &image, QuickCaptureActions &app,
                                  QScreen *screen)
{
    captureDismissal_.stop();
    capturePanel_.reset();

    PanelPointer panel(new FloatingPanel(QSize(310, 216), 13));
    auto *view = new QuickCaptureView(item, image, app);
    connect(view, &QuickCaptureView::closeRequested, this, [this] { capturePanel_.reset(); });
    panel->setContent(view);
    const QRect available = availableGeometry(screen);
    if (!available.isEmpty())
        panel->move(capturePanelOrigin(available));
    capturePanel_ = std::move(panel);
    capturePanel_->orderFront();
    captureDismissal_.start();
}

void FloatingWindows::showRecording(RecordingService *recorder, QScreen *screen, std::optional<QRect> region)
{
    PanelPointer panel(new FloatingPanel(QSize(290, 52), 14));
    panel->setContent(new RecordingHUD(recorder));
    const QRect available = availableGeometry(screen);
    if (!available.isEmpty())
        panel->move(recordingPanelOrigin(available, region));
    recordingPanel = std::move(panel);
    recordingPanel->orderFront();
}

void FloatingWindows::showCountdown(int value, QScreen *screen)
{
    if (!countdownPanel) {
        countdownPanel.reset(new FloatingPanel(QSize(180, 158), 24));
        WindowPlacement::centreOn(countdownPanel.get(), screen);
    }
    auto *view = new CountdownView(value);
    connect(view, &CountdownView::cancelled, this, &FloatingWindows::countdownCancelled);
    countdownPanel->setContent(view);
    countdownPanel->orderFront();
}

} // namespace tarn
