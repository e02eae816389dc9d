// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text/TimesOfDay.h"

#include <algorithm>
#include <array>

#include <QRegularExpression>
#include <QString>

#include "core/text/HangulWords.h"
#include "core/text/NumberInk.h"

namespace tarn {

namespace {

constexpr size_t mostJamoOff = 2;          // a reading this close to one of the words stands for it
constexpr qsizetype longestMisreading = 3; // characters the engine makes of the pair
const std::array<QString, 2> timeOfDayWords{QStringLiteral("오전"), QStringLiteral("오후")};

// The jamo of Hangul syllables, each syllable as its initial consonant, its vowel and its final
// consonant if it has one, told apart by position; any other character as one that is no jamo
// (the Korean model reads a syllable it is unsure of as a digit: "2후").
std::u32string jamoOf(const QString &word)
{
    std::u32string jamo;
    for (const char32_t c : word.toUcs4()) {
        if (c < 0xAC00 || c > 0xD7A3) {
            jamo += U'\uFFFD';
            continue;
        }
        const char32_t index = c - 0xAC00;
        jamo += char32_t(0x1100 + index / (21 * 28));
        jamo += char32_t(0x1161 + index / 28 % 21);
        if (index % 28)
            jamo += char32_t(0x11A7 + index % 28);
    }
    return jamo;
}

bool isOneOfThePair(const std::string &word)
{
    return std::any_of(timeOfDayWords.begin(), timeOfDayWords.end(),
                       [&](const QString &pair) { return pair.toStdString() == word; });
}

size_t editDistance(const std::u32string &a, const std::u32string &b)
{
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

using KoreanReading = std::function<std::string(const QRect &)>;

// Whether each syllable of `pair` stands at its place in `read` or in `alone`, the Korean model's
// reading of the word's place alone (what it reads for a middle dot or a mark before the word left
// out): the ink shows the word, where the resemblance of a real word's jamo does not ("오류" and
// "오픈" are read the same alone, "오우" for a small "오후" as "오후" or "2후").
bool seenIn(const QString &pair, const std::string &read, const std::string &alone)
{
    const QString first = QString::fromStdString(read);
    QString second = QString::fromStdString(alone);
    while (!second.isEmpty() && (!second.front().isLetterOrNumber() || second.front() == u'\u318D'))
        second.remove(0, 1);
    for (qsizetype k = 0; k < pair.size(); ++k)
        if ((k >= first.size() || first[k] != pair[k]) && (k >= second.size() || second[k] != pair[k]))
            return false;
    return true;
}

// `read`, a word boxed `box` before a time of day, as the one of the pair that timeOfDayWord makes
// it where the ink shows that one (see seenIn); `read` otherwise.
std::string pairWordOfItsInk(const std::string &read, const QRect &box, const KoreanReading &korean)
{
    const std::string pair = timeOfDayWord(read);
    if (pair == read || !isOneOfThePair(pair))
        return read;
    return seenIn(QString::fromStdString(pair), read, korean(box)) ? pair : read;
}

// A word that begins with a lone middle dot is written from its characters (see withLoneDots):
// the characters after the last dot, as one word, are mended there.
void mendAfterLoneDot(PlacedWord &placed, const KoreanReading &korean)
{
    std::vector<RecognizedWord> &characters = placed.characters;
    const size_t from = placed.loneDots.back() + 1;
    std::string read;
    QRect box;
    for (size_t k = from; k < characters.size(); ++k) {
        read += characters[k].text;
        box |= characters[k].box;
    }
    if (const std::string mended = pairWordOfItsInk(read, box, korean); from < characters.size() && mended != read) {
        characters[from].text = mended;
        for (size_t k = from + 1; k < characters.size(); ++k)
            characters[k].text.clear();
    }
}

// The engine may read the pair as two words of a syllable each, set without a blank ("모" "후"):
// mended as one where they make one of it, the first taking the word. Gives whether they did.
bool mendsSyllablesApart(PlacedWord &first, PlacedWord &second, const KoreanReading &korean)
{
    const auto syllable = [](const PlacedWord &w) {
        return QString::fromStdString(w.word.text).size() == 1 && holdsHangul(w.word.text) && w.loneDots.empty();
    };
    if (!syllable(first) || !syllable(second) || first.at == std::string::npos || first.at + first.length != second.at)
        return false;
    const std::string read = first.word.text + second.word.text;
    const std::string mended = pairWordOfItsInk(read, first.word.box | second.word.box, korean);
    if (!isOneOfThePair(mended))
        return false;
    first.word.text = mended;
    second.word.text.clear();
    return true;
}

} // namespace

bool isTimeOfDay(const std::string &text)
{
    static const QRegularExpression time(QStringLiteral("^([01]?[0-9]|2[0-3]):[0-5][0-9](:[0-5][0-9])?$"));
    return time.match(QString::fromStdString(text)).hasMatch();
}

std::string timeOfDayWord(const std::string &word)
{
    const QString read = QString::fromStdString(word);
    const std::u32string jamo = jamoOf(read);
    if (read.size() != 2 || !holdsHangul(word))
        return word;
    const size_t morning = editDistance(jamo, jamoOf(timeOfDayWords[0]));
    const size_t afternoon = editDistance(jamo, jamoOf(timeOfDayWords[1]));
    if (morning == afternoon || std::min(morning, afternoon) > mostJamoOff)
        return word;
    return timeOfDayWords[morning < afternoon ? 0 : 1].toStdString();
}

void mendTimeOfDayWords(const QImage &gray, const QRect &line, std::vector<PlacedWord> &words,
                        const KoreanReading &korean)
{
    for (size_t i = 1; i < words.size(); ++i) {
        RecognizedWord &word = words[i - 1].word;
        if (!isTimeOfDay(words[i].word.text) || word.text.empty())
            continue;
        // The engine's box of a word may reach into the time after it.
        const auto alone = [&](QRect box) {
            box.setRight(std::min(box.right(), words[i].word.box.left() - 1));
            return korean(box);
        };
        if (!words[i - 1].loneDots.empty()) {
            mendAfterLoneDot(words[i - 1], alone);
            continue;
        }
        if (i >= 2 && mendsSyllablesApart(words[i - 2], words[i - 1], alone))
            continue;
        if (holdsHangul(word.text)) {
            // A middle dot read into the word sets its own blank ("· 오후").
            const size_t blank = word.text.rfind(' ');
            const size_t start = blank == std::string::npos ? 0 : blank + 1;
            word.text = word.text.substr(0, start) + pairWordOfItsInk(word.text.substr(start), word.box, alone);
            continue;
        }
        if (QString::fromStdString(word.text).size() > longestMisreading || !inkOutnumbersItsText(gray, line, word, 1))
            continue;
        if (const std::string reading = timeOfDayWord(alone(word.box)); isOneOfThePair(reading))
            word.text = reading;
    }
}

} // namespace tarn
