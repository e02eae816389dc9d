#include "app/IconButton.h"

#include <QPainter>
#include <QPainterPath>

#include "app/Palette.h"
#include "app/Theme.h"

namespace tarn {

IconButton::IconButton(const QString &symbol, const QString &help, std::function<void()> action, QWidget *parent)
    : QAbstractButton(parent), symbol_(symbol), action_(std::move(action))
{
    setFixedSize(side, side);
    setToolTip(help);
    setAccessibleName(help);
    setCursor(Qt::ArrowCursor);
    connect(this, &QAbstractButton::clicked, this, [this] {
        if (action_)
            action_();
    });
}

// The theme's icon is used as a mask and filled with the muted colour, so every symbol has the
// same tint whatever colours the icon theme drew it in.
void IconButton::paintEvent(QPaintEvent *)
{
    const qreal ratio = devicePixelRatioF();
    QPixmap mask = Theme::icon(symbol_).pixmap(QSize(symbolSize, symbolSize), ratio);
    if (mask.isNull())
        return;
    QImage tinted = mask.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    {
        QPainter tint(&tinted);
        tint.setCompositionMode(QPainter::CompositionMode_SourceIn);
        tint.fillRect(tinted.rect(), Palette::muted);
    }
    tinted.setDevicePixelRatio(ratio);
    QPainter painter(this);
    painter.setOpacity(isDown() ? 0.7 : 1.0);
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
