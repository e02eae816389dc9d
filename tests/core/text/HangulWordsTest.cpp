// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "core/text/HangulWords.h"
#include "core/text/TimesOfDay.h"

using namespace tarn;

// Readings seen on interface text: the Korean-first engine's word, the Korean model's reading of
// the same place and the English model's reading of the word alone.
TEST(HangulWords, koreanReadingsReplaceLettersMadeUpForHangulButNotLatinText)
{
    struct Case {
        const char *read;
        float readConfidence;
        const char *korean;
        float koreanConfidence;
        const char *english; // nullptr: must not be asked
        bool replaced;
        const char *alone = ""; // the Korean model's reading of the word alone
    };
    const Case cases[] = {
        {"OS", 92, "오후", 97, nullptr, true},             // surer: taken without asking
        {"1274", 64, "12개", 92, nullptr, true},           // the digits both see are kept
        {"324", 71, "3초 전", 94, nullptr, true},          // one word for two
        {"Ws", 66, "맵을", 47, "HS", true},                // less sure, but the letters do not hold
        {"S", 88, "중", 68, "=", true},                    //
        {"Ul", 92, "비", 88, "UI", false},                 // the English model reads it the same
        {"MB", 88, "이어", 57, "MB", false},               //
        {"Ctri+N", 60, "다디+시", 62, nullptr, false},     // Latin signs among the syllables
        {"Ctrl+T", 65, "다티+ㅜ", 70, nullptr, false},     // a lone jamo
        {"42%", 75, "4206", 74, nullptr, false},           // no Hangul
        {"2.4", 92, "고.4", 84, "2.4", false},             // a digit read as a syllable
        {"2:05", 42, "고:05", 78, nullptr, false},         // still a digit for a syllable, however sure
        {"3.2", 85, "3.고", 93, nullptr, false},           // nor the last digit of a number
        {"Al", 63, "새", 10, nullptr, false},              // a guess
        {"HHS", 76, "배율", 0, nullptr, true, "배율"},     // read alone the same: however unsure
        {"9:41", 89, "9:4즈", 69, "9:41", false, "9:4즈"}, // but never a number's digit
    };
    for (const Case &c : cases) {
        bool asked = false;
        const bool replaced = replacesWithKorean(
            {c.read, {}, c.readConfidence}, {c.korean, {}, c.koreanConfidence},
            [&] {
                asked = true;
                return std::string(c.english ? c.english : "");
            },
            c.alone);
        EXPECT_EQ(replaced, c.replaced) << c.read << " / " << c.korean;
        if (!c.english) {
            EXPECT_FALSE(asked) << c.read << " / " << c.korean;
        }
    }
}

TEST(HangulWords, koreanWordsOfAnInterfaceAndWhatTheyKeepOfAnotherReading)
{
    const std::pair<const char *, bool> shapes[] = {
        {"저장됨", true},      {"3초 전", true}, {"2026년", true}, {"편집…", true},     {"종료할까요?", true},
        {"캡처  12개", false}, {"오후3", false}, {"ㆍ", false},    {"Tarnwick", false}, {"", false},
    };
    for (const auto &[text, korean] : shapes)
        EXPECT_EQ(readsAsKorean(text), korean) << text;

    const std::tuple<const char *, const char *, bool> rests[] = {
        {"0.8초", "0.8%", true},  {"편집...", "WZ…", true}, {"3초 전", "3 24", true},
        {"고:05", "2205", false}, {"12개", "21", false},    {"오후", "", true},
    };
    for (const auto &[korean, other, kept] : rests)
        EXPECT_EQ(keepsTheRestOf(korean, other), kept) << korean << " / " << other;

    // Only the digits ending a number may be what a word after it was read as.
    const std::tuple<const char *, const char *, bool> numbers[] = {
        {"12개", "1274", true},  {"380 KB", "3808", true}, {"2.4", "2.4", true},
        {"ne", "11", false},     {"3.고", "3.2", false},   {"2025. 국. 10.", "2025. 3. 10.", false},
        {"4:05", "4205", false},
    };
    for (const auto &[reading, read, kept] : numbers)
        EXPECT_EQ(keepsTheNumbersOf(reading, read), kept) << reading << " / " << read;
    // Digits may give way to the letters of a unit or an extension that end the number, no more.
    const std::tuple<const char *, const char *, const char *> units[] = {
        {"GB", "68", "GB"},
        {"09.41.12. png", "09.41.12.000", "09.41.12.png"},
        {"-png", ".008", ".png"},
        {"4KB", "48", "4KB"},
        {"380 KB", "3808", "380 KB"},
        {"ne", "11", ""},
        {"GB", "3.2", ""},
        {"1.png", "2.000", ""},
        {"png", "0", ""},
    };
    for (const auto &[reading, read, taken] : units)
        EXPECT_EQ(withUnitOf(reading, read), taken) << reading << " / " << read;
    // The English model's reading of an unsure word: a number changes where it is sure, or where
    // the Korean model reads it alone alike, and never by digits of the ink beside it, nor where the
    // Korean model reads it alone as it was.
    const std::tuple<const char *, float, const char *, float, const char *, bool> english[] = {
        {"32", 83, "3.2", 74, "3.2", true},
        {"32", 83, "3.2", 74, "32", false},
        {"(2026", 75, "(20264", 91, "(2026년", false},
        {"12.4.0", 81, "v2.4.0", 95, "12.4.0", true},
        {"11", 70, "ne", 85, "", false},
        {"Ul", 60, "UI", 80, "", true},
        {"#4821", 52, "#4871", 79, "", false},
        {"#4821", 84, "#4871", 95, "뷰4821", false}, // however sure, where the Korean model reads them alike
        {"11", 47, "1l", 75, "11", false},           // a letter taken for a digit tells nothing
    };
    for (const auto &[read, readConfidence, reading, confidence, alone, taken] : english)
        EXPECT_EQ(takesEnglishReading({read, {}, readConfidence}, reading, confidence,
                                      [text = std::string(alone)] { return text; }),
                  taken)
            << read;
    EXPECT_EQ(withUnitOf("GB /", "68", "/"), "GB"); // with the word after it
    EXPECT_EQ(withUnitOf("GB /", "68", "16"), "");

    EXPECT_TRUE(holdsHangul("ㆍ"));
    EXPECT_FALSE(holdsHangul("x · y"));
}

