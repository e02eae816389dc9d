// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/widgets/SymbolGlyphs.h"

#include <numbers>

#include <QPainterPathStroker>
#include <QPolygonF>
#include <QTransform>

namespace tarn::SymbolGlyphs {

namespace {

constexpr double stroke = 2; // the font's line weight in grid units

QPainterPath stroked(const QPainterPath &line)
{
    QPainterPathStroker stroker;
    stroker.setWidth(stroke);
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    return stroker.createStroke(line).simplified();
}

// The arrow pointer of the move tool, filled like the font's navigation arrows.
QPainterPath pointer()
{
    QPainterPath path;
    path.addPolygon(
        QPolygonF{{6, 2.5}, {6, 19.5}, {10.2, 15.6}, {12.9, 21.6}, {15.6, 20.4}, {12.9, 14.5}, {18.6, 14.5}});
    path.closeSubpath();
    return path;
}

QPainterPath diagonal()
{
    QPainterPath line;
    line.moveTo(5, 19);
    line.lineTo(19, 5);
    return stroked(line);
}

// A ring of dots: the state of edits that are not saved yet.
QPainterPath dottedCircle()
{
    constexpr int dots = 8;
    constexpr double radius = 8.5;
    constexpr double dot = 3;
    QPainterPath path;
    for (int i = 0; i < dots; ++i) {
        const double angle = 2 * std::numbers::pi * i / dots;
        path.addEllipse(QPointF(12 + radius * std::sin(angle), 12 - radius * std::cos(angle)), dot / 2, dot / 2);
    }
    return path;
}

// A square of dashes around a filled square: an area whose inside is softened.
QPainterPath dashedSquare()
{
    // Three dashes a side, with the corners whole, so the outline stays a square when small.
    QPainterPath outline;
    constexpr double low = 3, high = 21, dash = 4;
    for (double start : {low, 12 - dash / 2, high - dash}) {
        outline.addRect(start, low, dash, stroke);
        outline.addRect(start, high - stroke, dash, stroke);
        outline.addRect(low, start, stroke, dash);
        outline.addRect(high - stroke, start, stroke, dash);
    }
    QPainterPath inset;
    inset.addRect(7.5, 7.5, 9, 9);
    return outline.united(inset);
}

// A disc with a figure one cut out of it. The figure is the font's own: the inside of its
// boxed one ("looks_one") away from the box's edges.
QPainterPath numberedCircle(FontGlyph fontGlyph)
{
    QPainterPath inner;
    inner.addRect(6, 5, 12, 14);
    const QPainterPath one = inner.subtracted(fontGlyph(u"looks_one"));
    QPainterPath disc;
    disc.addEllipse(QPointF(12, 12), 10, 10);
    return disc.subtracted(one);
}

// A shield with a padlock cut out of it, both the font's own.
QPainterPath lockedShield(FontGlyph fontGlyph)
{
    const QPainterPath shield = fontGlyph(u"shield");
    QTransform half;
    half.translate(12, 12.2);
    half.scale(0.46, 0.46);
    half.translate(-12, -12);
    return shield.subtracted(half.map(fontGlyph(u"lock")));
}

} // namespace

QPainterPath drawn(QStringView name, FontGlyph fontGlyph)
{
    if (name == u"pointer")
        return pointer();
    if (name == u"diagonal")
        return diagonal();
    if (name == u"dotted-circle")
        return dottedCircle();
    if (name == u"dashed-square")
        return dashedSquare();
    if (name == u"numbered-circle")
        return numberedCircle(fontGlyph);
    if (name == u"locked-shield")
        return lockedShield(fontGlyph);
    return {};
}

} // namespace tarn::SymbolGlyphs
