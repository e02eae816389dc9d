// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text/NumberColons.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "core/text/ConnectedPixels.h"

namespace tarn {

namespace {

constexpr int darkest = 128;           // pixels below this level are ink: fainter ones join a colon to its digits
constexpr int faintest = 192;          // pixels below this level are ink where a faint full stop is looked for
constexpr double dotShare = 0.25;      // a dot is at most this share of the line's height either way
constexpr double digitShare = 0.4;     // a digit is at least this share of it high
constexpr double baseShare = 0.15;     // a full stop ends this close to the digits' baseline
constexpr double colonTop = 0.1;       // a colon's upper dot lies this share of the digits' height below their top,
constexpr double colonLow = 0.25;      // its lower one ends within this share of it above their baseline
constexpr double narrowestDigit = 0.3; // a digit is boxed at least this share of the line's height wide
constexpr double widestDigit = 0.9;    // and its ink is at most this share of its height wide
constexpr double stopDepth = 0.1;      // a full stop ends at most this share of the digits' height below their
                                       // baseline, where a comma's tail reaches further
constexpr int smallestStop = 2;        // pixels a full stop is wide and high at the least
constexpr double sharedColumns = 0.5;  // pieces of one digit share this share of the narrower one's columns,
constexpr double sharedRows = 0.25;    // and at most this share of the lower one's rows
constexpr int largestSpeck = 2;        // pixels of a mark too small to be drawn, the remains of an edge
constexpr int stopGap = 2;             // a full stop stands further than this from the digits on either side, where
                                       // a piece of a digit broken off touches it

// The shape of a number as a string: 'D' for a digit, ':' for a colon, '.' for a full stop or a
// comma (any other dot); empty when it holds anything else.
std::string shapeOfText(const std::string &text)
{
    std::string shape;
    for (const char c : text) {
        if (c >= '0' && c <= '9')
            shape += 'D';
        else if (c == ':')
            shape += ':';
        else if (c == '.' || c == ',')
            shape += '.';
        else
            return {};
    }
    return shape;
}

// The marks with the pieces of a digit that a faint stroke breaks (the waist of a small "3") joined:
// marks larger than a dot set one above the other, most of the narrower one's columns shared, as no
// two digits are; and without the specks of a pixel or two that the edges of enlarged digits leave
// (inside a curve of a "2").
std::vector<QRect> withDigitsWhole(std::vector<QRect> marks, int lineHeight)
{
    std::erase_if(marks, [](const QRect &m) { return m.width() * m.height() <= largestSpeck; });
    const auto piece = [&](const QRect &m) {
        return m.width() > dotShare * lineHeight || m.height() > dotShare * lineHeight;
    };
    const auto stacked = [](const QRect &a, const QRect &b) {
        const int columns = std::min(a.right(), b.right()) - std::max(a.left(), b.left()) + 1,
                  rows = std::min(a.bottom(), b.bottom()) - std::max(a.top(), b.top()) + 1;
        return columns >= sharedColumns * std::min(a.width(), b.width()) &&
            rows <= sharedRows * std::min(a.height(), b.height());
    };
    for (size_t i = 0; i < marks.size(); ++i)
        for (size_t j = i + 1; j < marks.size() && piece(marks[i]); ++j)
            if (piece(marks[j]) && stacked(marks[i], marks[j])) {
                marks[i] |= marks[j];
                marks.erase(marks.begin() + std::ptrdiff_t(j));
                j = i;
            }
    return marks;
}

// The shape of the marks (as shapeOfText; see withDigitsWhole): two dots one above the other, the
// lower one low beside the digits, make a colon (its middle column in `colons`); a dot between two
// digits that sits on their baseline and reaches no lower, apart from both, is a full stop (its
// middle column in `stops`). Empty when a mark is neither a digit nor a dot.
std::string shapeOfInk(const std::vector<QRect> &marks, int lineHeight, std::vector<int> &colons,
                       std::vector<int> *stops = nullptr)
{
    const auto isDigit = [&](const QRect &m) { return m.height() >= digitShare * lineHeight; };
    const auto isDot = [&](const QRect &m) {
        return m.width() <= dotShare * lineHeight && m.height() <= dotShare * lineHeight;
    };
    QRect digits;
    for (const QRect &m : marks)
        digits |= isDigit(m) ? m : QRect();
    // Between two digits, two dots set one above the other, a dot's height apart or more, the upper
    // one below the digits' top (a per cent sign's upper ring sits at it), the lower one low beside
    // them: on their baseline, or a little above it as some fonts set it.
    // Its dots are round, and it stands apart from the digits on either side, in columns of its own:
    // the flat pieces of a digit that a faint stroke breaks lie in the digit's columns.
    const auto round = [](const QRect &m) { return m.width() <= 2 * m.height() && m.height() <= 2 * m.width(); };
    const auto apart = [](const QRect &before, const QRect &colon, const QRect &after) {
        return before.right() < colon.left() && colon.right() < after.left();
    };
    const auto isColon = [&](const QRect &a, const QRect &b) {
        const QRect &upper = a.top() < b.top() ? a : b, &lower = a.top() < b.top() ? b : a;
        return isDot(a) && isDot(b) && round(a) && round(b) &&
            std::abs(a.center().x() - b.center().x()) * 2 <= std::max(a.width(), b.width()) &&
            lower.top() - upper.bottom() > std::min(a.height(), b.height()) &&
            upper.top() >= digits.top() + colonTop * digits.height() &&
            lower.bottom() >= digits.bottom() - colonLow * digits.height();
    };
    // A comma's tail reaches below the baseline; a piece broken off a digit touches it.
    const auto isStop = [&](size_t i) {
        const QRect &dot = marks[i];
        return i > 0 && i + 1 < marks.size() && isDigit(marks[i - 1]) && isDigit(marks[i + 1]) &&
            dot.left() - marks[i - 1].right() > stopGap && marks[i + 1].left() - dot.right() > stopGap &&
            dot.top() > digits.center().y() && dot.bottom() >= digits.bottom() - baseShare * lineHeight &&
            dot.bottom() <= digits.bottom() + stopDepth * digits.height() && dot.width() >= smallestStop &&
            dot.height() >= smallestStop;
    };
    std::string shape;
    for (size_t i = 0; i < marks.size(); ++i) {
        if (isDigit(marks[i])) {
            shape += 'D';
        } else if (!isDot(marks[i])) {
            return {};
        } else if (shape.ends_with('D') && i + 2 < marks.size() && isColon(marks[i], marks[i + 1]) &&
                   isDigit(marks[i + 2]) && apart(marks[i - 1], marks[i] | marks[i + 1], marks[i + 2])) {
            shape += ':';
            colons.push_back((marks[i].center().x() + marks[i + 1].center().x()) / 2);
            ++i;
        } else {
            if (stops && isStop(i))
                stops->push_back(marks[i].center().x());
            shape += '.';
        }
    }
    return digits.isEmpty() ? std::string() : shape;
}

// The text with a colon at each of `colons`, as the engine boxed its characters: for a character
// boxed narrower than a digit around it, else put in between the two characters on either side of
// it, where the text has none. Empty when a colon falls outside them.
std::string withColonsBetween(const PlacedWord &placed, const std::vector<int> &colons, int lineHeight)
{
    const std::vector<RecognizedWord> &characters = placed.characters;
    std::vector<std::string> read;
    for (const RecognizedWord &c : characters) {
        const bool standsFor = std::any_of(colons.begin(), colons.end(), [&](int x) {
            return x >= c.box.left() && x <= c.box.right() && c.box.width() < narrowestDigit * lineHeight;
        });
        read.push_back(standsFor ? std::string(":") : c.text);
    }
    std::string text;
    size_t next = 0;
    for (size_t k = 0; k < characters.size(); ++k) {
        text += read[k];
        while (next < colons.size() && colons[next] < characters[k].box.center().x())
            ++next;
        if (k + 1 < characters.size() && next < colons.size() && colons[next] < characters[k + 1].box.center().x() &&
            read[k] != ":" && read[k + 1] != ":")
            text += ':';
    }
    return colons.front() < characters.front().box.center().x() || colons.back() > characters.back().box.center().x()
        ? std::string()
        : text;
}

// The connected marks of pixels darker than `level` in the columns of `word`, each as its bounding
// box, left to right; a mark is followed past those columns, within the line's rows.
std::vector<QRect> marksAround(const QImage &gray, const QRect &line, const QRect &word, int level)
{
    const QRect area = QRect(word.left() - line.height(), line.top(), word.width() + 2 * line.height(), line.height())
                           .intersected(gray.rect());
    std::vector<QRect> marks;
    std::vector<uint8_t> seen(size_t(area.width()) * area.height(), 0);
    const auto take = [&](QPoint p) {
        if (!area.contains(p) || gray.constScanLine(p.y())[p.x()] >= level)
            return false;
        uint8_t &mark = seen[size_t(p.y() - area.top()) * area.width() + (p.x() - area.left())];
        return !mark && (mark = 1);
    };
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = std::max(area.left(), word.left()); x <= std::min(area.right(), word.right()); ++x) {
            if (!take(QPoint(x, y)))
                continue;
            QRect box;
            for (const QPoint &p :
                 connectedPixels(QPoint(x, y), [&](QPoint q) { return q == QPoint(x, y) || take(q); }))
                box |= QRect(p, QSize(1, 1));
            marks.push_back(box);
        }
    std::sort(marks.begin(), marks.end(),
              [](const QRect &a, const QRect &b) { return a.center().x() < b.center().x(); });
    return marks;
}

} // namespace

