// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text/NumberInk.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <iterator>
#include <numeric>
#include <optional>
#include <utility>

#include <QString>
#include <vector>

#include "core/text/CounterGlyphs.h"
#include "core/text/HangulWords.h"
#include "core/text/NumberColons.h"

namespace tarn {

namespace {

constexpr int darkest = 128; // pixels below this level are ink: fainter ones join neighbouring glyphs
// Hangul fills the line's height; digits beside it, and Latin capitals, leave a fifth of it or more.
constexpr double hangulHeight = 0.85;
constexpr double narrowestMark = 0.3; // a digit is boxed at least this share of the line's height wide
// Hangul stands taller than the digits beside it, a sixth of their height or more in every font.
constexpr double counterHeight = 1.17;

// The connected marks of the line's rows whose middles lie in the columns of `box`.
size_t marksWithin(const QImage &gray, const QRect &line, const QRect &box)
{
    const std::vector<QRect> marks = inkMarksAround(gray, line, box);
    return size_t(std::count_if(marks.begin(), marks.end(), [&](const QRect &mark) {
        return mark.center().x() >= box.left() && mark.center().x() <= box.right();
    }));
}

// The first and the last row of the ink in the columns of `box`, over the line's rows; the last
// before the first where there is none.
std::pair<int, int> inkRows(const QImage &gray, const QRect &line, const QRect &box)
{
    const QRect area = QRect(box.left(), line.top(), box.width(), line.height()).intersected(gray.rect());
    int top = area.bottom() + 1, bottom = area.top() - 1;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const uint8_t *row = gray.constScanLine(y);
        if (std::any_of(row + area.left(), row + area.right() + 1, [](uint8_t v) { return v < darkest; })) {
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    return {top, bottom};
}

// The height of the ink in the columns of `box`, over the line's rows.
int inkHeight(const QImage &gray, const QRect &line, const QRect &box)
{
    const auto [top, bottom] = inkRows(gray, line, box);
    return std::max(0, bottom - top + 1);
}

// Whether the ink in the columns of `box` reaches over the line's whole height, as Hangul does.
bool fillsTheLine(const QImage &gray, const QRect &line, const QRect &box)
{
    return inkHeight(gray, line, box) >= hangulHeight * line.height();
}

bool holdsDigit(const std::string &text)
{
    return std::any_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Whether the digits of two readings of a number differ in one digit at most (one read otherwise,
// added or left out): the ink tells the signs, the readings the digits.
std::string digitsOf(const std::string &text)
{
    std::string digits;
    std::copy_if(text.begin(), text.end(), std::back_inserter(digits), [](char c) { return c >= '0' && c <= '9'; });
    return digits;
}

bool nearInDigits(const std::string &a, const std::string &b)
{
    std::string x = digitsOf(a), y = digitsOf(b);
    if (x.size() < y.size())
        std::swap(x, y);
    if (x.size() == y.size())
        return std::inner_product(x.begin(), x.end(), y.begin(), size_t(0), std::plus<>(), std::not_equal_to<>()) <= 1;
    if (x.size() > y.size() + 1)
        return false;
    const auto differ = std::mismatch(y.begin(), y.end(), x.begin());
    return std::equal(differ.first, y.end(), differ.second + 1);
}

bool isDigit(const std::string &text) { return text.size() == 1 && text[0] >= '0' && text[0] <= '9'; }

// Whether the characters of `placed`, read as digits, are letters: digits stand as high as each
// other, where two small letters or more beside a capital leave its top a sixth of its height
// above theirs, on its baseline ("0016" for "Core").
bool smallLettersReadAsDigits(const QImage &gray, const QRect &line, const PlacedWord &placed)
{
    std::vector<std::pair<int, int>> rows;
    for (const RecognizedWord &character : placed.characters)
        if (isDigit(character.text))
            if (const auto ink = inkRows(gray, line, character.box.adjusted(1, 0, -1, 0)); ink.first <= ink.second)
                rows.push_back(ink);
    const auto tallest = std::min_element(
        rows.begin(), rows.end(), [](const auto &a, const auto &b) { return a.second - a.first > b.second - b.first; });
    if (tallest == rows.end())
        return false;
    const int height = tallest->second - tallest->first + 1, slack = std::max(1, height / 8);
    const auto small = std::count_if(rows.begin(), rows.end(), [&](const auto &ink) {
        return (ink.second - ink.first + 1) * counterHeight <= height &&
            std::abs(ink.second - tallest->second) <= slack;
    });
    return small >= 2;
}

// Whether the characters of `placed`, read as digits right after the number `before`, are small
// letters, each of them: a digit stands as high as the digits before it on their baseline, where
// the body of a small letter stands a sixth lower or more ("07" for "cm", "0405" for "cups") and
// its tail reaches below that baseline.
bool smallLettersAfterNumber(const QImage &gray, const QRect &line, const PlacedWord &placed, const PlacedWord &before)
{
    std::vector<int> heights, bottoms;
    for (const RecognizedWord &character : before.characters)
        if (const auto ink = inkRows(gray, line, character.box.adjusted(1, 0, -1, 0));
            isDigit(character.text) && ink.first <= ink.second) {
            heights.push_back(ink.second - ink.first + 1);
            bottoms.push_back(ink.second);
        }
    if (heights.empty() || placed.characters.empty())
        return false;
    std::nth_element(heights.begin(), heights.begin() + heights.size() / 2, heights.end());
    std::nth_element(bottoms.begin(), bottoms.begin() + bottoms.size() / 2, bottoms.end());
    const int height = heights[heights.size() / 2], baseline = bottoms[bottoms.size() / 2],
              slack = std::max(1, height / 8);
    return std::all_of(placed.characters.begin(), placed.characters.end(), [&](const RecognizedWord &character) {
        const auto [top, bottom] = inkRows(gray, line, character.box.adjusted(1, 0, -1, 0));
        const bool body = (bottom - top + 1) * counterHeight <= height && std::abs(bottom - baseline) <= slack;
        return top <= bottom && (body || bottom > baseline + slack);
    });
}

// Whether `text` is Latin letters alone.
bool isLatinLetters(const std::string &text)
{
    return !text.empty() &&
        std::all_of(text.begin(), text.end(), [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); });
}

// What the engine reads for part of a Hangul counter: a digit, or a mark no taller than one.
bool mayBeCounterPart(const std::string &text)
{
    return isDigit(text) || text == "°" || text == ":" || text == "'" || text == "." || text == ",";
}

// The characters of `placed` that stand taller than its shortest digit as Hangul does, where two
// of its digits or more do not: a digit's faint tip may leave it shorter than its neighbour.
std::vector<bool> tallerThanItsDigits(const QImage &gray, const QRect &line, const PlacedWord &placed)
{
    std::vector<int> heights;
    int shortest = line.height();
    for (const RecognizedWord &character : placed.characters) {
        heights.push_back(inkHeight(gray, line, character.box.adjusted(1, 0, -1, 0)));
        if (isDigit(character.text) && heights.back() > 0)
            shortest = std::min(shortest, heights.back());
    }
    std::vector<bool> taller(heights.size(), false);
    size_t count = 0, plainDigits = 0;
    for (size_t i = 0; i < heights.size(); ++i) {
        taller[i] = mayBeCounterPart(placed.characters[i].text) && heights[i] > counterHeight * shortest;
        count += taller[i];
        plainDigits += !taller[i] && isDigit(placed.characters[i].text);
    }
    return count > 0 && plainDigits >= 2 ? taller : std::vector<bool>();
}

// Whether `digits` are those of `placed` but for some of its `taller` characters: each of its
// other digits kept, in order.
bool dropsOnlyTaller(const PlacedWord &placed, const std::vector<bool> &taller, const std::string &digits)
{
    size_t kept = 0;
    for (size_t i = 0; i < taller.size(); ++i) {
        const std::string &text = placed.characters[i].text;
        if (kept < digits.size() && text.size() == 1 && text[0] == digits[kept])
            ++kept;
        else if (isDigit(text) && !taller[i])
            return false;
    }
    return kept == digits.size();
}

// The characters of `placed` as the engine first read them, one after the other.
std::string firstReading(const PlacedWord &placed)
{
    std::string text;
    for (const RecognizedWord &character : placed.characters)
        text += character.text;
    return text;
}

// The text of `placed`, a number whose ink has the shape `inkShape` with full stops at the columns
// `stops` (see numberShapeOfInk), with each of those stops put in between the two characters
// around it where the engine left it out ("24" for "2.4"); empty where the text then does not have
// the ink's signs in the ink's order, or where a stop put in would part three digits from those
// before it: such a group is one of thousands, and its separator may be a small comma.
std::string withStopsPutIn(const PlacedWord &placed, const std::vector<int> &stops, const std::string &inkShape)
{
    const std::vector<RecognizedWord> &characters = placed.characters;
    if (stops.empty() || firstReading(placed) != placed.word.text)
        return {};
    const std::string shape = numberShapeOfText(placed.word.text);
    const auto groupAfter = [&](size_t k) {
        size_t end = k + 1;
        while (end < shape.size() && shape[end] == 'D')
            ++end;
        return end - k - 1;
    };
    std::string text;
    size_t next = 0;
    for (size_t k = 0; k < characters.size(); ++k) {
        text += characters[k].text;
        while (next < stops.size() && stops[next] < characters[k].box.center().x())
            ++next;
        if (k + 1 < characters.size() && next < stops.size() && stops[next] < characters[k + 1].box.center().x() &&
            shape[k] == 'D' && shape[k + 1] == 'D') {
            if (groupAfter(k) == 3)
                return {};
            text += '.';
        }
    }
    // Digits that touch make one mark of the ink: the signs, and where they stand, are what count.
    const auto signs = [](std::string collapsed) {
        collapsed.erase(
            std::unique(collapsed.begin(), collapsed.end(), [](char a, char b) { return a == 'D' && b == 'D'; }),
            collapsed.end());
        return collapsed;
    };
    return signs(numberShapeOfText(text)) == signs(inkShape) ? text : std::string();
}

// Whether the engine's first reading of `placed`, a number read in that line, is `read`, another
// reading of it, with full stops that this one lost ("28" read again for "2.8"), each between two
// digits and held by the ink, however faint (see holdsFaintStop): a decimal point is never dropped
// silently.
bool keepsFaintStops(const QImage &gray, const QRect &line, const PlacedWord &placed, const std::string &read)
{
    const std::string first = firstReading(placed), shape = numberShapeOfText(first),
                      readShape = numberShapeOfText(read);
    if (shape.size() != placed.characters.size() || readShape.empty() || readShape.size() >= shape.size() ||
        digitsOf(first) != digitsOf(read))
        return false;
    // The shape read is the first one without some of its stops.
    std::string withoutStops;
    for (size_t k = 0, at = 0; k < shape.size(); ++k) {
        const bool kept = at < readShape.size() && readShape[at] == shape[k];
        at += kept;
        if (!kept && shape[k] != '.')
            return false;
        if (!kept &&
            (k == 0 || k + 1 == shape.size() || shape[k - 1] != 'D' || shape[k + 1] != 'D' ||
             !holdsFaintStop(gray, line, placed.characters[k].box)))
            return false;
        withoutStops += kept ? std::string(1, shape[k]) : std::string();
    }
    return withoutStops == readShape;
}

// `placed`, a number read in that line, with the colons and full stops its ink shows (see
// numberOfItsInk). The English reading of a number `withinAWord` changes its signs alone: the ink
// of the letters or signs beside such a number may join its digits (a kerned "0%"), and a reading
// of fewer digits would then fit the ink.
std::string signsOfItsInk(const QImage &gray, const QRect &line, const PlacedWord &placed,
                          const std::function<std::string(const QRect &)> &english, bool withinAWord = false)
{
    const RecognizedWord &word = placed.word;
    const std::string read = withColonsOfItsInk(gray, line, placed);
    if (keepsFaintStops(gray, line, placed, read))
        return firstReading(placed);
    std::vector<int> stopsOfInk;
    const std::string ink = numberShapeOfInk(gray, line, word.box, &stopsOfInk);
    const auto colons = [](const std::string &text) { return std::count(text.begin(), text.end(), ':'); };
    // The ink's colons are told surely, its other marks less so: an ink that has lost a colon
    // of the reading has two digits joined, or a colon's dots apart.
    if (ink.empty() || numberShapeOfText(read) == ink || colons(ink) < colons(read))
        return read;
    if (const std::string stops = withStopsOfItsInk(placed, ink, line.height()); !stops.empty() && read == word.text)
        return stops;
    if (const std::string stops = withStopsPutIn(placed, stopsOfInk, ink); !stops.empty() && read == word.text)
        return stops;
    // The engine's first reading, whose characters the word keeps, may hold the signs that the
    // reading of another model has lost ("2.4" read again as "24").
    if (const std::string first = firstReading(placed);
        numberShapeOfText(first) == ink && digitsOf(first) == digitsOf(read))
        return first;
    // No number sets two signs side by side ("192.168.0,.24"): such a shape is a stray mark's.
    if (std::adjacent_find(ink.begin(), ink.end(), [](char a, char b) { return a != 'D' && b != 'D'; }) != ink.end())
        return read;
    const std::string other = english(word.box);
    if (numberShapeOfText(other) == ink && colons(other) == colons(read) &&
        (withinAWord ? digitsOf(other) == digitsOf(read) : nearInDigits(other, read)) &&
        digitsOf(other).size() >= leastDigitsOfInk(gray, line, word.box))
        return other;
    // Where the ink shows a sign between the digits, though less clearly, the English reading may
    // put in the sign alone.
    const std::string readShape = numberShapeOfText(read), otherShape = numberShapeOfText(other);
    const bool signsAdded = readShape.find_first_not_of('D') == std::string::npos && !otherShape.empty() &&
        otherShape.size() > readShape.size() && digitsOf(other) == digitsOf(read);
    return signsAdded && ink.find_first_not_of('D') != std::string::npos ? other : read;
}

// The number within `placed`, a word whose characters make up its text: the run of its characters
// from the first digit on that are digits or signs between digits, boxed within its neighbours;
// nothing when the word is that run alone or holds no two digits.
std::optional<std::pair<size_t, PlacedWord>> numberWithin(const PlacedWord &placed)
{
    const std::vector<RecognizedWord> &characters = placed.characters;
    const auto first =
        std::find_if(characters.begin(), characters.end(), [](const RecognizedWord &c) { return isDigit(c.text); });
    if (firstReading(placed) != placed.word.text || first == characters.end())
        return std::nullopt;
    const size_t from = size_t(first - characters.begin());
    size_t to = from;
    for (size_t k = from; k < characters.size() && !numberShapeOfText(characters[k].text).empty(); ++k)
        to = isDigit(characters[k].text) ? k : to;
    PlacedWord number;
    for (size_t k = from; k <= to; ++k) {
        number.characters.push_back(characters[k]);
        number.word.text += characters[k].text;
        number.word.box |= characters[k].box;
    }
    if ((from == 0 && to + 1 == characters.size()) || digitsOf(number.word.text).size() < 2)
        return std::nullopt;
    if (from > 0)
        number.word.box.setLeft(std::max(number.word.box.left(), characters[from - 1].box.right() + 1));
    if (to + 1 < characters.size())
        number.word.box.setRight(std::min(number.word.box.right(), characters[to + 1].box.left() - 1));
    number.word.confidence = placed.word.confidence;
    number.length = number.word.text.size();
    return number.word.box.isEmpty() ? std::nullopt : std::optional(std::pair(from, std::move(number)));
}

} // namespace

int endBeforeGlyphBeyond(const QImage &gray, const QRect &line, const QRect &box)
{
    const QRect rows = line.intersected(gray.rect());
    const auto inked = [&](int x) {
        for (int y = rows.top(); y <= rows.bottom(); ++y)
            if (gray.constScanLine(y)[x] < darkest)
                return true;
        return false;
    };
    if (rows.isEmpty() || box.isEmpty() || box.right() + 1 >= gray.width() || !inked(box.right()))
        return -1;
    int left = box.right(), right = box.right();
    while (left > box.left() && inked(left - 1))
        --left;
    while (right + 1 < gray.width() && inked(right + 1))
        ++right;
    return left > box.left() && right - box.right() > box.right() - left + 1 ? left - 1 : -1;
}

std::string withCountersOfItsInk(const QImage &gray, const QRect &line, const PlacedWord &placed,
                                 const std::function<std::string()> &korean)
{
    const std::string joinedCharacters = firstReading(placed);
    const std::vector<bool> taller = joinedCharacters == placed.word.text && holdsDigit(joinedCharacters)
        ? tallerThanItsDigits(gray, line, placed)
        : std::vector<bool>();
    if (taller.empty())
        return withCounterOfItsGlyphs(gray, line, placed, korean);
    const std::string reading = korean();
    return holdsSyllablesAlone(reading) && dropsOnlyTaller(placed, taller, digitsOf(reading))
        ? reading
        : withCounterOfItsGlyphs(gray, line, placed, korean);
}

size_t marksOfInk(const QImage &gray, const QRect &line, const QRect &box)
{
    return line.isEmpty() || box.isEmpty() ? 0 : marksWithin(gray, line, box);
}

bool inkOutnumbersItsText(const QImage &gray, const QRect &line, const RecognizedWord &word, size_t extra)
{
    const QString text = QString::fromStdString(word.text).remove(u' ');
    if (text.isEmpty())
        return false;
    const size_t expected = size_t(text.toUcs4().size() + text.count(u':'));
    return marksOfInk(gray, line, word.box) >= expected + extra && fillsTheLine(gray, line, word.box);
}

std::string withStopsOfItsInk(const PlacedWord &placed, const std::string &inkShape, int lineHeight)
{
    const std::string shape = numberShapeOfText(placed.word.text);
    if (shape.size() != inkShape.size() || placed.characters.size() != shape.size())
        return {};
    std::string text = placed.word.text;
    for (size_t i = 0; i < shape.size(); ++i) {
        if (shape[i] == inkShape[i])
            continue;
        const bool narrow = placed.characters[i].box.width() < narrowestMark * lineHeight;
        if (shape[i] != 'D' || inkShape[i] != '.' || !narrow || placed.characters[i].text != text.substr(i, 1))
            return {};
        text[i] = '.';
    }
    return text;
}

std::string numberOfItsInk(const QImage &gray, const QRect &line, const PlacedWord &placed,
                           const std::function<std::string()> &korean,
                           const std::function<std::string(const QRect &)> &english, const PlacedWord &numberBefore)
{
    const RecognizedWord &word = placed.word;
    if (isNumber(word.text)) {
        if (inkOutnumbersItsText(gray, line, word))
            if (const std::string reading = korean(); readsAsKorean(reading) && !holdsDigit(reading))
                return reading;
        // The English model reads the letters whose ink is no digits' as letters, as many; after a
        // number none of them is a capital, as high as its digits ("OZ" for "oz").
        if (smallLettersReadAsDigits(gray, line, placed))
            if (const std::string reading = english(word.box);
                isLatinLetters(reading) && reading.size() == placed.characters.size())
                return reading;
        if (smallLettersAfterNumber(gray, line, placed, numberBefore))
            if (const std::string reading = english(word.box);
                isLatinLetters(reading) && reading.size() == placed.characters.size())
                return QString::fromStdString(reading).toLower().toStdString();
        return signsOfItsInk(gray, line, placed, english);
    }
    // A number set close to a unit or a word ("24GHz", "231동기화") is told by its own ink.
    const auto within = numberWithin(placed);
    if (!within)
        return word.text;
    const auto &[from, number] = *within;
    std::string text;
    for (size_t k = 0; k < from; ++k)
        text += placed.characters[k].text;
    text += signsOfItsInk(gray, line, number, english, true);
    for (size_t k = from + number.characters.size(); k < placed.characters.size(); ++k)
        text += placed.characters[k].text;
    return text;
}

} // namespace tarn
