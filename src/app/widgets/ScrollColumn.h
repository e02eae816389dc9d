// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QScrollArea>

namespace tarn {

// A fixed-width column of a window (the library's sidebar, the editor's tool rail) that scrolls
// up and down once the window is too short to show it whole, as on a small or scaled screen.
// Its thin scroll bar then stands beside the column, on the column's `background`; without it
// the area is exactly as wide as the column. It takes no keyboard focus of its own.
class ScrollColumn : public QScrollArea {
    Q_OBJECT

public:
    ScrollColumn(QWidget *column, const QColor &background, QWidget *parent = nullptr);

private:
    void followScrollBar();
};

} // namespace tarn
