// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/widgets/PointSize.h"

#include <QEvent>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace tarn::PointSize {
namespace {

// Lives as a child of the window it keeps.
class Keeper : public QObject {
public:
    explicit Keeper(QWidget *window) : QObject(window), window_(window)
    {
        window->installEventFilter(this);
        watchHandle();
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Show || event->type() == QEvent::WinIdChange)
            watchHandle();
        return false;
    }

private:
    // The native window, whose screen changes are watched, exists once the window is created.
    void watchHandle()
    {
        QWindow *handle = window_->windowHandle();
        if (!handle || handle == handle_)
            return;
        handle_ = handle;
        ratio_ = handle->devicePixelRatio();
        connect(handle, &QWindow::screenChanged, this, &Keeper::screenChanged);
    }

    void screenChanged(QScreen *screen)
    {
        if (!screen || qFuzzyCompare(screen->devicePixelRatio(), ratio_))
            return;
        ratio_ = screen->devicePixelRatio();
        if (window_->isMaximized() || window_->isFullScreen())
            return;
        // Qt tells the widget its new size in points only after this signal: its size is still
        // the one to keep. The resize waits until that news has been delivered.
        const QSize points = window_->size();
        QTimer::singleShot(0, window_, [window = window_, points] { window->resize(points); });
    }

    QWidget *window_;
    QPointer<QWindow> handle_;
    qreal ratio_ = 1;
};

} // namespace

void keepAcrossScreens(QWidget *window) { new Keeper(window); }

} // namespace tarn::PointSize
