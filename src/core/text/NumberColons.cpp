// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text/NumberColons.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "core/text/ConnectedPixels.h"

namespace tarn {

namespace {

constexpr int darkest = 128;           // pixels below this level are ink: fainter ones join a colon to its digits
constexpr double dotShare = 0.25;      // a dot is at most this share of the line's height either way
constexpr double digitShare = 0.4;     // a digit is at least this share of it high
constexpr double baseShare = 0.15;     // a colon's lower dot ends this close to the digits' baseline
constexpr double colonTop = 0.25;      // a colon's upper dot lies this share of the digits' height below their top
constexpr double narrowestDigit = 0.3; // a digit is boxed at least this share of the line's height wide

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

// The shape of the marks (as shapeOfText): two dots one above the other, the lower one on the
// digits' baseline, make a colon (its middle column in `colons`). Empty when a mark is neither a
// digit nor a dot.
std::string shapeOfInk(const std::vector<QRect> &marks, int lineHeight, std::vector<int> &colons)
{
    const auto isDigit = [&](const QRect &m) { return m.height() >= digitShare * lineHeight; };
    const auto isDot = [&](const QRect &m) {
        return m.width() <= dotShare * lineHeight && m.height() <= dotShare * lineHeight;
    };
    QRect digits;
    for (const QRect &m : marks)
        digits |= isDigit(m) ? m : QRect();
    // Between two digits, two dots set one above the other, a dot's height apart or more, the upper one in the lower
    // three quarters of the digits' height (a per cent sign's upper ring sits at their top), the
    // lower one on their baseline.
    const auto isColon = [&](const QRect &a, const QRect &b) {
        const QRect &upper = a.top() < b.top() ? a : b, &lower = a.top() < b.top() ? b : a;
        return isDot(a) && isDot(b) &&
            std::abs(a.center().x() - b.center().x()) * 2 <= std::max(a.width(), b.width()) &&
            lower.top() - upper.bottom() > std::min(a.height(), b.height()) &&
            upper.top() >= digits.top() + colonTop * digits.height() &&
            lower.bottom() >= digits.bottom() - baseShare * lineHeight;
    };
    std::string shape;
    for (size_t i = 0; i < marks.size(); ++i) {
        if (isDigit(marks[i])) {
            shape += 'D';
        } else if (!isDot(marks[i])) {
            return {};
        } else if (shape.ends_with('D') && i + 2 < marks.size() && isColon(marks[i], marks[i + 1]) &&
                   isDigit(marks[i + 2])) {
            shape += ':';
            colons.push_back((marks[i].center().x() + marks[i + 1].center().x()) / 2);
            ++i;
        } else {
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

} // namespace

// The connected marks of ink in the columns of `word`, each as its bounding box, left to right; a
// mark is followed past those columns (the engine's box may cut a digit), within the line's rows.
std::vector<QRect> inkMarksAround(const QImage &gray, const QRect &line, const QRect &word)
{
    const QRect area = QRect(word.left() - line.height(), line.top(), word.width() + 2 * line.height(), line.height())
                           .intersected(gray.rect());
    std::vector<QRect> marks;
    std::vector<uint8_t> seen(size_t(area.width()) * area.height(), 0);
    const auto take = [&](QPoint p) {
        if (!area.contains(p) || gray.constScanLine(p.y())[p.x()] >= darkest)
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

std::string numberShapeOfText(const std::string &text) { return shapeOfText(text); }

std::string numberShapeOfInk(const QImage &gray, const QRect &line, const QRect &box)
{
    std::vector<int> colons;
    return line.isEmpty() || box.isEmpty() ? std::string()
                                           : shapeOfInk(inkMarksAround(gray, line, box), line.height(), colons);
}

std::string withColonsOfItsInk(const QImage &gray, const QRect &line, const PlacedWord &placed)
{
    const RecognizedWord &word = placed.word;
    const std::string text = shapeOfText(word.text);
    if (std::count(text.begin(), text.end(), 'D') < 2 || line.isEmpty() || word.box.isEmpty())
        return word.text;
    std::vector<int> colons;
    const std::string ink = shapeOfInk(inkMarksAround(gray, line, word.box), line.height(), colons);
    if (ink == text || colons.empty())
        return word.text;
    if (ink.size() == text.size()) { // a colon read as a digit, boxed as narrow as a colon
        std::string replaced = word.text;
        const bool boxed = placed.characters.size() == text.size();
        for (size_t i = 0; i < ink.size(); ++i) {
            const bool narrow = !boxed || placed.characters[i].box.width() < narrowestDigit * line.height();
            if (ink[i] == ':' && text[i] == 'D' && narrow)
                replaced[i] = ':';
            else if (ink[i] != text[i])
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
