// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/render/BadgeRenderer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include <QPainter>
#include <QPainterPath>
#include <QTransform>

#include "core/base/ImageFailure.h"
#include "core/image/Bitmap.h"

namespace tarn::BadgeRenderer {

namespace {

constexpr std::array allStyles{BadgeStyle::check, BadgeStyle::question, BadgeStyle::cross, BadgeStyle::warning,
                               BadgeStyle::heart};

// The drawing angle in radians: the clamped rotation modulo 360, so 360 acts as 0.
double drawingAngle(double degrees) { return std::fmod(clampedRotation(degrees), 360.0) * std::numbers::pi / 180.0; }

QTransform rotationAbout(QPointF centre, double radians)
{
    QTransform t;
    t.translate(centre.x(), centre.y());
    t.rotateRadians(radians);
    t.translate(-centre.x(), -centre.y());
    return t;
}

void fillTag(const QRectF &r, const QRectF &head, double d, const QColor &color, QPainter &painter)
{
    QPainterPath body;
    body.setFillRule(Qt::WindingFill);
    body.moveTo(r.left(), r.center().y());
    body.lineTo(r.left() + 0.2 * d, head.top() + 0.23 * d);
    body.lineTo(head.center().x(), head.top() + 0.23 * d);
    body.lineTo(head.center().x(), head.bottom() - 0.23 * d);
    body.lineTo(r.left() + 0.2 * d, head.bottom() - 0.23 * d);
    body.closeSubpath();
    painter.fillPath(body, color);

    QPainterPath circle;
    circle.addEllipse(head);
    painter.fillPath(circle, color);

    QPainterPath inner;
    inner.addEllipse(head.adjusted(0.12 * d, 0.12 * d, -0.12 * d, -0.12 * d));
    painter.fillPath(inner, Qt::white);
}

void fillDot(QPointF centre, double diameter, const QColor &color, QPainter &painter)
{
    QPainterPath dot;
    dot.addEllipse(centre, diameter / 2, diameter / 2);
    painter.fillPath(dot, color);
}

// The symbol inside the box g; d is the head's diameter.
void drawSymbol(BadgeStyle style, const QRectF &g, double d, const QColor &color, QPainter &painter)
{
    const double minX = g.left(), minY = g.top(), maxX = g.right(), maxY = g.bottom();
    const double midX = g.center().x(), midY = g.center().y();
    const double w = g.width(), h = g.height();
    QPen pen(color, 0.075 * d, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    QPainterPath path;
    switch (style) {
    case BadgeStyle::check:
        path.moveTo(minX, midY);
        path.lineTo(minX + 0.35 * w, maxY - 0.1 * h);
        path.lineTo(maxX, minY + 0.1 * h);
        painter.drawPath(path);
        break;
    case BadgeStyle::question:
        path.moveTo(minX, minY + 0.22 * h);
        path.cubicTo({minX, minY + 0.02 * h}, {minX + 0.25 * w, minY}, {midX, minY});
        path.cubicTo({maxX - 0.1 * w, minY}, {maxX, minY + 0.08 * h}, {maxX, minY + 0.25 * h});
        path.cubicTo({maxX, midY}, {midX, midY}, {midX, minY + 0.6 * h});
        path.lineTo(midX, minY + 0.65 * h);
        painter.drawPath(path);
        fillDot({midX, maxY}, 0.09 * d, color, painter);
        break;
    case BadgeStyle::cross:
        path.moveTo(minX, minY);
        path.lineTo(maxX, maxY);
        path.moveTo(maxX, minY);
        path.lineTo(minX, maxY);
        painter.drawPath(path);
        break;
    case BadgeStyle::warning:
        path.moveTo(midX, minY);
        path.lineTo(midX, minY + 0.58 * h);
        painter.drawPath(path);
        fillDot({midX, maxY}, 0.09 * d, color, painter);
        break;
    case BadgeStyle::heart:
        path.setFillRule(Qt::WindingFill);
        path.moveTo(midX, maxY);
        path.cubicTo({minX + 0.24 * w, minY + 0.73 * h}, {minX, minY + 0.57 * h}, {minX, minY + 0.35 * h});
        path.cubicTo({minX, minY - 0.06 * h}, {midX - 0.1 * w, minY - 0.04 * h}, {midX, minY + 0.16 * h});
        path.cubicTo({midX + 0.1 * w, minY - 0.04 * h}, {maxX, minY - 0.06 * h}, {maxX, minY + 0.35 * h});
        path.cubicTo({maxX, minY + 0.57 * h}, {maxX - 0.24 * w, minY + 0.73 * h}, {midX, maxY});
        path.closeSubpath();
        painter.fillPath(path, color);
        break;
    }
}

} // namespace

QRectF bounds(QPointF point, QSizeF imageSize)
{
    const double r = imageSize.width() / 1600.0;
    const double h = (48 * r >= 28 && r >= 0.4) ? 48 * r : 28.0;
    const double w = aspectRatio * h;
    return {point.x() - w / 2, point.y() - h / 2, w, h};
}

double clampedRotation(double degrees)
{
    if (!std::isfinite(degrees))
        return 0;
    return std::clamp(degrees, 0.0, 360.0);
}

QRectF rotatedBounds(const QRectF &rect, double rotationDegrees)
{
    const double angle = drawingAngle(rotationDegrees);
    if (angle == 0)
        return rect;
    return rotationAbout(rect.center(), angle).mapRect(rect);
}

void draw(BadgeStyle style, const QRectF &rect, double rotationDegrees, QPainter &painter)
{
    if (!(rect.width() > 0 && rect.height() > 0))
        return;
    const double angle = drawingAngle(rotationDegrees);
    const QColor color = qColor(style);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setTransform(rotationAbout(rect.center(), angle), true);

    const double d = std::min(rect.height(), rect.width() / aspectRatio);
    const QRectF head(rect.right() - d, rect.center().y() - d / 2, d, d);
    fillTag(rect, head, d, color, painter);

    if (angle != 0)
        painter.setTransform(rotationAbout(head.center(), -angle), true);
    const QRectF symbolBox = head.adjusted(0.29 * d, 0.27 * d, -0.29 * d, -0.27 * d);
    drawSymbol(style, symbolBox, d, color, painter);
    painter.restore();
}

QImage previewImage(bool showRotations)
{
    QImage sheet = Bitmap::create(QSize(1000, showRotations ? 900 : 180), QColor::fromRgbF(0.96f, 0.97f, 0.98f));

    QPainter painter(&sheet);
    if (!painter.isActive())
        throw ImageFailure::encoding();
    constexpr std::array rotations{0.0, 45.0, 180.0, 289.0, 360.0};
    for (size_t i = 0; i < allStyles.size(); ++i) {
        if (!showRotations) {
            draw(allStyles[i], QRectF(32 + 200.0 * i, 42, 136, 88), 0, painter);
            continue;
        }
        for (size_t j = 0; j < rotations.size(); ++j)
            draw(allStyles[i], QRectF(32 + 200.0 * j, 42 + 180.0 * i, 136, 88), rotations[j], painter);
    }
    painter.end();
    return sheet;
}

} // namespace tarn::BadgeRenderer