// The Korean reading of a line is cut to the place of one word of the first reading, and no
// reading that takes in the words beside it is taken.
TEST(HangulWords, theOtherReadingIsTakenAtTheWordsPlace)
{
    const std::string text = "캡처 12 개 ㆍ 선택";
    const std::vector<PlacedWord> korean{
        {{"캡처", QRect(0, 0, 40, 20), 93}, 0, 6},    {{"12", QRect(50, 0, 20, 20), 93}, 7, 2},
        {{"개", QRect(72, 0, 20, 20), 51}, 10, 3},    {{"ㆍ", QRect(100, 0, 8, 20), 52}, 14, 3},
        {{"선택", QRect(112, 0, 40, 20), 93}, 18, 6},
    };
    struct Case {
        QRect box;
        const char *text; // nullptr: nothing there
        float confidence;
        QRect place = {};       // the box widened towards the neighbours; none: the box
        const char *alone = ""; // the place read alone by the same model
    };
    const Case cases[] = {
        {QRect(48, 0, 46, 20), "12 개", (93 * 2 + 51) / 3.0f}, // weighted by length
        {QRect(95, 0, 16, 20), "ㆍ", 52},
        {QRect(45, 0, 20, 20), nullptr, 0},  // "12" reaches out of the box
        {QRect(200, 0, 30, 20), nullptr, 0}, // nothing there
        // A misread word boxed short of its ink: the syllables in its place count, not the signs.
        {QRect(50, 0, 20, 20), "12 개", (93 * 2 + 51) / 3.0f, QRect(45, 0, 50, 20)},
        {QRect(110, 0, 30, 20), "선택", 93, QRect(85, 0, 80, 20)},
        // A word boxed over the ink after it too is the place's reading where the place alone reads so.
        {QRect(112, 0, 22, 20), "선택", 93, {}, "선택"},
        {QRect(112, 0, 22, 20), nullptr, 0, {}, "선"},
        {QRect(130, 0, 22, 20), nullptr, 0, {}, "선택"}, // reaching out on the left
    };
    const auto line = [](std::vector<const char *> texts) {
        std::vector<PlacedWord> words;
        for (const char *text : texts)
            words.push_back({{text, {}, 90}});
        return words;
    };
    const std::tuple<const char *, std::vector<PlacedWord>, size_t, bool> swallowing[] = {
        {"128개가", line({"128", "개", "가", "있습니다"}), 0, true},             // the next words, set without a blank
        {"~/Pictures/내보낸", line({"~/Pictures/Lf", "보낸", "파일"}), 0, true}, // read again already
        {"2026-12-04 -", line({"2026-12-04", "ㆍ", "1920"}), 0, true},           // the dot, as a hyphen
        {"3개", line({"선택", "37H", "ㆍ"}), 1, false},
    };
    for (const auto &[reading, words, at, swallows] : swallowing)
        EXPECT_EQ(swallowsNeighbours(reading, words, at, at), swallows) << reading;

    for (const Case &c : cases) {
        const auto reading = readingAt({"x", c.box, 50}, c.place.isNull() ? c.box : c.place, korean, text, 3, c.alone);
        ASSERT_EQ(reading.has_value(), c.text != nullptr) << c.box.x();
        if (reading) {
            EXPECT_EQ(reading->text, c.text);
            EXPECT_NEAR(reading->confidence, c.confidence, 0.01);
        }
    }
}

