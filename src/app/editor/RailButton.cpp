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
    // Filled as a path, so the symbol is sharp at whatever pixel ratio it is painted.
    const double size = 16;
    Theme::drawSymbol(painter, symbol_, QRectF((side - size) / 2, (side - size) / 2, size, size), pictureColor());
}

void RailButton::paintChevron(QPainter &painter, const QColor &color)
{
    // 6 px chevron with 3 px around it, in the bottom-trailing corner.
    Theme::drawSymbol(painter, QStringLiteral("chevron.down"), QRectF(side - 9, side - 9, 6, 6), color);
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
