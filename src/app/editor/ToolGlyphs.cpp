// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/editor/ToolGlyphs.h"

#include <algorithm>

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
