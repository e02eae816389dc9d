// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/editor/RailButton.h"

#include <QPainter>
#include <QPainterPath>

#include "app/widgets/Palette.h"
#include "app/widgets/TarnButtonStyle.h"
#include "app/widgets/Theme.h"

namespace tarn {

RailButton::RailButton(QWidget *parent) : QAbstractButton(parent)
{
    setFixedSize(side, side);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
}

void RailButton::setSymbol(const QString &symbol)
{
    symbol_ = symbol;
    update();
}

void RailButton::setActive(bool active)
{
    if (active_ == active)
        return;
    active_ = active;
    update();
}

QColor RailButton::plateColor() const { return active_ ? Palette::accent : QColor(Qt::transparent); }

QColor RailButton::pictureColor() const { return active_ ? Palette::sidebar : Palette::muted; }

void RailButton::paintPicture(QPainter &painter)
{
    const int size = 16;
    const QImage image = Theme::symbolImage(symbol_, pictureColor(), size, devicePixelRatioF());
    if (!image.isNull())
        painter.drawImage(QPointF((side - size) / 2.0, (side - size) / 2.0), image);
}

void RailButton::paintChevron(QPainter &painter, const QColor &color)
{
    // 6 px chevron with 3 px around it, in the bottom-trailing corner.
    const QImage chevron = Theme::symbolImage(QStringLiteral("chevron.down"), color, 6, devicePixelRatioF());
    if (!chevron.isNull())
        painter.drawImage(QPointF(side - 9, side - 9), chevron);
}

void RailButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(TarnButtonStyle::opacity(isEnabled(), isDown()));
    QPainterPath plate;
    plate.addRoundedRect(QRectF(rect()), cornerRadius, cornerRadius);
    painter.fillPath(plate, plateColor());
    paintPicture(painter);
}

bool RailButton::hitButton(const QPoint &pos) const { return rect().contains(pos); }

} // namespace tarn
