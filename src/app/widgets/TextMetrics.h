// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QString>

// Measures of interface text that a font's own metrics get wrong.
namespace tarn::TextMetrics {

// The height one line of interface text takes in `font`. Korean glyphs come from a fallback
// font that is taller than most interface fonts, and a line is as tall as the tallest font it
// uses: a line box sized by the interface font alone cuts Korean text at the bottom.
int lineHeight(const QFont &font);

// The width `text` takes drawn in `font`: its advance or its ink, whichever reaches further,
// rounded up. The interface font's whole-pixel metrics round the advance down, and a Korean glyph
// drawn from the fallback font may reach past its advance: a label given less is cut at its end.
int width(const QFont &font, const QString &text);

} // namespace tarn::TextMetrics