std::vector<QRect> inkMarksAround(const QImage &gray, const QRect &line, const QRect &word)
{
    return marksAround(gray, line, word, darkest);
}

std::string numberShapeOfText(const std::string &text) { return shapeOfText(text); }

std::string numberShapeOfInk(const QImage &gray, const QRect &line, const QRect &box, std::vector<int> *stops)
{
    std::vector<int> colons;
    return line.isEmpty() || box.isEmpty()
        ? std::string()
        : shapeOfInk(withDigitsWhole(inkMarksAround(gray, line, box), line.height()), line.height(), colons, stops);
}

bool holdsFaintStop(const QImage &gray, const QRect &line, const QRect &stop)
{
    if (line.isEmpty() || stop.isEmpty())
        return false;
    // The digits on either side are followed from within half a line's height of it.
    const int reach = line.height() / 2;
    const std::vector<QRect> marks = marksAround(gray, line, stop.adjusted(-reach, 0, reach, 0), faintest);
    const auto isDigit = [&](const QRect &m) { return m.height() >= digitShare * line.height(); };
    QRect digits;
    for (const QRect &m : marks)
        digits |= isDigit(m) ? m : QRect();
    const auto isStop = [&](const QRect &dot) {
        return !isDigit(dot) && dot.center().x() >= stop.left() - 1 && dot.center().x() <= stop.right() + 1 &&
            dot.width() <= dotShare * line.height() && dot.height() <= dotShare * line.height() &&
            dot.width() >= smallestStop && dot.height() >= smallestStop && dot.top() > digits.center().y() &&
            dot.bottom() >= digits.bottom() - baseShare * line.height() &&
            dot.center().y() <= digits.bottom() + stopDepth * digits.height();
    };
    // Apart from the digits before and after it: none of them reaches into its columns.
    const auto between = [&](const QRect &dot) {
        bool before = false, after = false;
        for (const QRect &m : marks) {
            if (!isDigit(m))
                continue;
            if (m.right() >= dot.left() && m.left() <= dot.right())
                return false;
            before = before || m.right() < dot.left();
            after = after || m.left() > dot.right();
        }
        return before && after;
    };
    return std::any_of(marks.begin(), marks.end(), [&](const QRect &dot) { return isStop(dot) && between(dot); });
}

