// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/text/RecognizedWord.h"

namespace tarn {

// The engine reads with the Korean model first and takes the English model's reading of a word
// the Korean one is unsure of. On small interface text that turns Korean words into Latin
// letters ("오후" as "OS", "저장됨" as "HSE", "12개" as "1274"), while the Korean model alone,
// reading the same line, still sees the Hangul. These decide when its reading is taken back.

// Whether `utf8` holds Hangul (syllables or jamo).
bool holdsHangul(const std::string &utf8);

// Whether the Hangul of `utf8` is whole syllables, none of it a lone jamo, and there is some.
bool holdsSyllablesAlone(const std::string &utf8);

// Whether `text` reads as Korean words of an interface: a number may come first (a count, a
// date, a time: "12개", "3초 전"), then Hangul syllables, words set apart by single blanks
// or joined by a middle dot ("사진·동영상"), and punctuation after them. Lone jamo, Latin letters or signs among the
// syllables do not
// ("다디+ㅜ" is how the Korean model reads "Ctrl+T").
bool readsAsKorean(const std::string &text);

// Whether everything but the Hangul of `korean` stands in `other` in the same order, blanks
// aside: the two readings differ only where `other` has letters for syllables ("0.8초" and
// "0.8%"), never in the digits and signs both see ("고.4" is no reading of "2.4"); where `other`
// is a number, `korean` keeps its numbers ("3.고" is no reading of "3.2"). A middle dot stands
// in `korean` only where its ink is one, and so needs no second word.
bool keepsTheRestOf(const std::string &korean, const std::string &other);

// Whether `text` is a number as interfaces write them: digits, with full stops, commas and colons
// ("3.2", "2025. 3.", "4:05", "11").
bool isNumber(const std::string &text);

// Whether `reading`, another model's reading of the place of `read`, keeps the numbers of `read`:
// its runs of digits (blanks aside) are those of `read` in the same order, each whole or without
// some last digits, which a word set right after a number leaves when it is read as digits ("12개"
// for "1274"). A number is not lost ("ne" for "11"), nor is a digit made into a syllable ("3.고"
// for "3.2", "2025. 국." for "2025. 3.").
bool keepsTheNumbersOf(const std::string &reading, const std::string &read);

// `read`, a number, with its last part as `reading` (the English model's reading of its place) has
// it, where that is a unit or a file's extension: the Korean model reads the letters of small ones
// as digits ("68" for "GB" after "3.2", "09.41.12.000" for "09.41.12.png"). The rest of `reading`
// keeps the start of `read` (blanks aside, a hyphen for a full stop), and the letters stand for
// about as many digits; a blank the reading sets between a number and its unit stays. Empty when
// it is no such reading. A reading that ends in `next`, the word after it, read with it where its
// ink begins close by ("GB /"), is taken without it.
std::string withUnitOf(const std::string &reading, const std::string &read, const std::string &next = {});

// Another reading of a line (its words placed in its text) at the place of `word` of the first
// reading: the words whose middles lie within `word`'s box, or within `place` (that box widened
// towards its neighbours) when they hold Hangul syllables, with the text between them, and their confidence
// weighted by their lengths. Nothing when no word lies there or when those words reach more than
// `slack` pixels out of the place, but to the right where they are one word that reads as the
// model reads the place `alone`.
std::optional<RecognizedWord> readingAt(const RecognizedWord &word, const QRect &place,
                                        const std::vector<PlacedWord> &words, const std::string &text, int slack,
                                        const std::string &alone = {});

// Whether `korean`, the Korean model's reading of the place of `read` (a word without Hangul),
// replaces it. It must read as Korean and keep the rest of `read`. Then it is taken when it is
// at least as sure as `read`; or, when it is less sure but not a guess, when the English model
// on its own (`englishReading`, asked only then) reads the word otherwise than `read`: Latin
// text reads the same in both, letters made up for Hangul seldom do. Where the Korean model read
// the word `alone` as it reads it in its line, a word without digits is what both say, however
// unsure the engine says it is ("배율" at 0 for "HHS"); a number's digits are left to their ink.
bool replacesWithKorean(const RecognizedWord &read, const RecognizedWord &korean,
                        const std::function<std::string()> &englishReading, const std::string &alone = {});

// Whether the English model's reading `english` (at `confidence`, 0-100) replaces `read`, a word
// the Korean-first engine is unsure of: where it is surer by a margin, and for a number, or a word
// it reads alike but for some digits ("#4871" for "#4821"), only where it is sure or keeps its
// numbers (it reads small digits as letters, "ne" for "11"); never for a number it reads alike but
// for letters the models take for digits ("1l" for "11"). Where the Korean model reads the number
// alone (`koreanAlone`, asked only for a number) as the English model does, two readings of its ink
// alone outweigh the one in its line, however sure ("3.2" for "32"); where the Korean model reads
// the digits as they were, the English model's more digits come from ink beside the word ("(20264"
// for "(2026" before "년"), and its other digits are its own misreading, however sure.
bool takesEnglishReading(const RecognizedWord &read, const std::string &english, float confidence,
                         const std::function<std::string()> &koreanAlone);

// Whether a reading of words `first` to `last` of a line takes in the text of the words beside
// them (up to three on either side, as they read now, blanks aside and whatever may stand for a
// middle dot taken as one): a box that reaches into its neighbours reads them too ("128개가" for
// "128" before "개" and "가"), and so does a reading of a place that another reading has already
// read ("내보낸" beside "보낸", "2026-12-04 -" before "ㆍ"). Such a reading is not taken.
bool swallowsNeighbours(const std::string &reading, const std::vector<PlacedWord> &words, size_t first, size_t last);

// Names of paths and files that mix Korean and Latin ("/home/minji/문서/회의록.png") come out of
// the Korean-first engine with their Latin parts read as digits ("/110006/001011/문서/..."), and
// out of the English one with their Korean parts read as letters.

// Whether `text` holds a sign that parts a name (/ . _ -).
bool isName(const std::string &text);

// The two readings of a name put together where both part it alike at those signs (at all of
// them, else at the folders' alone, else at the extension's); where the first has lost some of
// the second's signs, the second's parts around them count as one. Empty when they do not.
// With English parts: each part as the Korean-first reading has it, but where that holds no
// Hangul and fewer letters than the English reading's, which is letters and digits, more
// letters than digits ("Videos" for "10605", "png" for "008").
std::string withEnglishParts(const std::string &koreanFirst, const std::string &english);
// With Korean parts: each part as the first reading (Latin throughout) has it, but where the
// Korean reading's is Hangul syllables only ("문서" for "2M").
std::string withKoreanParts(const std::string &latinFirst, const std::string &korean);

} // namespace tarn
