// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>

#include <QImage>
#include <QRect>

#include "core/text/RecognizedWord.h"

namespace tarn {

// A number that reads right and is not is the worst misreading of copied text. The engine's
// reading of a number is checked against its ink: the Korean-first engine reads short Hangul words
// as digits ("24" for "오전" in a selected row), a full stop as a digit ("332" for "3.2"), and drops
// a digit or a colon ("1:15" for "11:15", "248" for "2:48"). Where the readings of the two models
// or the ink disagree on a number, the one the ink supports wins; where none does, the number
// stays as read.

// The connected marks of ink in the rows of the line boxed `line` in `gray` (dark text on a light
// background) whose middles lie in the columns of `box`.
size_t marksOfInk(const QImage &gray, const QRect &line, const QRect &box);

// Whether the ink of `word`, read in that line, is Hangul: it holds `extra` marks or more beyond
// those of its characters (a digit or a Latin letter is one mark, a colon two, while a Hangul
// syllable has two to five, its consonants and vowels), and it fills the line's height, where
// digits and capitals leave a fifth of it.
bool inkOutnumbersItsText(const QImage &gray, const QRect &line, const RecognizedWord &word, size_t extra = 2);

// The text of `placed`, a number whose ink has the shape `inkShape` (see numberShapeOfInk), with a
// full stop for each digit that the engine boxed narrower than a digit where its ink has a dot
// ("332" for "3.2"); empty when the shapes differ in anything else.
std::string withStopsOfItsInk(const PlacedWord &placed, const std::string &inkShape, int lineHeight);

// The text of `placed`, a word holding digits read in that line, with the Korean counter read as
// digits or marks put back: the month, day, year or piece after a number (월, 일, 년, 개) stands
// taller than its digits, its consonant below its vowel, and part of it is taken for a digit
// ("128월", "20264년", "12854" for "12월 5일"). Where characters stand taller than the word's
// digits (two or more of which do not), the Korean model's reading (`korean`) is taken if it is
// Hangul syllables and the digits of the others; the text as it is otherwise, or where the
// characters do not make up the text; there, and where its characters stand no taller, a counter
// told by its glyphs (see withCounterOfItsGlyphs).
std::string withCountersOfItsInk(const QImage &gray, const QRect &line, const PlacedWord &placed,
                                 const std::function<std::string()> &korean);

// The text of `placed`, a number read in that line, as its ink supports it. Hangul read as digits
// (see inkOutnumbersItsText) gives way to the Korean model's reading (`korean`) where that is
// Korean words without digits. A number whose shape differs from its ink's, colons aside (which
// withColonsOfItsInk puts in), takes full stops where its ink has them, for digits read in their
// place (see withStopsOfItsInk) or left out between two digits; else the engine's first reading of
// its characters where that has the ink's shape and the same digits (another model's reading may
// have lost a sign); else the English model's reading (`english`, the reading of a box) where that
// has the ink's shape and all but one of its digits, and no fewer than the ink holds (see
// leastDigitsOfInk).
// A number set close to a unit or a word, in one word with it ("24GHz", "04%", "231동기화"), is
// told so by its own ink and its place alone. The readings of the models are asked for only when
// needed. Small letters read as digits, beside a capital ("0016" for "Core") or right after
// `numberBefore`, the number before the word ("07" for the "cm" of "10 cm"; none when empty), their
// ink lower than the capital's or those digits' as no digit is, or reaching below their baseline,
// give way to the English model's reading where that is as many Latin letters.
std::string numberOfItsInk(const QImage &gray, const QRect &line, const PlacedWord &placed,
                           const std::function<std::string()> &korean,
                           const std::function<std::string(const QRect &)> &english,
                           const PlacedWord &numberBefore = {});

// Where `box`, a number's in that line, ends in a glyph (a run of inked columns in the line's rows)
// that lies further beyond it than within, the last column before that glyph; -1 otherwise. Such a
// glyph is the next word's ("12" boxed over the ring of the "월" after it); a digit the box cuts
// lies mostly within.
int endBeforeGlyphBeyond(const QImage &gray, const QRect &line, const QRect &box);

} // namespace tarn