// Paths and file names that mix Korean and Latin: the Korean-first engine reads their Latin
// parts as digits, the English one their Korean parts as letters; each part is taken from the
// reading that can read it.
TEST(HangulWords, namesAreReadPartByPartByTheModelThatCanReadThePart)
{
    const std::tuple<const char *, const char *, const char *> english[] = {
        {"/110006/001011/문서/캡처/회의록.png", "/home/minji/2M/BA/3|.png", "/home/minji/문서/캡처/회의록.png"},
        {"~/\\10605/8600101005/녹화", "~/Videos/Recordings/S3}", "~/Videos/Recordings/녹화"},
        {"회의록_디자인검토.008", "3|215_AEA.png", "회의록_디자인검토.png"},
        {"회의록_2026.0ㅁ9", "3|2_2O26.png", "회의록_2026.png"},               // digits are not read as letters
        {"캡처-v2.jpg", "HA-v2.jpg", "캡처-v2.jpg"},                           // both read it alike
        {"/1101067001011/문서/캡처/회의록.png", "/home/minji/2M/BA/3|215.png", // a separator lost
         "/home/minji/문서/캡처/회의록.png"},
        {"~/01060518600[01085/녹와", "~/Videos/Recordings/S3}", "~/Videos/Recordings/녹와"},
        {"회의록.0ㅁ9", "3|215_png", ""},                // parted otherwise: nothing
        {"문서/캡처.008", "2M.BA/png", "문서/캡처.008"}, // alike at the folders' signs only
    };
    for (const auto &[koreanFirst, other, spliced] : english)
        EXPECT_EQ(withEnglishParts(koreanFirst, other), spliced) << koreanFirst;

    const std::tuple<const char *, const char *, const char *> korean[] = {
        {"/home/minji/2M/BA/3|", "/17010716/0010]1/문서/캡처/회의록.008", "/home/minji/문서/캡처/3|"},
        {"/home/user/Pictures", "/110176/4561/미아65", "/home/user/Pictures"}, // no part of syllables only
        {"2M.png", "문서", ""},
        {"3.2", "3.고", "3.2"}, // a number is no name of syllables
        {"3.", "국.", "3."},
    };
    for (const auto &[latinFirst, other, spliced] : korean)
        EXPECT_EQ(withKoreanParts(latinFirst, other), spliced) << latinFirst;

    const std::pair<const char *, bool> names[] = {
        {"/home/minji/문서", true}, {"회의록.png", true}, {"2026-12-07", true}, {"문서 캡처", false}};
    for (const auto &[text, name] : names)
        EXPECT_EQ(isName(text), name) << text;
}

// The word read before a time of day is the nearer of 오전 and 오후 by its jamo, where it is near one.
TEST(HangulWords, theWordBeforeATimeOfDayIsTheNearerOfItsPair)
{
    const std::pair<const char *, const char *> words[] = {
        {"오우", "오후"}, {"요후", "오후"}, {"2후", "오후"}, {"오진", "오전"}, {"오전", "오전"},
        {"어제", "어제"}, {"오늘", "오늘"}, {"후", "후"},    {"95", "95"},     {"오후3", "오후3"},
    };
    for (const auto &[read, word] : words)
        EXPECT_EQ(timeOfDayWord(read), word) << read;
    // Before a time it becomes that one only where the ink shows it: read alone, the place reads so.
    for (const auto &[read, alone, word] : {std::tuple{"오우", "2후", "오후"}, std::tuple{"요후", "ㆍ오후", "오후"},
                                            std::tuple{"오픈", "오픈", "오픈"}, std::tuple{"오우", "오우", "오우"}}) {
        std::vector<PlacedWord> line{{{read, QRect(0, 0, 20, 10), 90}, 0, 6},
                                     {{"3:07", QRect(24, 0, 20, 10), 90}, 7, 4}};
        mendTimeOfDayWords({}, QRect(0, 0, 50, 10), line,
                           [second = std::string(alone)](const QRect &) { return second; });
        EXPECT_EQ(line[0].word.text, word) << read << " / " << alone;
    }
    for (const auto &[text, time] : {std::pair{"9:41", true}, std::pair{"12:30", true}, std::pair{"00:04:17", true},
                                     std::pair{"24:00", false}, std::pair{"3.2", false}, std::pair{"9:4", false}})
        EXPECT_EQ(isTimeOfDay(text), time) << text;
}
