// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/widgets/ContentSize.h"

#include <QEvent>
#include <QMainWindow>
#include <QMenuBar>
#include <QPointer>
#include <QScreen>
#include <QWindow>

#include "app/widgets/WindowPlacement.h"

namespace tarn::ContentSize {

namespace {

// Watches its window for a menu bar that comes, goes or changes height, and for the screen it is
// on and that screen's available area.
class Keeper : public QObject {
public:
    Keeper(QMainWindow &window, QSize minimum, QSize preferred)
        : QObject(&window),
          window_(window),
          minimum_(minimum),
          preferred_(preferred)
    {
        window.installEventFilter(this);
        measureRoom();
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != &window_)
            return false;
        if (event->type() == QEvent::WinIdChange && window_.internalWinId())
            measureRoom(); // the native window, whose screen is watched, is there (not going)
        else if (event->type() == QEvent::LayoutRequest || event->type() == QEvent::Show)
            follow();
        return false;
    }

private:
    // The room depends on the screen and on the frame: taken again when either changes.
    void measureRoom()
    {
        QScreen *screen = WindowPlacement::screenOf(&window_);
        room_ = WindowPlacement::room(&window_, screen);
        if (QWindow *handle = window_.windowHandle(); handle && handle != handle_) {
            handle_ = handle;
            connect(handle, &QWindow::screenChanged, this, &Keeper::measureRoom);
        }
        if (screen != screen_) {
            if (screen_)
                disconnect(screen_, nullptr, this, nullptr);
            screen_ = screen;
            if (screen)
                connect(screen, &QScreen::availableGeometryChanged, this, &Keeper::measureRoom);
        }
        follow();
    }

    void follow()
    {
        const int menu = menuBarHeight(window_);
        const QSize smallest = (minimum_ + QSize(0, menu)).boundedTo(room_);
        if (smallest != window_.minimumSize())
            window_.setMinimumSize(smallest);
        if (menu != menu_) {
            const bool untouched = !shown_ && (menu_ < 0 || window_.size() == chosen_);
            menu_ = menu;
            if (untouched) {
                chosen_ = (preferred_ + QSize(0, menu)).boundedTo(room_).expandedTo(smallest);
                resizeInPlace(chosen_);
            }
        }
        // The Show event comes before the window is mapped: what it changed is what appears.
        shown_ = shown_ || window_.isVisible();
    }

    // A window placed before its menu bar came stays placed, about its centre.
    void resizeInPlace(QSize size)
    {
        const QPoint centre = window_.geometry().center();
        window_.resize(size);
        if (window_.testAttribute(Qt::WA_Moved) && screen_)
            WindowPlacement::placeAround(&window_, screen_, centre);
    }

    QMainWindow &window_;
    QSize minimum_;
    QSize preferred_;
    QSize room_{QWIDGETSIZE_MAX, QWIDGETSIZE_MAX};
    QSize chosen_; // the size this keeper last gave the window
    QPointer<QWindow> handle_;
    QPointer<QScreen> screen_;
    int menu_ = -1; // the menu bar height last followed; none yet
    bool shown_ = false;
};

} // namespace

int menuBarHeight(const QMainWindow &window)
{
    const QWidget *bar = window.menuWidget();
    if (!bar || bar->isHidden())
        return 0;
    if (const auto *menus = qobject_cast<const QMenuBar *>(bar); menus && menus->isNativeMenuBar())
        return 0;
    return bar->sizeHint().height();
}

void keep(QMainWindow &window, QSize minimum, QSize preferred) { new Keeper(window, minimum, preferred); }

} // namespace tarn::ContentSize
