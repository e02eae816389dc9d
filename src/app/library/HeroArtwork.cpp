// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/library/HeroArtwork.h"

#include <vector>

#include <QPainter>

#include "app/library/ViewKit.h"
#include "app/widgets/Palette.h"

namespace tarn {

namespace {

// One box-blur pass over the alpha-premultiplied pixels, along rows or columns.
void boxBlur(QImage &image, int radius, bool horizontal)
{
    const int width = image.width();
    const int height = image.height();
    const int lines = horizontal ? height : width;
    const int length = horizontal ? width : height;
    std::vector<QRgb> source(static_cast<size_t>(length));
    for (int line = 0; line < lines; ++line) {
        auto pixel = [&](int at) -> QRgb & {
            return horizontal ? reinterpret_cast<QRgb *>(image.scanLine(line))[at]
                              : reinterpret_cast<QRgb *>(image.scanLine(at))[line];
        };
        for (int at = 0; at < length; ++at)
            source[size_t(at)] = pixel(at);
        int sums[4] = {0, 0, 0, 0};
        const int window = 2 * radius + 1;
        auto add = [&](int at, int sign) {
            if (at < 0 || at >= length)
                return;
            const QRgb value = source[size_t(at)];
            sums[0] += sign * qAlpha(value);
            sums[1] += sign * qRed(value);
            sums[2] += sign * qGreen(value);
            sums[3] += sign * qBlue(value);
        };
        for (int at = -radius; at <= radius; ++at)
            add(at, 1);
        for (int at = 0; at < length; ++at) {
            pixel(at) = qRgba(sums[1] / window, sums[2] / window, sums[3] / window, sums[0] / window);
            add(at - radius, -1);
            add(at + radius + 1, 1);
        }
    }
}

// Three box passes each way come close to a Gaussian of the given radius.
QImage blurred(QImage image, int radius)
{
    const int box = std::max(1, radius / 2);
    for (int pass = 0; pass < 3; ++pass) {
        boxBlur(image, box, true);
        boxBlur(image, box, false);
    }
    return image;
}

// Runs `draw` in a frame of `size` centred on `offset` from the centre and turned by
// `degrees` about its own centre.
template <typename Draw> void layer(QPainter &painter, QSizeF size, QPointF offset, qreal degrees, Draw draw)
{
    painter.save();
    painter.translate(offset);
    painter.rotate(degrees);
    painter.translate(-size.width() / 2, -size.height() / 2);
    draw(QRectF(QPointF(0, 0), size));
    painter.restore();
}

// A soft shape: the shape drawn in one colour on a transparent image and blurred.
QImage softShape(QSizeF shapeSize, int radius, qreal ratio, const QColor &color, bool ellipse, qreal corner)
{
    const QSizeF padded = shapeSize + QSizeF(4 * radius, 4 * radius);
    QImage image((padded * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(ratio, ratio);
        const QRectF shape(QPointF(2 * radius, 2 * radius), shapeSize);
        painter.setPen(Qt::NoPen);
        painter.setBrush(color);
        if (ellipse)
            painter.drawEllipse(shape);
        else
            painter.drawPath(ViewKit::roundedRect(shape, corner));
    }
    QImage result = blurred(image, int(radius * ratio));
    result.setDevicePixelRatio(ratio);
    return result;
}

void drawNoteCard(QPainter &painter, const QRectF &frame)
{
    const QPainterPath card = ViewKit::roundedRect(frame.adjusted(0.5, 0.5, -0.5, -0.5), 10);
    painter.fillPath(card, QColor(22, 34, 42));
    painter.setPen(QPen(QColor(255, 255, 255, qRound(255 * 0.12)), 1));
    painter.drawPath(card);

    const QFont caption = ViewKit::monoFont(6);
    const QFont body = ViewKit::serifFont(20, QFont::Medium);
    const QFontMetricsF captionMetrics(caption);
    const QFontMetricsF bodyMetrics(body);
    const qreal barHeight = std::max<qreal>(5, captionMetrics.height()) + 20;
    const qreal bodyHeight = 18 + 2 * bodyMetrics.height() + 7 + 3 + 3 + 18 + 7;
    qreal y = frame.top() + (frame.height() - barHeight - 1 - bodyHeight) / 2;

    const QColor dots[] = {QColor(230, 155, 137), QColor(215, 191, 134), QColor(147, 188, 162)};
    qreal x = frame.left() + 10;
    const qreal middle = y + barHeight / 2;
    painter.setPen(Qt::NoPen);
    for (const QColor &dot : dots) {
        painter.setBrush(dot);
        painter.drawEllipse(QRectF(x, middle - 2.5, 5, 5));
        x += 5 + 4;
    }
    painter.setFont(caption);
    painter.setPen(Palette::muted);
    painter.drawText(QRectF(x, y, frame.right() - x, barHeight), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("a little more clarity"));
    y += barHeight;
    painter.fillRect(QRectF(frame.left(), y, frame.width(), 1), QColor(255, 255, 255, qRound(255 * 0.06)));
    y += 1 + 18;

    const qreal left = frame.left() + 18;
    painter.setFont(body);
    painter.setPen(Palette::text);
    painter.drawText(QRectF(left, y, frame.width() - 36, bodyMetrics.height()), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Ideas worth"));
    y += bodyMetrics.height() + 7;
    painter.setPen(Palette::accent);
    painter.drawText(QRectF(left, y, frame.width() - 36, bodyMetrics.height()), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("holding onto."));
    y += bodyMetrics.height() + 7 + 3;
    painter.setPen(Qt::NoPen);
    painter.fillPath(ViewKit::roundedRect(QRectF(left, y, 62, 3), 2), QColor(255, 255, 255, qRound(255 * 0.18)));
    painter.fillPath(ViewKit::roundedRect(QRectF(left + 66, y, 36, 3), 2), QColor(255, 255, 255, qRound(255 * 0.1)));
}

void drawSticker(QPainter &painter)
{
    const QFont font = ViewKit::monoFont(8, QFont::Medium);
    const QString text = QStringLiteral("make it yours");
    const QFontMetricsF metrics(font);
    const QSizeF size(metrics.horizontalAdvance(text) + 20, metrics.height() + 12);
    layer(painter, size, QPointF(-74, -66), -6, [&](const QRectF &frame) {
        painter.fillPath(ViewKit::roundedRect(frame, frame.height() / 2), Palette::accent);
        painter.setFont(font);
        painter.setPen(Palette::sidebar);
        painter.drawText(frame, Qt::AlignCenter, text);
    });
}

} // namespace

HeroArtwork::HeroArtwork(QWidget *parent) : QWidget(parent)
{
    setFixedSize(artWidth, artHeight);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setAccessibleName(QString());
}

QImage HeroArtwork::render(qreal ratio)
{
    const QSize size(artWidth + 2 * overflow, artHeight + 2 * overflow);
    QImage image((QSizeF(size) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    image.setDevicePixelRatio(ratio);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.translate(size.width() / 2.0, size.height() / 2.0);

    const QImage glow = softShape(QSizeF(230, 150), 25, ratio, ViewKit::faded(Palette::teal, 0.1), true, 0);
    painter.drawImage(QPointF(30, 10) - QPointF(glow.width(), glow.height()) / (2 * ratio), glow);

    layer(painter, QSizeF(207, 142), QPointF(-9, 9), -8, [&](const QRectF &frame) {
        QLinearGradient fill(frame.topLeft(), frame.bottomRight());
        fill.setColorAt(0, QColor(70, 124, 114));
        fill.setColorAt(1, QColor(179, 205, 160));
        painter.fillPath(ViewKit::roundedRect(frame, 13), fill);
    });

    const QSizeF cardSize(211, 141);
    const QImage shadow = softShape(cardSize, 12, ratio, QColor(0, 0, 0, qRound(255 * 0.2)), false, 10);
    layer(painter, QSizeF(shadow.size()) / ratio, QPointF(12, -4 + 8), 4,
          [&](const QRectF &frame) { painter.drawImage(frame.topLeft(), shadow); });
    layer(painter, cardSize, QPointF(12, -4), 4, [&](const QRectF &frame) { drawNoteCard(painter, frame); });

    layer(painter, QSizeF(44, 44), QPointF(94, 68), 12, [&](const QRectF &frame) {
        ViewKit::drawSymbol(painter, frame.center(), QStringLiteral("arrow.up.left"), Palette::coral, 37);
    });
    drawSticker(painter);
    return image;
}

void HeroArtwork::paint(QPainter &painter)
{
    const qreal ratio = devicePixelRatioF();
    if (painted_.isNull() || painted_.devicePixelRatio() != ratio)
        painted_ = QPixmap::fromImage(render(ratio));
    painter.drawPixmap(geometry().topLeft() - QPoint(overflow, overflow), painted_);
}

} // namespace tarn
