// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/widgets/IconButton.h"

#include <QPainter>
#include <QPainterPath>

#include "app/widgets/Palette.h"
#include "app/widgets/TarnButtonStyle.h"
#include "app/widgets/Theme.h"

namespace tarn {

IconButton::IconButton(const QString &symbol, const QString &help, QWidget *parent)
    : QAbstractButton(parent),
      symbol_(symbol)
{
    setFixedSize(side, side);
    setToolTip(help);
    setAccessibleName(help);
    setCursor(Qt::ArrowCursor);
}

void IconButton::setSymbol(const QString &symbol)
{
    if (symbol == symbol_)
        return;
    symbol_ = symbol;
    update();
}

void IconButton::paintEvent(QPaintEvent *)
{
    const qreal ratio = devicePixelRatioF();
    const QImage tinted = Theme::symbolImage(symbol_, Palette::muted, symbolSize, ratio);
    if (tinted.isNull())
        return;
    QPainter painter(this);
    painter.setOpacity(TarnButtonStyle::opacity(isEnabled(), isDown()));
    const QSizeF logical = QSizeF(tinted.size()) / ratio;
    const QPointF origin((width() - logical.width()) / 2, (height() - logical.height()) / 2);
    painter.drawImage(origin, tinted);
}

bool IconButton::hitButton(const QPoint &pos) const
{
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()), cornerRadius, cornerRadius);
    return shape.contains(pos);
}

} // namespace tarn
