// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/widgets/Keycap.h"

#include <QFontDatabase>
#include <QPainter>
#include <QPainterPath>

#include "app/widgets/Palette.h"

namespace tarn {

Keycap::Keycap(const QString &text, QWidget *parent) : QLabel(text, parent)
{
    setFont(font());
    setContentsMargins(6, 3, 6, 3);
    setAlignment(Qt::AlignCenter);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    QPalette colors = palette();
    colors.setColor(QPalette::WindowText, Palette::muted);
    setPalette(colors);
}

QFont Keycap::font()
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPixelSize(10);
    font.setWeight(QFont::Medium);
    return font;
}

void Keycap::paintEvent(QPaintEvent *event)
{
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QPainterPath plate;
        plate.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
        painter.fillPath(plate, QColor(255, 255, 255, qRound(255 * 0.04)));
        painter.setPen(QPen(QColor(255, 255, 255, qRound(255 * 0.08)), 1));
        painter.drawPath(plate);
    }
    QLabel::paintEvent(event);
}

} // namespace tarn
