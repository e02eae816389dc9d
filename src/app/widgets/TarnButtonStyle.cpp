// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/widgets/TarnButtonStyle.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>

#include "app/widgets/Palette.h"

namespace tarn {

QColor TarnButtonStyle::labelColor() const
{
    if (prominent)
        return Palette::sidebar;
    return destructive ? Palette::coral : Palette::text;
}

QColor TarnButtonStyle::backgroundColor() const { return prominent ? Palette::accent : Palette::raised; }

QFont TarnButtonStyle::font()
{
    QFont font = QApplication::font();
    font.setPixelSize(12);
    font.setWeight(QFont::DemiBold);
    return font;
}

TarnButton::TarnButton(const QString &text, TarnButtonStyle style, QWidget *parent)
    : QPushButton(text, parent),
      style_(style)
{
    setFont(TarnButtonStyle::font());
    setFlat(true);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void TarnButton::setButtonStyle(TarnButtonStyle style)
{
    style_ = style;
    update();
}

QSize TarnButton::sizeHint() const
{
    const QFontMetrics metrics(font());
    const QSize label(metrics.horizontalAdvance(text()), metrics.height());
    return label.grownBy(TarnButtonStyle::padding);
}

void TarnButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(isDown() ? TarnButtonStyle::pressedOpacity : 1.0);
    QPainterPath plate;
    plate.addRoundedRect(QRectF(rect()), TarnButtonStyle::cornerRadius, TarnButtonStyle::cornerRadius);
    painter.fillPath(plate, style_.backgroundColor());
    painter.setPen(style_.labelColor());
    painter.setFont(font());
    painter.drawText(rect().marginsRemoved(TarnButtonStyle::padding), Qt::AlignCenter, text());
}

bool TarnButton::hitButton(const QPoint &pos) const
{
    QPainterPath plate;
    plate.addRoundedRect(QRectF(rect()), TarnButtonStyle::cornerRadius, TarnButtonStyle::cornerRadius);
    return plate.contains(pos);
}

} // namespace tarn
