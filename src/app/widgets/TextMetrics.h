// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>

// Measures of interface text that a font's own metrics get wrong.
namespace tarn::TextMetrics {

// The height one line of interface text takes in `font`. Korean glyphs come from a fallback
// font that is taller than most interface fonts, and a line is as tall as the tallest font it
// uses: a line box sized by the interface font alone cuts Korean text at the bottom.
int lineHeight(const QFont &font);

} // namespace tarn::TextMetrics
