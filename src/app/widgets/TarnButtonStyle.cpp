// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/widgets/TarnButtonStyle.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>

#include "app/widgets/Palette.h"
#include "app/widgets/TextMetrics.h"
#include "app/widgets/Theme.h"

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

void TarnButton::setSymbol(const QString &symbol)
{
    symbol_ = symbol;
    updateGeometry();
    update();
}

void TarnButton::setDetail(const QString &detail, const QColor &color)
{
    if (detail == detail_ && color == detailColor_)
        return;
    detail_ = detail;
    detailColor_ = color;
    updateGeometry();
    update();
}

int TarnButton::symbolSize() const { return symbol_.isEmpty() ? 0 : font().pixelSize() + 2; }

int TarnButton::detailWidth() const
{
    return detail_.isEmpty() ? 0 : detailSpacing + TextMetrics::width(font(), detail_);
}

QSize TarnButton::sizeHint() const
{
    const QFontMetrics metrics(font());
    const int symbolWidth = symbol_.isEmpty() ? 0 : symbolSize() + symbolSpacing;
    const QSize label(symbolWidth + TextMetrics::width(font(), text()) + detailWidth(),
                      std::max(metrics.height(), symbolSize()));
    return label.grownBy(TarnButtonStyle::padding);
}

void TarnButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(TarnButtonStyle::opacity(isEnabled(), isDown()));
    QPainterPath plate;
    plate.addRoundedRect(QRectF(rect()), TarnButtonStyle::cornerRadius, TarnButtonStyle::cornerRadius);
    painter.fillPath(plate, style_.backgroundColor());
    painter.setPen(style_.labelColor());
    painter.setFont(font());
    const QRect label = rect().marginsRemoved(TarnButtonStyle::padding);
    if (symbol_.isEmpty() && detail_.isEmpty()) {
        painter.drawText(label, Qt::AlignCenter, text());
        return;
    }
    // Symbol, label and figure side by side, centred together.
    const int side = symbolSize();
    const int symbolWidth = symbol_.isEmpty() ? 0 : side + symbolSpacing;
    const int textWidth = TextMetrics::width(font(), text());
    const int left = label.center().x() + 1 - (symbolWidth + textWidth + detailWidth()) / 2;
    if (!symbol_.isEmpty())
        painter.drawImage(QPointF(left, label.center().y() + 1 - side / 2.0),
                          Theme::symbolImage(symbol_, style_.labelColor(), side, devicePixelRatioF()));
    const int textLeft = left + symbolWidth;
    painter.drawText(QRect(textLeft, label.top(), textWidth, label.height()), Qt::AlignVCenter, text());
    if (detail_.isEmpty())
        return;
    painter.setPen(detailColor_);
    painter.drawText(
        QRect(textLeft + textWidth + detailSpacing, label.top(), detailWidth() - detailSpacing, label.height()),
        Qt::AlignVCenter, detail_);
}

bool TarnButton::hitButton(const QPoint &pos) const
{
    QPainterPath plate;
    plate.addRoundedRect(QRectF(rect()), TarnButtonStyle::cornerRadius, TarnButtonStyle::cornerRadius);
    return plate.contains(pos);
}

} // namespace tarn
