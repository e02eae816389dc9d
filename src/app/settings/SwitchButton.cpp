// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/settings/SwitchButton.h"

#include <QPainter>
#include <QPainterPath>

#include "app/widgets/Palette.h"

namespace tarn {

SwitchButton::SwitchButton(QWidget *parent) : QAbstractButton(parent)
{
    setCheckable(true);
    setFixedSize(trackSize);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
}

void SwitchButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled())
        painter.setOpacity(0.45);
    const QRectF track = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const qreal radius = track.height() / 2;
    QPainterPath shape;
    shape.addRoundedRect(track, radius, radius);
    if (isChecked()) {
        painter.fillPath(shape, Palette::teal);
    } else {
        painter.fillPath(shape, Palette::raised);
        painter.setPen(QPen(Palette::border, 1));
        painter.drawPath(shape);
    }
    if (hasFocus()) {
        painter.setPen(QPen(Palette::accent, 1));
        painter.drawPath(shape);
    }
    const qreal knob = track.height() - 4;
    const qreal x = isChecked() ? track.right() - 2 - knob : track.left() + 2;
    painter.setPen(Qt::NoPen);
    painter.setBrush(isDown() ? QColor(0xD8, 0xDE, 0xE3) : QColor(Qt::white));
    painter.drawEllipse(QRectF(x, track.top() + 2, knob, knob));
}

} // namespace tarn
