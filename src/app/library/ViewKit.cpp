// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/library/ViewKit.h"

#include <unordered_map>

#include <QApplication>
#include <QFontDatabase>
#include <QPainter>

#include "app/widgets/TextMetrics.h"
#include "app/widgets/Theme.h"

namespace tarn::ViewKit {

QFont font(int pixelSize, QFont::Weight weight)
{
    QFont font = QApplication::font();
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    return font;
}

QFont monoFont(int pixelSize, QFont::Weight weight)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    return font;
}

QFont keyHintFont() { return font(10); }

QFont serifFont(int pixelSize, QFont::Weight weight)
{
    QFont font(QStringLiteral("DejaVu Serif"));
    font.setStyleHint(QFont::Serif);
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    return font;
}

QColor faded(const QColor &color, qreal opacity)
{
    QColor result = color;
    result.setAlphaF(color.alphaF() * opacity);
    return result;
}

QPainterPath roundedRect(const QRectF &rect, qreal radius)
{
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

QPixmap symbol(const QString &name, const QColor &color, int size, qreal devicePixelRatio)
{
    static std::unordered_map<QString, QPixmap> made;
    const QString key = QStringLiteral("%1|%2|%3|%4").arg(name).arg(color.rgba()).arg(size).arg(devicePixelRatio);
    if (auto found = made.find(key); found != made.end())
        return found->second;
    const QPixmap pixmap = QPixmap::fromImage(Theme::symbolImage(name, color, size, devicePixelRatio));
    if (!pixmap.isNull())
        made.emplace(key, pixmap);
    return pixmap;
}

void drawSymbol(QPainter &painter, const QPointF &centre, const QString &name, const QColor &color, int size)
{
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const QPixmap pixmap = symbol(name, color, size, ratio);
    if (pixmap.isNull())
        return;
    const QSizeF logical = QSizeF(pixmap.size()) / ratio;
    painter.drawPixmap(QPointF(centre.x() - logical.width() / 2, centre.y() - logical.height() / 2), pixmap);
}

QLabel *label(const QString &text, const QFont &font, const QColor &color, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setFont(font);
    // A pixel on either side for the ink of a Korean glyph drawn from the fallback font, which
    // the label's size (from the interface font's whole-pixel metrics) leaves out.
    label->setContentsMargins(1, 0, 1, 0);
    QPalette colors = label->palette();
    colors.setColor(QPalette::WindowText, color);
    label->setPalette(colors);
    return label;
}

} // namespace tarn::ViewKit

namespace tarn {

Plate::Plate(qreal radius, const QColor &fill, const QColor &outline, QWidget *parent)
    : QWidget(parent),
      radius_(radius),
      fill_(fill),
      outline_(outline)
{ }

void Plate::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (radius_ <= 0) {
        painter.fillRect(rect(), fill_);
        return;
    }
    painter.setRenderHint(QPainter::Antialiasing);
    const bool outlined = outline_.alpha() > 0;
    const QRectF area = outlined ? QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5) : QRectF(rect());
    const QPainterPath shape = ViewKit::roundedRect(area, radius_);
    painter.fillPath(shape, fill_);
    if (outlined) {
        painter.setPen(QPen(outline_, 1));
        painter.drawPath(shape);
    }
}

SymbolView::SymbolView(const QString &symbol, const QColor &color, int size, QWidget *parent)
    : QWidget(parent),
      symbol_(symbol),
      color_(color),
      size_(size)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void SymbolView::setSymbol(const QString &symbol, const QColor &color)
{
    if (symbol == symbol_ && color == color_)
        return;
    symbol_ = symbol;
    color_ = color;
    update();
}

void SymbolView::setFrameWidth(int width)
{
    frameWidth_ = width;
    updateGeometry();
}

QSize SymbolView::sizeHint() const { return {std::max(size_, frameWidth_), size_}; }

void SymbolView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (!isEnabled())
        painter.setOpacity(ViewKit::disabledOpacity);
    ViewKit::drawSymbol(painter, QRectF(rect()).center(), symbol_, color_, size_);
}

