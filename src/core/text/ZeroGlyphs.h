// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include <QImage>
#include <QRect>

#include "core/text/RecognizedWord.h"

namespace tarn {

// Coding fonts mark their zero with a dot or a slash inside it, which in small text blurs into the
// ring, and the engine reads the zero as a 6 or a 9 ("4996" for "4096", "69:12" for "09:12"). The
// ring tells it apart: in every row between its top and bottom arcs a zero has strong ink at both
// of its sides, where a 6 is open at its upper right and a 9 at its lower left, and lighter ink
// somewhere between them. An 8 is left as read: small, its waist differs from a zero's dot by a
// pixel's shade alone.

// The text of `word`, read in the line boxed `line` in `gray` (dark text on a light background),
// with each 6 or 9 whose glyph is such a ring read as 0. The glyphs are the runs of inked columns
// within the word's box (two that touch parted at their lightest column), one for each of its
// characters; the text as it is when they are not that, or when a digit's glyph is no digit's.
std::string withZerosOfItsInk(const QImage &gray, const QRect &line, const RecognizedWord &word);

} // namespace tarn
