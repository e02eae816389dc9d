// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include <QImage>
#include <QRect>

#include "core/text/RecognizedWord.h"

namespace tarn {

// Interfaces set a middle dot between blanks to separate the parts of a status line or a
// detail ("저장됨 · 오후 3:14"). The Korean model knows the dot only as the vowel sign "ㆍ"
// (U+318D), the English one often as a hyphen, and both drop the blanks beside it.

// Whether the engine's reading of a word may stand for a middle dot: the dot itself, the vowel
// sign, a hyphen or dash, a bullet or a full stop.
bool mayBeMiddleDot(const std::string &word);

// Whether `word` (a word of the line boxed `line` in `gray`, dark text on a light background)
// is a lone middle dot: a small round mark in the middle of the line's height, with at least a
// blank's room of empty columns on either side before the next ink of the line. The room is
// measured against the size of the line's letters: Hangul when `hangulLine`, else capitals.
bool isLoneMiddleDot(const QImage &gray, const QRect &line, const RecognizedWord &word, bool hangulLine);

} // namespace tarn
