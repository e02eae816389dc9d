// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/capture/OwnWindows.h"

#include <QApplication>

namespace tarn {

bool OwnWindows::isTrayIcon(const QWidget *widget) { return widget->inherits("QSystemTrayIconSys"); }

OwnWindows OwnWindows::hideVisible()
{
    OwnWindows hidden;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && !widget->isMinimized() && !isTrayIcon(widget)) {
            hidden.widgets_.append(widget);
            widget->hide();
        }
    }
    return hidden;
}

void OwnWindows::restore()
{
    for (const QPointer<QWidget> &widget : std::as_const(widgets_)) {
        if (!widget)
            continue;
        const bool quiet = widget->testAttribute(Qt::WA_ShowWithoutActivating);
        widget->setAttribute(Qt::WA_ShowWithoutActivating, true);
        widget->show();
        widget->setAttribute(Qt::WA_ShowWithoutActivating, quiet);
    }
    widgets_.clear();
}

} // namespace tarn
