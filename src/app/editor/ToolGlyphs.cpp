// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/editor/ToolGlyphs.h"

#include <algorithm>
#include <cmath>

#include <QPainter>

#include "core/render/BadgeRenderer.h"

namespace tarn::ToolGlyphs {

namespace {
constexpr double badgeAspect = 1.55; // a badge's width over its height
}

QPainterPath shapeGlyph(MarkupTool tool, const QRectF &rect)
{
    const QRectF r = rect.adjusted(2, 2, -2, -2);
    const double side = std::min(r.width(), r.height());
    QRectF square(0, 0, side, side);
    square.moveCenter(r.center());
    QPainterPath path;
    switch (tool) {
    case MarkupTool::line:
        path.moveTo(r.left(), r.bottom() - 2);
        path.lineTo(r.right(), r.top() + 2);
        break;
    case MarkupTool::ellipse:
        path.addEllipse(square);
        break;
    case MarkupTool::roundedRectangle:
        path.addRoundedRect(r.adjusted(0, 0.13 * side, 0, -0.13 * side), 0.18 * side, 0.18 * side);
        break;
    default:
        path.addRect(square);
        break;
    }
    return path;
}

QRectF badgeIconRect(const QSizeF &size, double rotationDegrees)
{
    const QRectF bounds = BadgeRenderer::rotatedBounds(QRectF(0, 0, badgeAspect, 1), rotationDegrees);
    const double scale = std::min(size.width() / bounds.width(), size.height() / bounds.height());
    return {(size.width() - badgeAspect * scale) / 2, (size.height() - scale) / 2, badgeAspect * scale, scale};
}

void drawBadgeIcon(QPainter &painter, BadgeStyle style, double rotationDegrees, const QRectF &frame)
{
    QRectF rect = badgeIconRect(frame.size(), rotationDegrees);
    rect.translate(frame.topLeft());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    BadgeRenderer::draw(style, rect, rotationDegrees, painter);
    painter.restore();
}

void drawBadgeSymbol(QPainter &painter, BadgeStyle style, double rotationDegrees, const QRectF &frame,
                     const QColor &color)
{
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const double scale = ratio * std::max(std::abs(painter.transform().m11()), 1.0);
    QImage badge((frame.size() * scale).toSize(), QImage::Format_ARGB32_Premultiplied);
    if (badge.isNull())
        return;
    badge.fill(Qt::transparent);
    {
        QPainter drawing(&badge);
        drawing.scale(scale, scale);
        drawBadgeIcon(drawing, style, rotationDegrees, QRectF(QPointF(), frame.size()));
    }
    // The badge's colour becomes the ink, its white becomes a hole: what stays is the tag, the
    // ring of its head and the mark inside, in one colour like every other symbol.
    const QColor own = qColor(style);
    const double grey = std::min({own.redF(), own.greenF(), own.blueF()});
    QImage ink(badge.size(), QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < badge.height(); ++y) {
        const auto *from = reinterpret_cast<const QRgb *>(badge.constScanLine(y));
        auto *to = reinterpret_cast<QRgb *>(ink.scanLine(y));
        for (int x = 0; x < badge.width(); ++x) {
            const QRgb p = from[x];
            const double white = std::min({qRed(p), qGreen(p), qBlue(p)}) / 255.0;
            const double alpha = std::clamp((qAlpha(p) / 255.0 - white) / (1 - grey), 0.0, 1.0) * color.alphaF();
            to[x] = qPremultiply(qRgba(color.red(), color.green(), color.blue(), int(std::lround(alpha * 255))));
        }
    }
    ink.setDevicePixelRatio(scale);
    painter.drawImage(frame.topLeft(), ink);
}

QString badgeStyleName(BadgeStyle style)
{
    switch (style) {
    case BadgeStyle::check:
        return QStringLiteral("체크");
    case BadgeStyle::question:
        return QStringLiteral("물음표");
    case BadgeStyle::cross:
        return QStringLiteral("X");
    case BadgeStyle::warning:
        return QStringLiteral("느낌표");
    case BadgeStyle::heart:
        return QStringLiteral("하트");
    }
    return {};
}

} // namespace tarn::ToolGlyphs

namespace tarn {

BadgeIcon::BadgeIcon(BadgeStyle style, double rotationDegrees, QSize size, QWidget *parent)
    : QWidget(parent),
      style_(style),
      rotation_(rotationDegrees)
{
    setFixedSize(size);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAccessibleName(QString());
}

void BadgeIcon::setBadge(BadgeStyle style, double rotationDegrees)
{
    if (style == style_ && rotationDegrees == rotation_)
        return;
    style_ = style;
    rotation_ = rotationDegrees;
    update();
}

void BadgeIcon::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    ToolGlyphs::drawBadgeIcon(painter, style_, rotation_, rect());
}

} // namespace tarn
