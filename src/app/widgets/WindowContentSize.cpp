// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/widgets/WindowContentSize.h"

#include <QMainWindow>
#include <QMenuBar>

namespace tarn::WindowContentSize {

int menuBarHeight(const QMainWindow &window, int width)
{
    QWidget *bar = window.menuWidget();
    if (!bar || bar->isHidden())
        return 0;
    if (const auto *menus = qobject_cast<const QMenuBar *>(bar); menus && menus->isNativeMenuBar())
        return 0;
    const int wrapped = bar->hasHeightForWidth() ? bar->heightForWidth(width) : -1;
    return wrapped > 0 ? wrapped : bar->sizeHint().height();
}

QSize windowSize(const QMainWindow &window, QSize content)
{
    return content + QSize(0, menuBarHeight(window, content.width()));
}

void resize(QMainWindow &window, QSize content) { window.resize(windowSize(window, content)); }

} // namespace tarn::WindowContentSize
