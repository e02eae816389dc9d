// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPainterPath>
#include <QRectF>
#include <QString>
#include <QWidget>

#include "core/model/Markup.h"

class QPainter;

namespace tarn::ToolGlyphs {

// The outline of a shape tool as a line icon inside `rect` (y down): a square, a circle, a
// flat rounded rectangle or a rising line; any other tool draws the square. Callers stroke it.
QPainterPath shapeGlyph(MarkupTool tool, const QRectF &rect);

// Where a badge icon of `style` at `rotationDegrees` puts the unturned badge inside a canvas
// of `size`: centred, 1.55 : 1, as large as lets the turned badge fit.
QRectF badgeIconRect(const QSizeF &size, double rotationDegrees);
// Draws that badge into `frame`.
void drawBadgeIcon(QPainter &painter, BadgeStyle style, double rotationDegrees, const QRectF &frame);

// The same badge as a symbol: in one colour, its white left open, as the rail shows it.
void drawBadgeSymbol(QPainter &painter, BadgeStyle style, double rotationDegrees, const QRectF &frame,
                     const QColor &color);

// The Korean name of a badge style ("체크", "물음표", "X", "느낌표", "하트").
QString badgeStyleName(BadgeStyle style);

} // namespace tarn::ToolGlyphs

namespace tarn {

// A small picture of one badge style at a rotation; hidden from accessibility.
class BadgeIcon : public QWidget {
    Q_OBJECT

public:
    BadgeIcon(BadgeStyle style, double rotationDegrees, QSize size, QWidget *parent = nullptr);
    void setBadge(BadgeStyle style, double rotationDegrees);
    BadgeStyle style() const { return style_; }
    double rotationDegrees() const { return rotation_; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    BadgeStyle style_;
    double rotation_;
};

} // namespace tarn
