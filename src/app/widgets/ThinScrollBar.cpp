// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/widgets/ThinScrollBar.h"

#include <algorithm>

#include <QScrollBar>

namespace tarn::ThinScrollBar {

namespace {

constexpr int handleWidth = 6;
constexpr int shortestHandle = 32;

} // namespace

void apply(QScrollBar &bar, int width)
{
    const int inset = std::max(0, (width - handleWidth) / 2);
    bar.setStyleSheet(
        QStringLiteral("QScrollBar:vertical { background: transparent; width: %1px; margin: 0; }"
                       "QScrollBar:horizontal { background: transparent; height: %1px; margin: 0; }"
                       "QScrollBar::handle { background: rgba(135, 150, 165, 90); border-radius: 3px; margin: %2px; }"
                       "QScrollBar::handle:vertical { min-height: %3px; }"
                       "QScrollBar::handle:horizontal { min-width: %3px; }"
                       "QScrollBar::add-line, QScrollBar::sub-line { height: 0; width: 0; }"
                       "QScrollBar::add-page, QScrollBar::sub-page { background: none; }")
            .arg(width)
            .arg(inset)
            .arg(shortestHandle));
}

} // namespace tarn::ThinScrollBar
