// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include <QImage>
#include <QRect>

namespace tarn {

// Interfaces show unread and pending counts as light digits on a small filled circle, or a pill
// when they are wider ("5" on red beside a chat). Read with the text around them, the circle's
// edge and fill become part of the glyph: the engine reads "@", "한" or "호" for the digit. A
// badge is told by its shape instead: a round or a pill of one fill, at most a few glyphs inside
// it, each about half its height and taller than wide (or wider, where two digits touch), which is
// what no control bears (a radio button's dot and a switch's knob are round, a check box's tick,
// wider, reads as no two digits). Its glyphs are read on their own, as digits.

struct CountBadge {
    QRect box;      // the badge's fill in the screenshot
    int fill = 0;   // its grey level
    int digits = 0; // the digits its glyphs' marks make: one a mark, two where they touch
    QRect glyphBox; // the glyphs' marks in the screenshot: the box of the count's text
    QImage glyphs;  // the glyphs alone, dark on white, with a margin
};

// The count badges of a Format_Grayscale8 screenshot, looked for in its ink patches (see
// inkPatches), left to right and top to bottom as found.
std::vector<CountBadge> findCountBadges(const QImage &gray, const std::vector<QRect> &patches);

// The count `reading` (the engine's reading of the badge's glyphs as digits alone, at `confidence`
// from 0 to 100) stands for, where it has as many digits as the badge's marks make and the engine
// is sure of it; empty otherwise. A round avatar holds a syllable where a badge holds digits: its
// glyph is read as a digit too, but as a guess.
std::string countOf(const CountBadge &badge, const std::string &reading, float confidence);

// The badge's glyphs enlarged (or reduced) to be `height` pixels high.
QImage glyphsAt(const CountBadge &badge, int height);

// Paints the badge over with the background around it, so that the text beside it is read alone.
void paintOver(QImage &gray, const CountBadge &badge);

} // namespace tarn