size_t leastDigitsOfInk(const QImage &gray, const QRect &line, const QRect &box)
{
    if (line.isEmpty() || box.isEmpty())
        return 0;
    size_t digits = 0;
    for (const QRect &m : withDigitsWhole(inkMarksAround(gray, line, box), line.height()))
        if (m.height() >= digitShare * line.height())
            digits += size_t(std::max(1.0, std::ceil(m.width() / (widestDigit * m.height()))));
    return digits;
}

std::string withColonsOfItsInk(const QImage &gray, const QRect &line, const PlacedWord &placed)
{
    const RecognizedWord &word = placed.word;
    const std::string text = shapeOfText(word.text);
    if (std::count(text.begin(), text.end(), 'D') < 2 || line.isEmpty() || word.box.isEmpty())
        return word.text;
    std::vector<int> colons;
    const std::vector<QRect> marks = withDigitsWhole(inkMarksAround(gray, line, word.box), line.height());
    const std::string ink = shapeOfInk(marks, line.height(), colons);
    if (ink == text || colons.empty())
        return word.text;
    // A dot before or after the digits (a piece of one, or a full stop that ends the sentence) has no
    // part in where the colons go.
    const std::string signs = ink.substr(0, ink.find_last_of('D') + 1).substr(std::min(ink.find('D'), ink.size()));
    // A colon read as a digit: boxed as narrow as a colon, or standing where the ink has its colon
    // while each of the other marks is one digit (none as wide as two that touch), so that the
    // text's characters and the ink's marks go one to one.
    if (signs.size() == text.size()) {
        const bool digitsApart = std::none_of(marks.begin(), marks.end(), [&](const QRect &m) {
            return m.height() >= digitShare * line.height() && m.width() > widestDigit * m.height();
        });
        std::string replaced = word.text;
        const bool boxed = placed.characters.size() == text.size();
        for (size_t i = 0; i < signs.size(); ++i) {
            const bool narrow =
                !boxed || digitsApart || placed.characters[i].box.width() < narrowestDigit * line.height();
            if (signs[i] == ':' && text[i] == 'D' && narrow)
                replaced[i] = ':';
            else if (signs[i] != text[i])
                return word.text;
        }
        return replaced;
    }
    std::string joined;
    for (const RecognizedWord &c : placed.characters)
        joined += c.text;
    if (joined != word.text)
        return word.text;
    const std::string between = withColonsBetween(placed, colons, line.height());
    return between.empty() ? word.text : between;
}

} // namespace tarn
