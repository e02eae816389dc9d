// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include <QImage>
#include <QRect>

#include "core/text/RecognizedWord.h"

namespace tarn {

// Times of day and durations in small text ("3:14", "00:04:17"): where the font sets the colon
// close to its digits, the engine drops it ("314") or reads it as a digit ("9712" for "9:12",
// "11140" for "11:40"). A colon's ink tells it apart: two small dots one above the other, the lower
// one low beside the digits, neither touching them.

// The text of `placed`, a number (digits, colons, full stops and commas) that the engine read in
// the line boxed `line` in `gray` (dark text on a light background), with the colons its ink holds:
// each one the text lacks is put in, or put for the digit the engine read in its place. Where
// digits touch, so that their marks cannot be told apart, a lost colon goes between the
// characters the engine boxed on either side of it. The text as it is when neither fits.
std::string withColonsOfItsInk(const QImage &gray, const QRect &line, const PlacedWord &placed);

// The connected marks of ink (darker than mid-grey) in the columns of `word`, each as its bounding
// box, left to right; a mark is followed past those columns (the engine's box may cut a digit),
// within the rows of `line`.
std::vector<QRect> inkMarksAround(const QImage &gray, const QRect &line, const QRect &word);

// The shape of a number: 'D' for each digit, ':' for a colon, '.' for a full stop or a comma; empty
// when `text` holds anything else.
std::string numberShapeOfText(const std::string &text);

// The same of the ink of the number boxed `box` in that line, told by the marks as above (a dot
// that is no colon's counts as '.', the pieces of a digit that a faint stroke breaks as one digit);
// empty when a mark there is neither a digit nor a dot. Gives in `stops` the middle column of each
// of those dots that is a full stop: between two digits, low on their baseline and reaching no
// lower, as a comma's tail does.
std::string numberShapeOfInk(const QImage &gray, const QRect &line, const QRect &box,
                             std::vector<int> *stops = nullptr);

// Whether the ink at `stop`, the box of a full stop the engine read between digits in that line,
// holds one, however faint: in small text a stop may be a grey pixel or two, too light to count
// as ink above. At a lighter level of ink it is a dot of its own in columns of its own between the
// digits, low on their baseline as a full stop is (see numberShapeOfInk), its middle at most a
// little below it; between digits set close there is none.
bool holdsFaintStop(const QImage &gray, const QRect &line, const QRect &stop);

// The fewest digits the ink of the number boxed `box` in that line holds: one for each mark as high
// as a digit, more for a mark wider than one, as digits that touch make ("11" set close is one mark
// as wide as two digits). A reading of fewer digits has lost some.
size_t leastDigitsOfInk(const QImage &gray, const QRect &line, const QRect &box);

} // namespace tarn
