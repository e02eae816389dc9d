// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>
#include <QWidget>

#include "app/capture/OwnWindows.h"

namespace tarn::TestSupport {

// The window of this process's status icon in the panel's tray, once the tray host shows it.
inline QWidget *visibleTrayIcon()
{
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (OwnWindows::isTrayIcon(widget) && widget->isVisible())
            return widget;
    return nullptr;
}

} // namespace tarn::TestSupport
