// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/widgets/ScrollColumn.h"

#include <QScrollBar>

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
    verticalScrollBar()->setStyleSheet(
        QStringLiteral("QScrollBar:vertical { background: transparent; width: 6px; margin: 0; }"
                       "QScrollBar::handle:vertical { background: rgba(135, 150, 165, 90); border-radius: 3px;"
                       " min-height: 32px; }"
                       "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
                       "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }"));
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
