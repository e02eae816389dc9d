// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <vector>

#include <QImage>
#include <QRect>

#include "core/text/RecognizedWord.h"

namespace tarn {

// Interfaces set a middle dot between blanks to separate the parts of a status line or a
// detail ("저장됨 · 오후 3:14"). The Korean model knows the dot only as the vowel sign "ㆍ"
// (U+318D), the English one often as a hyphen, and both drop the blanks beside it.

// Whether the engine's reading of a word or a character may stand for a middle dot: the dot
// itself, the vowel sign, a hyphen or dash, a bullet, a full stop or a colon.
bool mayBeMiddleDot(const std::string &word);

// The room a blank takes in the line boxed `line` in `gray` (dark text on a light background):
// the median of the widest runs of empty columns between the middles of neighbouring words that
// the engine set apart by blanks (`separators[i]` lies between words i and i + 1), words that may
// be a middle dot left out. Fonts differ in the width of their blanks by half, so a dot's room is
// measured against the blanks of its own line. Nothing when no such words are set apart.
std::optional<int> blankRoom(const QImage &gray, const QRect &line, const std::vector<RecognizedWord> &words,
                             const std::vector<std::string> &separators);

// The widest run of empty columns of the line boxed `line` in `gray` whose middle lies between
// columns `from` and `to`.
int widestEmptyRun(const QImage &gray, const QRect &line, int from, int to);

// Whether `word` (a word of that line) is a lone middle dot: a small round mark in the middle of the
// line's height, with about a blank's room of empty columns on either side before the next ink of
// the line: `blank` when the line has other blanks, else a room measured against the size of the
// line's letters (Hangul when `hangulLine`, else capitals).
bool isLoneMiddleDot(const QImage &gray, const QRect &line, const RecognizedWord &word, bool hangulLine,
                     std::optional<int> blank = std::nullopt);

// Whether a middle dot's ink lies at `box`, a character of the line boxed `line` in `gray` (dark
// text on a light background): a small round mark in the middle of the line's height, at the box,
// with no other ink above or below it in the line (a colon has a second dot there, a letter more),
// nor faint ink around it (an asterisk's thin arms around its core).
bool isMiddleDotAt(const QImage &gray, const QRect &line, const QRect &box);

// Whether the engine left out a lone middle dot between two words of that line boxed `left` and
// `right`: one lies whole in the columns between them (see isMiddleDotAt and isLoneMiddleDot).
bool middleDotLeftOut(const QImage &gray, const QRect &line, const QRect &left, const QRect &right, bool hangulLine,
                      std::optional<int> blank = std::nullopt);

// What lies beside a word in its line: whether a blank, and the character of the word it touches.
struct Neighbours {
    bool blankBefore = false, blankAfter = false;
    std::string before = {}, after = {};
};

// The text of `placed`, a word of that line without lone middle dots, with each character that
// the engine read for a middle dot (see mayBeMiddleDot, or an asterisk) where its ink is one (see
// isMiddleDotAt) written as the dot; a full stop or a colon only between Hangul syllables, and none
// beside a digit. Inside the word, or alone between the words it touches, it stands without blanks
// ("사진·동영상"); at its start or its end, beside a blank on the word's other side, it stands
// between blanks, as a dot is set alike on both sides ("· 오후"). The text unchanged when it is no
// longer the engine's first reading of its characters.
std::string withMiddleDotsOfItsInk(const QImage &gray, const QRect &line, const PlacedWord &placed,
                                   const Neighbours &neighbours);

} // namespace tarn
