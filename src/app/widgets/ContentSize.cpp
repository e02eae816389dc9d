// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/widgets/ContentSize.h"

#include <QEvent>
#include <QMainWindow>
#include <QMenuBar>

namespace tarn::ContentSize {

namespace {

// Watches its window for a menu bar that comes, goes or changes height.
class Keeper : public QObject {
public:
    Keeper(QMainWindow &window, QSize minimum, QSize preferred)
        : QObject(&window),
          window_(window),
          minimum_(minimum),
          preferred_(preferred)
    {
        window.installEventFilter(this);
        follow();
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == &window_ && (event->type() == QEvent::LayoutRequest || event->type() == QEvent::Show))
            follow();
        return false;
    }

private:
    void follow()
    {
        const int menu = menuBarHeight(window_);
        if (menu != menu_) {
            const bool untouched = !shown_ && (menu_ < 0 || window_.size() == preferred_ + QSize(0, menu_));
            menu_ = menu;
            window_.setMinimumSize(minimum_ + QSize(0, menu));
            if (untouched)
                resizeAboutCentre(preferred_ + QSize(0, menu));
        }
        // The Show event comes before the window is mapped: what it changed is what appears.
        shown_ = shown_ || window_.isVisible();
    }

    // A window placed before its menu bar came stays placed.
    void resizeAboutCentre(QSize size)
    {
        if (!window_.testAttribute(Qt::WA_Moved)) {
            window_.resize(size);
            return;
        }
        QRect frame = window_.geometry();
        const QPoint centre = frame.center();
        frame.setSize(size);
        frame.moveCenter(centre);
        window_.setGeometry(frame);
    }

    QMainWindow &window_;
    QSize minimum_;
    QSize preferred_;
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
