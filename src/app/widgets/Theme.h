// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QIcon>
#include <QImage>
#include <QPainterPath>
#include <QRectF>
#include <QString>
#include <QStringList>

class QPainter;

namespace tarn::Theme {

// The icon theme for other programs' icons (the window picker shows each window's application).
// The interface's own symbols do not come from it: see symbolPath.
inline constexpr const char *iconThemeName = "Papirus-Dark";

// Makes that icon theme the one application icons are looked up in.
void useIconTheme();
// The interface is always dark: the Fusion style with the dark palette for every widget, and
// the icon theme above.
void useDarkAppearance();

// Symbols, by the names the interface uses ("crop", "circle.dotted", "arrow.uturn.backward"…).
// Every one is drawn from one monochrome set, the Material Icons font, or in its manner where it
// has no glyph, so they share one grid, one line weight and whatever single colour the caller
// gives.
//
// The outline of a symbol, centred in the largest square that fits in `box`, ready to fill;
// empty for an unknown symbol (or when the symbol font is not installed).
QPainterPath symbolPath(const QString &symbol, const QRectF &box);
// Fills that outline in `color`, antialiased.
void drawSymbol(QPainter &painter, const QString &symbol, const QRectF &box, const QColor &color);
// A symbol drawn in `color` on transparency, `size` logical pixels square at the given pixel
// ratio; null for an unknown symbol.
QImage symbolImage(const QString &symbol, const QColor &color, int size, qreal devicePixelRatio);
// Every symbol name the table knows, in table order.
QStringList symbols();

} // namespace tarn::Theme
