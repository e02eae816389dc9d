// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>

#include <QImage>
#include <QRect>

#include "core/text/RecognizedWord.h"

namespace tarn {

// Interfaces set a number's Korean counter right after it ("4코어", "3월", "12개"). Where the
// counter's syllables stand no taller than the digits (a flat "코", a coding font's "월"), the engine
// reads them as more digits or as letters ("(4204)" for "(4코어)", "32" or "3H" for "3월"). Glyph by
// glyph (ink between empty columns) the ink tells them apart: a digit is one mark, no taller than
// the others and no wider than high; a syllable stands taller than the digits, or is wider than a
// digit and sets one jamo above another or stands a little taller than the digits (a coding font's,
// whose jamo join).

// `placed`, a word holding digits read in the line boxed `line` in `gray` (dark text on a light
// background), with the Korean model's reading (`korean`, asked for only then) of what its brackets
// hold, where its ink is digits followed by syllables that its text does not hold: taken where that
// reading is digits followed by syllables, its digits as many as the ink's and the first ones of
// the text, within as many brackets as the text has; else, where that reading ends in a syllable
// for each of the counter's glyphs and has no more characters than the glyphs, the text's digits for
// the number's glyphs and those syllables ("8월" for "82" read "용월" by the Korean model, which
// also reads the digit as a syllable or leaves it out). The text as it is otherwise.
std::string withCounterOfItsGlyphs(const QImage &gray, const QRect &line, const PlacedWord &placed,
                                   const std::function<std::string()> &korean);

// The engine may also split the counter at its first consonant: it reads the consonant as one more
// digit of the number ("57" for the "5" of "5개") or drops it, and the word after the number from
// the vowel alone, whose ink is narrower than a syllable, less than half as wide as high ("개" boxed
// on its "ㅐ"). The Korean model's reading (`korean`, of a box) of `number` (a number) and `next`, the
// word after it, together, where `next` begins so: taken where it is the number's digits, all or all
// but the last, followed by `next`'s text; empty otherwise.
std::string counterAcross(const QImage &gray, const QRect &line, const PlacedWord &number, const PlacedWord &next,
                          const std::function<std::string(const QRect &)> &korean);

} // namespace tarn
