// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/widgets/Dot.h"

#include <QPainter>

namespace tarn {

Dot::Dot(int diameter, const QColor &color, QWidget *parent) : QWidget(parent), color_(color)
{
    setFixedSize(diameter, diameter);
}

void Dot::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color_);
    painter.drawEllipse(QRectF(rect()));
}

} // namespace tarn