SpacedText::SpacedText(const QString &text, const QFont &font, const QColor &color, int lineSpacing, QWidget *parent)
    : QWidget(parent),
      lines_(text.split(QLatin1Char('\n'))),
      color_(color),
      lineSpacing_(lineSpacing)
{
    setFont(font);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

QSize SpacedText::sizeHint() const
{
    const QFontMetrics metrics(font());
    int width = 0;
    for (const QString &line : lines_)
        width = std::max(width, metrics.horizontalAdvance(line));
    const int height = int(lines_.size()) * TextMetrics::lineHeight(font()) + int(lines_.size() - 1) * lineSpacing_;
    return {width + 1, height};
}

void SpacedText::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setFont(font());
    painter.setPen(color_);
    const QFontMetrics metrics(font());
    const int lineHeight = TextMetrics::lineHeight(font());
    int y = 0;
    for (const QString &line : lines_) {
        painter.drawText(QRect(0, y, width(), lineHeight), Qt::AlignLeft | Qt::AlignVCenter,
                         metrics.elidedText(line, Qt::ElideRight, width()));
        y += lineHeight + lineSpacing_;
    }
}

PlainButton::PlainButton(const QString &text, const QString &symbol, const QFont &font, const QColor &color,
                         QWidget *parent)
    : QAbstractButton(parent),
      symbol_(symbol),
      color_(color),
      symbolSize_(font.pixelSize())
{
    setText(text);
    setFont(font);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setCursor(Qt::ArrowCursor);
}

void PlainButton::setLabel(const QString &text)
{
    if (text == this->text())
        return;
    setText(text);
    updateGeometry();
}

void PlainButton::setTrailingSymbol(const QString &symbol, int size)
{
    trailing_ = symbol;
    trailingSize_ = size;
    updateGeometry();
}

void PlainButton::setSymbolSize(int size)
{
    symbolSize_ = size;
    updateGeometry();
}

void PlainButton::setSpacing(int spacing)
{
    spacing_ = spacing;
    updateGeometry();
}

QSize PlainButton::sizeHint() const
{
    const QFontMetrics metrics(font());
    int width = text().isEmpty() ? 0 : metrics.horizontalAdvance(text());
    int height = metrics.height();
    if (!symbol_.isEmpty()) {
        width += symbolSize_ + (text().isEmpty() ? 0 : spacing_);
        height = std::max(height, symbolSize_);
    }
    if (!trailing_.isEmpty())
        width += spacing_ + trailingSize_;
    return {width + 2, height + 4};
}

void PlainButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(!isEnabled() ? ViewKit::disabledOpacity : isDown() ? 0.7 : 1.0);
    const QFontMetrics metrics(font());
    const qreal middle = height() / 2.0;
    qreal x = 1;
    if (!symbol_.isEmpty()) {
        ViewKit::drawSymbol(painter, QPointF(x + symbolSize_ / 2.0, middle), symbol_, color_, symbolSize_);
        x += symbolSize_ + (text().isEmpty() ? 0 : spacing_);
    }
    if (!text().isEmpty()) {
        painter.setFont(font());
        painter.setPen(color_);
        const int advance = metrics.horizontalAdvance(text());
        painter.drawText(QRectF(x, 0, advance + 1, height()), Qt::AlignLeft | Qt::AlignVCenter, text());
        x += advance;
    }
    if (!trailing_.isEmpty())
        ViewKit::drawSymbol(painter, QPointF(x + spacing_ + trailingSize_ / 2.0, middle), trailing_, color_,
                            trailingSize_);
}

namespace {

constexpr int tarnSymbolSize = 12;
constexpr int tarnSymbolGap = 6;

} // namespace

SymbolTarnButton::SymbolTarnButton(const QString &text, const QString &symbol, TarnButtonStyle style, QWidget *parent)
    : TarnButton(text, style, parent),
      symbol_(symbol)
{ }

QSize SymbolTarnButton::sizeHint() const { return TarnButton::sizeHint() + QSize(tarnSymbolSize + tarnSymbolGap, 0); }

void SymbolTarnButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(!isEnabled() ? ViewKit::disabledOpacity : isDown() ? TarnButtonStyle::pressedOpacity : 1.0);
    const TarnButtonStyle style = buttonStyle();
    painter.fillPath(ViewKit::roundedRect(QRectF(rect()), TarnButtonStyle::cornerRadius), style.backgroundColor());
    const QRect inner = rect().marginsRemoved(TarnButtonStyle::padding);
    ViewKit::drawSymbol(painter, QPointF(inner.left() + tarnSymbolSize / 2.0, inner.center().y() + 0.5), symbol_,
                        style.labelColor(), tarnSymbolSize);
    painter.setPen(style.labelColor());
    painter.setFont(font());
    painter.drawText(inner.adjusted(tarnSymbolSize + tarnSymbolGap, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, text());
}

} // namespace tarn
