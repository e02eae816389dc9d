// SPDX-License-Identifier: GPL-3.0-or-later
// RasterRenderer::drawAnnotation: how every markup tool looks. The flattened picture, the
// blurred copy and the editor's canvas all paint marks through this one function.
#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include "core/render/BadgeRenderer.h"
#include "core/render/Fonts.h"
#include "core/render/RasterRenderer.h"

namespace tarn::RasterRenderer {

namespace {

const QColor highlightColor = QColor::fromRgbF(1.0f, 0.84f, 0.2f, 0.34f);

// Mark sizes follow the source width: one at 1600 pixels, never below 0.4.
double markScale(QSizeF size)
{
    const double r = size.width() / 1600;
    return (std::isnan(r) || r < 0.4) ? 0.4 : r;
}

double lineWidth(double scale, double weight)
{
    const double w = std::isnan(weight) ? 30 : std::clamp(weight, 1.0, 30.0);
    return scale * w;
}

// Fonts come in whole pixel sizes; the painter scales the nearest one to the exact size, so
// text keeps its proportions to the image at every size.
struct ScaledFont {
    QFont font;
    double factor;
};

ScaledFont fontOfSize(double pixelSize, QFont::Weight weight)
{
    const int whole = std::max(1, int(std::lround(pixelSize)));
    return {Fonts::font(whole, weight), pixelSize / whole};
}

void drawText(const Annotation &a, QPointF topLeft, double scale, QPainter &painter)
{
    const QString text = QString::fromStdString(a.text);
    if (text.isEmpty())
        return;
    const ScaledFont f = fontOfSize(std::max(36 * scale, 14.0), QFont::DemiBold);
    painter.translate(topLeft);
    painter.scale(f.factor, f.factor);
    painter.setFont(f.font);
    painter.drawText(QRectF(0, 0, 1e6, 1e6), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip | Qt::TextExpandTabs,
                     text);
}

void drawNumber(const Annotation &a, QPointF centre, double scale, QPainter &painter)
{
    const double d = std::max(52 * scale, 32.0);
    QPainterPath circle;
    circle.addEllipse(centre, d / 2, d / 2);
    painter.fillPath(circle, painter.brush());

    const QString label = QString::number(a.number);
    const ScaledFont f = fontOfSize(d / 2, QFont::Bold);
    const QFontMetricsF metrics(f.font);
    const double w = metrics.horizontalAdvance(label) * f.factor;
    const double h = metrics.height() * f.factor;
    painter.translate(centre.x() - w / 2, centre.y() - h / 2);
    painter.scale(f.factor, f.factor);
    painter.setFont(f.font);
    painter.setPen(Qt::white);
    painter.drawText(QPointF(0, metrics.ascent()), label);
}

double arrowHeadLength(double scale, double width) { return std::max(16 * scale, 4 * width); }

void drawArrow(QPointF p0, QPointF p1, double scale, double width, QPainter &painter)
{
    painter.drawLine(p0, p1);
    const double angle = std::atan2(p1.y() - p0.y(), p1.x() - p0.x());
    const double length = arrowHeadLength(scale, width);
    const double spread = std::numbers::pi / 6;
    QPainterPath head;
    head.moveTo(p1 - length * QPointF(std::cos(angle - spread), std::sin(angle - spread)));
    head.lineTo(p1);
    head.lineTo(p1 - length * QPointF(std::cos(angle + spread), std::sin(angle + spread)));
    painter.strokePath(head, painter.pen());
}

void drawRedaction(const QRectF &r, QPainter &painter)
{
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    const QRectF whole(QPointF(std::floor(r.left()), std::floor(r.top())),
                       QPointF(std::ceil(r.right()), std::ceil(r.bottom())));
    painter.fillRect(whole, QColor(0, 0, 0));
}

} // namespace

std::optional<QRectF> paintedBounds(const Annotation &a, QSizeF size)
{
    double reach = 0; // beyond the points: half the pen, the arrow's head
    const double s = markScale(size);
    switch (a.tool) {
    case MarkupTool::select:
    case MarkupTool::blur:
    case MarkupTool::crop:
        return QRectF();
    case MarkupTool::arrow:
        reach = arrowHeadLength(s, lineWidth(s, a.weight));
        [[fallthrough]];
    case MarkupTool::rectangle:
    case MarkupTool::roundedRectangle:
    case MarkupTool::ellipse:
    case MarkupTool::line:
    case MarkupTool::pen:
        reach += lineWidth(s, a.weight) / 2;
        break;
    case MarkupTool::highlight:
        break;
    case MarkupTool::text:
    case MarkupTool::badge:
    case MarkupTool::number:
    case MarkupTool::redact:
        return std::nullopt;
    }
    if (a.points.empty())
        return QRectF();
    QPointF low = a.points.front().scaled(size), high = low;
    for (const UnitPoint &u : a.points) {
        const QPointF p = u.scaled(size);
        if (!std::isfinite(p.x()) || !std::isfinite(p.y()))
            return std::nullopt;
        low = QPointF(std::min(low.x(), p.x()), std::min(low.y(), p.y()));
        high = QPointF(std::max(high.x(), p.x()), std::max(high.y(), p.y()));
    }
    reach += 1; // the curves of round caps and joins are approximated
    return QRectF(low - QPointF(reach, reach), high + QPointF(reach, reach));
}

void drawAnnotation(const Annotation &a, QSizeF size, QPainter &painter)
{
    if (a.points.empty())
        return;
    const double s = markScale(size);
    const double width = lineWidth(s, a.weight);
    const QColor color = qColor(a.color);

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    const QPointF p0 = a.points.front().scaled(size);
    const QPointF p1 = a.points.back().scaled(size);
    const QRectF R = a.rect().scaled(size);

    switch (a.tool) {
    case MarkupTool::select:
    case MarkupTool::blur:
    case MarkupTool::crop:
        break;
    case MarkupTool::arrow:
        drawArrow(p0, p1, s, width, painter);
        break;
    case MarkupTool::rectangle:
        painter.drawRect(R);
        break;
    case MarkupTool::roundedRectangle: {
        const double radius = 0.18 * std::min(R.width(), R.height());
        painter.drawRoundedRect(R, radius, radius);
        break;
    }
    case MarkupTool::ellipse:
        painter.drawEllipse(R);
        break;
    case MarkupTool::line:
        painter.drawLine(p0, p1);
        break;
    case MarkupTool::pen:
        if (a.points.size() > 1) {
            QPolygonF line;
            for (const UnitPoint &p : a.points)
                line << p.scaled(size);
            painter.drawPolyline(line);
        }
        break;
    case MarkupTool::text:
        drawText(a, p0, s, painter);
        break;
    case MarkupTool::badge:
        BadgeRenderer::draw(a.badgeStyle.value_or(BadgeStyle::check), BadgeRenderer::bounds(p0, size),
                            a.resolvedBadgeRotation(), painter);
        break;
    case MarkupTool::number:
        painter.setBrush(color);
        drawNumber(a, p0, s, painter);
        break;
    case MarkupTool::highlight:
        painter.fillRect(R, highlightColor);
        break;
    case MarkupTool::redact:
        drawRedaction(R, painter);
        break;
    }
    painter.restore();
}

} // namespace tarn::RasterRenderer
