// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/library/CaptureActionButton.h"

#include <cmath>

#include <QPainter>

#include "app/library/ViewKit.h"
#include "app/widgets/Palette.h"

namespace tarn {

namespace {

constexpr int padding = 13;
constexpr int spacing = 8;
constexpr int symbolSize = 15;
constexpr int minimumGap = 3;

QFont titleFont() { return ViewKit::font(12, QFont::DemiBold); }
QFont hintFont() { return ViewKit::keyHintFont(); }

} // namespace

CaptureActionButton::CaptureActionButton(const QString &title, const QString &symbol, const QString &shortcut,
                                         bool prominent, bool recording, QWidget *parent)
    : QAbstractButton(parent),
      symbol_(symbol),
      shortcut_(shortcut),
      prominent_(prominent),
      recording_(recording)
{
    setText(title);
    setAccessibleName(title);
    setFixedHeight(buttonHeight);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setCursor(Qt::ArrowCursor);
}

void CaptureActionButton::setTitleAndSymbol(const QString &title, const QString &symbol)
{
    if (title == text() && symbol == symbol_)
        return;
    setText(title);
    setAccessibleName(title);
    symbol_ = symbol;
    updateGeometry();
    update();
}

QSize CaptureActionButton::sizeHint() const
{
    // Whole pixels that hold each text's exact advance, or the title would be elided at this size.
    const auto advance = [](const QFont &font, const QString &text) {
        return int(std::ceil(QFontMetricsF(font).horizontalAdvance(text)));
    };
    const int width = 2 * padding + symbolSize + spacing + advance(titleFont(), text()) + spacing + minimumGap +
        advance(hintFont(), shortcut_);
    return {width, buttonHeight};
}

// The title and the hint stay whole: the row never makes the button narrower than both need.
QSize CaptureActionButton::minimumSizeHint() const { return sizeHint(); }

void CaptureActionButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(!isEnabled() ? ViewKit::disabledOpacity : isDown() ? 0.7 : 1.0);
    const QPainterPath shape = ViewKit::roundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 9);
    const QColor textColor = prominent_ ? Palette::sidebar : Palette::text;
    const QColor symbolColor = prominent_ ? Palette::sidebar : recording_ ? Palette::coral : Palette::text;
    painter.fillPath(shape, prominent_ ? Palette::accent : QColor(255, 255, 255, qRound(255 * 0.045)));
    if (!prominent_) {
        painter.setPen(QPen(QColor(255, 255, 255, qRound(255 * 0.06)), 1));
        painter.drawPath(shape);
    }
    const QRect inner = rect().adjusted(padding, 0, -padding, 0);
    ViewKit::drawSymbol(painter, QPointF(inner.left() + symbolSize / 2.0, inner.center().y() + 0.5), symbol_,
                        symbolColor, symbolSize);

    const QFontMetrics hintMetrics(hintFont());
    const int hintWidth = hintMetrics.horizontalAdvance(shortcut_);
    painter.setPen(textColor);
    painter.setFont(hintFont());
    painter.save();
    painter.setOpacity(painter.opacity() * 0.6);
    painter.drawText(inner, Qt::AlignRight | Qt::AlignVCenter, shortcut_);
    painter.restore();

    const int titleLeft = inner.left() + symbolSize + spacing;
    // Measured to the inner area's far edge, as the size hint counts: at exactly that size the
    // title fits whole.
    const int titleWidth = std::max(0, inner.x() + inner.width() - hintWidth - minimumGap - spacing - titleLeft);
    painter.setFont(titleFont());
    painter.drawText(QRect(titleLeft, inner.top(), titleWidth, inner.height()), Qt::AlignLeft | Qt::AlignVCenter,
                     QFontMetrics(titleFont()).elidedText(text(), Qt::ElideRight, titleWidth));
}

} // namespace tarn
