// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPainterPath>
#include <QString>

namespace tarn::SymbolGlyphs {

// The symbol font's grid: every glyph is laid out in a square of this many units.
inline constexpr double grid = 24;

// Symbols the icon font has no glyph for, drawn here in its manner (filled shapes and strokes of
// two grid units) so they sit among its glyphs unnoticed. Each returns a fillable outline in the
// 24-unit grid, y down, or an empty path for a name it does not draw. `fontGlyph` gives the
// font's own outline of a glyph name, for the symbols built from the font's pieces.
using FontGlyph = QPainterPath (*)(QStringView name);
QPainterPath drawn(QStringView name, FontGlyph fontGlyph);

} // namespace tarn::SymbolGlyphs
