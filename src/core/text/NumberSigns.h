// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include <QImage>
#include <QRect>

#include "core/text/RecognizedWord.h"

namespace tarn {

// The signs that belong to a number: the won sign before an amount, the per cent sign after a
// percentage, the "v" before a version, the number sign before an order's number. Neither model
// knows the won sign: they read it as "\", "W", "#" or "¥#". Both read a per cent sign set close to
// its digits as two more digits ("8096" for "80%"), a "v" before digits as a digit or a stroke
// ("112.0.4", "/12.0.4"), and a small number sign as a digit ("44821" for "#4821"). The ink tells
// each apart from what it was read as, one glyph (ink between empty columns) at a time:
// - a won sign is a W as high as the digits, crossed by a bar from edge to edge, its arms at the
//   edges on top and its two feet apart from them below, its left arm slanting in towards its foot
//   (a "#" has nothing at its top edges or strokes that stand upright or lean the other way, a "¥"
//   one foot, a "W" no bar), and it stands before a digit;
// - a per cent sign is a small ring high on the left and another low on the right, each apart
//   from the stroke between them, where a digit is one mark as high as the others;
// - a "v" is a mark of the letters' height on the digits' baseline, two arms above one foot.
// - a number sign is two bars one above the other, crossed by two legs that reach above the upper
//   bar and below the lower one, where a "4" has one bar and a single stem below it, and it is the
//   first glyph before the digits.
// A full stop read between digits is a comma where its ink is a comma's, higher than wide and
// reaching below the digits' baseline
// ("₩34.500" for "₩34,500"); a comma is never made a full stop, as a small comma can look like one.
// A sign may touch the digit beside it, or a minus the won sign, and the engine's boxes may lie a
// glyph off (a bracket boxed on a per cent sign keeps its reading, and does not hide the digits
// read for it); an "i" read where the ink is a single mark as high as the digits is a one.

// The text of `placed`, a word holding digits that the engine read in the line boxed `line` in
// `gray` (dark text on a light background), with each sign of its numbers that its ink holds put
// for the characters the engine read for that glyph. The text as it is where the ink does not
// show a sign, or where the word's characters do not make up its text.
std::string withSignsOfItsInk(const QImage &gray, const QRect &line, const PlacedWord &placed);

// Whether the ink in the columns of `box` in that line is a W at least `least` pixels high: its arms
// at the edges of its top, two feet apart from its edges below, its left arm slanting in towards its
// foot, and no bar across it as a won sign has; the glyphs (ink between empty columns) that reach
// into those columns are taken together, as the faint strokes of a small W may part it. A backslash
// is one stroke, a "V" has one foot, an "N" its feet at its edges.
bool isLetterW(const QImage &gray, const QRect &line, const QRect &box, double least);

} // namespace tarn
