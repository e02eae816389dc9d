// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <QImage>
#include <QRect>

#include "core/text/RecognizedWord.h"

namespace tarn {

// Korean interfaces write a time of day on the twelve-hour clock after one of the two words 오전
// (morning) and 오후 (afternoon): "오후 3:07". In small text the engine gets a jamo of them wrong
// ("오우", "요후"), which no reading of the word alone mends. Between the two the word's jamo
// tell, as they differ in most of them.

// Whether `text` is a time of day as interfaces write it: hours (up to 23), a colon and two digits
// of minutes, and maybe a colon and two of seconds ("9:41", "12:30", "00:04:17").
bool isTimeOfDay(const std::string &text);

// `word`, two characters with Hangul read before a time of day, as the one of 오전 and 오후 whose
// jamo it is nearest to, where it differs from that one in at most two jamo (a character that is no
// syllable counting as one) and from the other in more; the word unchanged otherwise ("오우" and
// "2후" are 오후, "어제" stays).
std::string timeOfDayWord(const std::string &word);

// Each word of the line boxed `line` in `gray` (dark text on a light background) read before a
// time of day, as the ink shows it: in Hangul, as timeOfDayWord makes it where each syllable of
// that one stands at its place in the word or in the Korean model's reading of the word's place
// alone (`korean`, the reading of a box), as a real word ("오픈", "오류") is read the same alone; in
// up to three digits or Latin letters whose ink holds more marks than they would make (the engine
// reads the pair as "24", "941" or "2s" in a selected row), as the Korean model reads the place,
// where that is near one of the pair.
void mendTimeOfDayWords(const QImage &gray, const QRect &line, std::vector<PlacedWord> &words,
                        const std::function<std::string(const QRect &)> &korean);

} // namespace tarn
