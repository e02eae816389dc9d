// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/widgets/ScrollColumn.h"

#include <QScrollBar>

#include "app/widgets/ThinScrollBar.h"

namespace tarn {

ScrollColumn::ScrollColumn(QWidget *column, const QColor &background, QWidget *parent) : QScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::NoFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setWidgetResizable(true);
    QPalette colors = palette();
    colors.setColor(QPalette::Window, background);
    setPalette(colors);
    setAutoFillBackground(true);
    viewport()->setAutoFillBackground(false);
    ThinScrollBar::apply(*verticalScrollBar(), 6);
    setWidget(column);
    connect(verticalScrollBar(), &QScrollBar::rangeChanged, this, &ScrollColumn::followScrollBar);
    followScrollBar();
}

void ScrollColumn::followScrollBar()
{
    const int bar = verticalScrollBar()->maximum() > 0 ? verticalScrollBar()->sizeHint().width() : 0;
    setFixedWidth(widget()->minimumWidth() + bar);
}

} // namespace tarn
