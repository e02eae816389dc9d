// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text/NumberSigns.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include <QString>

#include "core/text/ConnectedPixels.h"
#include "core/text/HangulWords.h"

namespace tarn {

namespace {

// Pixels darker than half way from the word's darkest pixel to white are ink: fainter ones join
// neighbouring glyphs, and thin strokes of a light font are not much darker.
thread_local int darkest = 128;

// A won sign is about as high as the digits and wider than a digit; its arms reach the edges of
// its top rows, its feet stay this share of its width in from them, its bar spans this much of it.
constexpr double signLow = 0.8, signHigh = 1.35, wonWidest = 0.65, wonTouching = 1.6, armsAt = 0.15, feetIn = 0.1,
                 barSpan = 0.8;
constexpr double bandShare = 0.15; // the top or bottom rows of a glyph looked at for arms and feet
constexpr double slantIn = 0.05;   // its left foot lies this share of its height right of its left arm's top
constexpr double armsShare = 0.25; // the top rows looked at for a won sign's arms (one may start lower)
// A ring of a per cent sign is at most this share of the sign's height and width, and at least the
// smaller share of its height: a speck of a faint stroke is none.
constexpr double ringShare = 0.62, smallestRing = 0.25;
// A per cent sign is at most this share of the digits' height wide, its holes at most this share
// of its height high.
constexpr double ringWidest = 1.3, holeShare = 0.5;
// A "v" is this share of the digits' height (its top well below theirs), on their baseline.
constexpr double letterLow = 0.4, letterHigh = 0.85, baseSlack = 0.12;
// The stem of an "i" begins at least this share of the digits' height below their top.
constexpr double stemBelow = 0.2;
// A full stop or a comma is at most this share of the digits' height; a comma reaches this far
// below their baseline.
constexpr double stopHigh = 0.4, commaDepth = 0.12;
// A comma is this much higher than wide, a full stop about as high as wide (in some fonts it
// sits a little below the digits).
constexpr double commaShape = 1.6;
// A digit is at least this share of the digits' height wide (a "1" too), all but a "1" at least
// the usual share, and none wider than the widest.
constexpr double narrowestDigit = 0.25, usualDigit = 0.5, widestDigit = 0.85;
// A number sign stands between these shares of the digits' height high (in some fonts it is smaller
// than a digit, never taller as Hangul is); a bar of it spans this share of its width.
constexpr double hashLow = 0.6, hashHigh = 1.1, hashBar = 0.7;

// Ink between empty columns of the line's rows, and the characters whose middles lie there.
struct Glyph {
    QRect ink;
    std::vector<size_t> characters;
};

bool isInk(const QImage &gray, int x, int y) { return gray.constScanLine(y)[x] < darkest; }

int halfWayToWhite(const QImage &gray, const QRect &area)
{
    int least = 255;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            least = std::min<int>(least, gray.constScanLine(y)[x]);
    return (least + 255 + 1) / 2;
}

bool columnHasInk(const QImage &gray, int x, const QRect &rows)
{
    for (int y = rows.top(); y <= rows.bottom(); ++y)
        if (isInk(gray, x, y))
            return true;
    return false;
}

QRect inkOf(const QImage &gray, const QRect &area)
{
    QRect ink;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (isInk(gray, x, y))
                ink |= QRect(x, y, 1, 1);
    return ink;
}

// The glyphs that reach into the word's columns, left to right; a glyph is followed past them.
std::vector<Glyph> glyphsOf(const QImage &gray, const QRect &rows, const PlacedWord &placed)
{
    const QRect &word = placed.word.box;
    const int reach = rows.height();
    std::vector<Glyph> glyphs;
    for (int x = std::max(rows.left(), word.left() - reach), end = std::min(rows.right(), word.right() + reach);
         x <= end; ++x) {
        if (!columnHasInk(gray, x, rows))
            continue;
        const int left = x;
        while (x + 1 <= end && columnHasInk(gray, x + 1, rows))
            ++x;
        if (x >= word.left() && left <= word.right())
            glyphs.push_back({inkOf(gray, QRect(left, rows.top(), x - left + 1, rows.height())), {}});
    }
    for (size_t k = 0; k < placed.characters.size(); ++k) {
        const int middle = placed.characters[k].box.center().x();
        for (Glyph &glyph : glyphs)
            if (middle >= glyph.ink.left() && middle <= glyph.ink.right())
                glyph.characters.push_back(k);
    }
    return glyphs;
}

bool isDigits(const std::string &text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Columns of the glyph that hold ink in any of rows [top, bottom], as runs: their count, the first
// and the last inked column.
struct Runs {
    int count = 0, first = -1, last = -1;
};

Runs runsIn(const QImage &gray, const QRect &ink, int top, int bottom)
{
    Runs runs;
    bool inRun = false;
    for (int x = ink.left(); x <= ink.right(); ++x) {
        bool inked = false;
        for (int y = std::max(top, ink.top()); y <= std::min(bottom, ink.bottom()) && !inked; ++y)
            inked = isInk(gray, x, y);
        if (inked && !inRun) {
            ++runs.count;
            runs.first = runs.first < 0 ? x : runs.first;
        }
        runs.last = inked ? x : runs.last;
        inRun = inked;
    }
    return runs;
}

bool aboutDigitHigh(const QRect &ink, const QRect &digits)
{
    return ink.height() >= signLow * digits.height() && ink.height() <= signHigh * digits.height();
}

// Whether the glyph is a W as high as the digits: its arms at the edges of its top, two feet apart
// from its edges below. A sign cut from the digit it `touches` may keep the start of that digit's
// stroke at its right edge, where its right foot then seems to reach.
bool isWShaped(const QImage &gray, const QRect &ink, const QRect &digits, bool touches = false)
{
    const int h = ink.height(), w = ink.width(), band = std::max(1, int(bandShare * h)),
              arms = std::max(1, int(armsShare * h));
    if (!aboutDigitHigh(ink, digits) || w < wonWidest * h)
        return false;
    // Its arms reach the edges near its top (one may start lower); a "#" has no ink at the edges
    // of its top rows, only its bars reach them further down.
    const Runs top = runsIn(gray, ink, ink.top(), ink.top() + arms - 1);
    const Runs topmost = runsIn(gray, ink, ink.top(), ink.top() + band - 1);
    if (topmost.first > ink.left() + armsAt * w && topmost.last < ink.right() - armsAt * w)
        return false;
    // Its left arm slants in towards its foot, where the strokes of a "#" stand upright or lean the
    // other way (the bars of an upright one may reach out little beyond them, a slanted one's right
    // stroke may reach the top right edge).
    const Runs feet = runsIn(gray, ink, ink.bottom() - band + 1, ink.bottom());
    return top.first <= ink.left() + armsAt * w && top.last >= ink.right() - armsAt * w && feet.count >= 2 &&
        feet.first >= ink.left() + feetIn * w && (touches || feet.last <= ink.right() - feetIn * w) &&
        feet.first >= topmost.first + slantIn * h;
}

// Whether the glyph has a bar across it: a row in its middle three fifths inked over most of its
// width.
bool hasBar(const QImage &gray, const QRect &ink)
{
    const int h = ink.height(), w = ink.width();
    for (int y = ink.top() + h / 5; y <= ink.bottom() - h / 5; ++y) {
        int inked = 0;
        for (int x = ink.left(); x <= ink.right(); ++x)
            inked += isInk(gray, x, y);
        if (inked >= barSpan * w)
            return true;
    }
    return false;
}

// A won sign is a W crossed by a bar.
bool isWonSign(const QImage &gray, const QRect &ink, const QRect &digits, bool touches = false)
{
    return isWShaped(gray, ink, digits, touches) && hasBar(gray, ink);
}

// The connected marks of ink in the glyph's box, each as its bounding box.
std::vector<QRect> marksIn(const QImage &gray, const QRect &ink)
{
    std::vector<QRect> marks;
    std::vector<uint8_t> seen(size_t(ink.width()) * ink.height(), 0);
    const auto take = [&](QPoint p) {
        if (!ink.contains(p) || !isInk(gray, p.x(), p.y()))
            return false;
        uint8_t &mark = seen[size_t(p.y() - ink.top()) * ink.width() + (p.x() - ink.left())];
        return !mark && (mark = 1);
    };
    for (int y = ink.top(); y <= ink.bottom(); ++y)
        for (int x = ink.left(); x <= ink.right(); ++x) {
            if (!take(QPoint(x, y)))
                continue;
            QRect box;
            for (const QPoint &p :
                 connectedPixels(QPoint(x, y), [&](QPoint q) { return q == QPoint(x, y) || take(q); }))
                box |= QRect(p, QSize(1, 1));
            marks.push_back(box);
        }
    return marks;
}

// The holes of the glyph: the parts of its box without ink that no path without ink joins to its
// edges, each as its bounding box. A ring's thin side is faint: with `faintSides` any pixel darker
// than the rest of the way to white is ink; a small ring's hole is no lighter than that.
std::vector<QRect> holesIn(const QImage &gray, const QRect &ink, bool faintSides = true)
{
    const int level = darkest;
    darkest = faintSides ? (darkest + 255 + 1) / 2 : darkest;
    const QRect area = ink.adjusted(-1, -1, 1, 1);
    std::vector<uint8_t> seen(size_t(area.width()) * area.height(), 0);
    const auto take = [&](QPoint p) {
        if (!area.contains(p) || (ink.contains(p) && isInk(gray, p.x(), p.y())))
            return false;
        uint8_t &mark = seen[size_t(p.y() - area.top()) * area.width() + (p.x() - area.left())];
        return !mark && (mark = 1);
    };
    // Four-connected, so that the gap between two diagonal pixels of a stroke lets nothing through.
    const auto fill = [&](QPoint start) {
        QRect box;
        std::vector<QPoint> stack{start};
        while (!stack.empty()) {
            const QPoint p = stack.back();
            stack.pop_back();
            box |= QRect(p, QSize(1, 1));
            for (const QPoint q : {p + QPoint(1, 0), p - QPoint(1, 0), p + QPoint(0, 1), p - QPoint(0, 1)})
                if (take(q))
                    stack.push_back(q);
        }
        return box;
    };
    take(area.topLeft());
    fill(area.topLeft());
    std::vector<QRect> holes;
    for (int y = ink.top(); y <= ink.bottom(); ++y)
        for (int x = ink.left(); x <= ink.right(); ++x)
            if (take(QPoint(x, y)))
                if (const QRect hole = fill(QPoint(x, y)); hole.width() > 1 && hole.height() > 1)
                    holes.push_back(hole);
    darkest = level;
    return holes;
}

// A per cent sign whose stroke touches its rings: one glyph no wider than the digits are high,
// with a small hole high on the left and another low on the right (an "8" has its holes one
// above the other, "96" takes two digits' width).
bool hasPercentHoles(const QImage &gray, const QRect &ink, const QRect &digits)
{
    if (ink.width() > ringWidest * digits.height())
        return false;
    const int side = ink.width() / 10;
    const auto small = [&](const QRect &h) { return h.height() <= holeShare * ink.height(); };
    const auto percentHoles = [&](const std::vector<QRect> &holes) {
        const bool upper = std::any_of(holes.begin(), holes.end(), [&](const QRect &h) {
            return small(h) && h.center().y() < ink.center().y() && h.center().x() < ink.center().x() - side;
        });
        const bool lower = std::any_of(holes.begin(), holes.end(), [&](const QRect &h) {
            return small(h) && h.center().y() > ink.center().y() && h.center().x() > ink.center().x() + side;
        });
        // Nor are two of them set one above the other, as an 8's beside a 4 kerned into it are.
        const bool stacked = std::any_of(holes.begin(), holes.end(), [&](const QRect &a) {
            return std::any_of(holes.begin(), holes.end(), [&](const QRect &b) {
                const int shared = std::min(a.right(), b.right()) - std::max(a.left(), b.left()) + 1;
                return a.bottom() < b.top() && 2 * shared > std::min(a.width(), b.width());
            });
        });
        return upper && lower && !stacked;
    };
    // At 11 px the faint sides fill a small ring's hole: it shows at the plain level of ink.
    return percentHoles(holesIn(gray, ink)) || percentHoles(holesIn(gray, ink, false));
}

bool isPercentSign(const QImage &gray, const QRect &ink, const QRect &digits)
{
    if (!aboutDigitHigh(ink, digits))
        return false;
    if (hasPercentHoles(gray, ink, digits))
        return true;
    const std::vector<QRect> marks = marksIn(gray, ink);
    const auto ring = [&](const QRect &m) {
        return m.height() <= ringShare * ink.height() && m.width() <= ringShare * ink.width() &&
            m.height() >= std::max(2.0, smallestRing * ink.height());
    };
    const bool upper = std::any_of(marks.begin(), marks.end(), [&](const QRect &m) {
        return ring(m) && m.bottom() <= ink.top() + ringShare * ink.height() && m.center().x() < ink.center().x();
    });
    const bool lower = std::any_of(marks.begin(), marks.end(), [&](const QRect &m) {
        return ring(m) && m.top() >= ink.bottom() - ringShare * ink.height() && m.center().x() > ink.center().x();
    });
    return upper && lower;
}

bool isLetterV(const QImage &gray, const QRect &ink, const QRect &digits)
{
    const int h = ink.height(), band = std::max(1, int(bandShare * h));
    if (h < letterLow * digits.height() || h > letterHigh * digits.height() ||
        std::abs(ink.bottom() - digits.bottom()) > baseSlack * digits.height())
        return false;
    const Runs arms = runsIn(gray, ink, ink.top(), ink.top() + band - 1);
    const Runs foot = runsIn(gray, ink, ink.bottom() - band + 1, ink.bottom());
    return arms.count == 2 && foot.count == 1 && foot.last - foot.first < ink.width() / 2;
}

// Whether the glyph's ink is a number sign: two bars across it, one above the other, and two legs
// that cross them, reaching above the upper bar and below the lower one. A "4" has one bar and a
// single stem below it, an "H" one bar, an "8" no legs below its lower curve, digits that touch
// no bar across them all.
bool isNumberSign(const QImage &gray, const QRect &ink, const QRect &digits)
{
    if (ink.height() < hashLow * digits.height() || ink.height() > hashHigh * digits.height())
        return false;
    int bars = 0;
    bool inBar = false;
    std::array<bool, 3> legs{}; // rows of two strokes above the first bar, between the bars, below the last
    for (int y = ink.top(); y <= ink.bottom(); ++y) {
        const Runs row = runsIn(gray, ink, y, y);
        const bool bar = row.count == 1 && row.last - row.first + 1 >= hashBar * ink.width();
        bars += bar && !inBar;
        inBar = bar;
        if (!bar && row.count == 2 && bars < int(legs.size()))
            legs[size_t(bars)] = true;
    }
    return bars == 2 && legs[0] && legs[1] && legs[2];
}

// What the engine reads for a won sign, a character or two of them ("\\", "W", "#", "¥#").
bool mayBeWonSign(const std::string &text)
{
    static constexpr std::array<std::string_view, 8> readings{"\\", "W", "w", "#", "¥", "*", "₩", "￦"};
    return std::find(readings.begin(), readings.end(), text) != readings.end();
}

// Whether the glyph is a won sign whole, or with the digit it touches after it: then its first
// mark, or its left part cut somewhere before the digit, is one. Where the engine `readWon` at its
// start (the sign and the digit both read), the digit's stroke may reach into the cut part.
enum class WonInk { none, whole, touching };

WonInk wonInk(const QImage &gray, const QRect &ink, const QRect &digits, bool readWon)
{
    if (isWonSign(gray, ink, digits))
        return WonInk::whole;
    // Kerned into the digit, its mark may be apart from the digit's though their columns meet.
    const std::vector<QRect> marks = marksIn(gray, ink);
    const auto first = std::min_element(marks.begin(), marks.end(),
                                        [](const QRect &a, const QRect &b) { return a.left() < b.left(); });
    if (marks.size() > 1 && isWonSign(gray, *first, digits))
        return WonInk::touching;
    // Where it touches the digit, room is left for that digit.
    const int from = ink.left() + int(wonWidest * digits.height()),
              to = std::min(ink.left() + int(wonTouching * digits.height()),
                            ink.right() - int(narrowestDigit * digits.height()));
    if (to < from)
        return WonInk::none;
    for (int cut = from; cut <= to; ++cut)
        if (const QRect left = inkOf(gray, QRect(ink.left(), ink.top(), cut - ink.left(), ink.height()));
            !left.isEmpty() && isWonSign(gray, left, digits, readWon))
            return WonInk::touching;
    return WonInk::none;
}

// The glyph without the minus before it that touches it ("-₩2,740"): the columns before the first
// one with ink in the glyph's upper half.
QRect withoutMinus(const QImage &gray, const QRect &glyph)
{
    const int first = runsIn(gray, glyph, glyph.top(), glyph.top() + glyph.height() / 2).first;
    return first < 0 ? QRect() : inkOf(gray, glyph.adjusted(first - glyph.left(), 0, 0, 0));
}

bool isDigitGlyph(const QRect &ink, const QRect &digits)
{
    // A bracket is as high, but reaches below the digits' baseline.
    return ink.height() >= signLow * digits.height() && ink.width() >= narrowestDigit * digits.height() &&
        ink.bottom() <= digits.bottom() + baseSlack * digits.height();
}

// The digits the ink of `glyph` holds: one for each digit's width (digits that touch make one glyph
// as wide as they are together), none where it is no digit.
int digitsInked(const QRect &glyph, const QRect &digits)
{
    return isDigitGlyph(glyph, digits)
        ? std::max(1, int(std::lround(double(glyph.width()) / std::max(1, digits.width()))))
        : 0;
}

// The characters the engine read for the sign that glyph `i` is: those whose middles lie in it,
// less the digits among them that stand for digit glyphs beside it (`before` the sign when it
// precedes its number, a won sign, else after): the engine's boxes may lie a glyph off, and a digit
// is never taken for a sign while its ink stands beside it. A sign `touching` a digit glyph
// holds that digit too.
std::vector<size_t> signCharacters(const std::vector<Glyph> &glyphs, size_t i, const std::vector<std::string> &read,
                                   const QRect &digits, bool before, bool touching, const QRect &signInk = {})
{
    std::vector<size_t> sign = glyphs[i].characters;
    // A sign in pieces holds what the engine read for each of them.
    for (size_t j = i + 1; j < glyphs.size() && !signInk.isEmpty(); ++j)
        if (glyphs[j].ink.left() >= signInk.left() && glyphs[j].ink.right() <= signInk.right())
            sign.insert(sign.end(), glyphs[j].characters.begin(), glyphs[j].characters.end());
    // The digit a sign touches is the character read for it on the number's side; digits touching
    // each other make one glyph as wide as they are together.
    int inked = 0, readThere = 0;
    if (touching && !sign.empty() && isDigits(read[before ? sign.back() : sign.front()])) {
        sign.erase(before ? std::prev(sign.end()) : sign.begin());
        inked = 1;
    }
    for (size_t j = 0; j < glyphs.size(); ++j)
        if ((before ? j > i : j < i) && !signInk.intersects(glyphs[j].ink))
            inked += digitsInked(glyphs[j].ink, digits);
    if (sign.empty())
        return sign;
    for (size_t k = 0; k < read.size(); ++k)
        readThere += (before ? k > sign.back() : k < sign.front()) && isDigits(read[k]);
    for (int owed = inked - readThere; owed > 0; --owed) {
        if (before) {
            const auto digit = std::find_if(sign.rbegin(), sign.rend(), [&](size_t k) { return isDigits(read[k]); });
            if (digit == sign.rend())
                break;
            sign.erase(std::next(digit).base());
        } else {
            const auto digit = std::find_if(sign.begin(), sign.end(), [&](size_t k) { return isDigits(read[k]); });
            if (digit == sign.end())
                break;
            sign.erase(digit);
        }
    }
    return sign;
}

bool isDigitOrWonReading(const std::string &text) { return isDigits(text) || mayBeWonSign(text); }

// An amount in won has no fraction: in the number after a won sign, a full stop before a group of
// three digits is its thousands separator read wrong, where a small comma looked like a stop.
std::string withWonGrouping(std::string text)
{
    const auto digit = [&](size_t k) { return k < text.size() && text[k] >= '0' && text[k] <= '9'; };
    static const std::string won = "₩";
    for (size_t at = text.find(won); at != std::string::npos; at = text.find(won, at + 1)) {
        size_t k = at + won.size();
        const size_t start = k;
        while (digit(k))
            ++k;
        if (k == start || k - start > 3)
            continue;
        for (; k < text.size() && (text[k] == '.' || text[k] == ',') && digit(k + 1) && digit(k + 2) && digit(k + 3) &&
             !digit(k + 4);
             k += 4)
            text[k] = ',';
    }
    return text;
}

// `text` with the characters read for a won sign before its first digit made the sign.
std::string withWonSign(const std::string &text)
{
    QString wide = QString::fromStdString(text);
    const auto digit = std::find_if(wide.begin(), wide.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    qsizetype first = digit - wide.begin(), end = first;
    while (first > 0 && mayBeWonSign(QString(wide[first - 1]).toStdString()))
        --first;
    return first < end ? wide.replace(first, end - first, QStringLiteral("₩")).toStdString() : text;
}

// What the engine reads for a "v" before the digits of a version.
bool mayBeLetterV(const std::string &text)
{
    static constexpr std::array<std::string_view, 9> readings{"1", "/", "l", "i", "I", "|", "V", "y", "\\"};
    return std::find(readings.begin(), readings.end(), text) != readings.end();
}

// Whether `text` begins with a version's digits: a number with a full stop in it ("12.0.4").
bool beginsVersion(std::string_view text)
{
    const size_t digits = text.find_first_not_of("0123456789");
    return digits > 0 && digits != std::string_view::npos && text[digits] == '.' && digits + 1 < text.size() &&
        text[digits + 1] >= '0' && text[digits + 1] <= '9';
}

// The glyph's characters as read now.
std::string textOf(const Glyph &glyph, const std::vector<std::string> &read)
{
    std::string text;
    for (const size_t k : glyph.characters)
        text += read[k];
    return text;
}

// The median top, bottom and width of the glyphs read as digits alone: a digit's box.
QRect digitBox(const std::vector<Glyph> &glyphs, const std::vector<std::string> &read)
{
    std::vector<int> tops, bottoms, widths, heights;
    for (const Glyph &glyph : glyphs) {
        std::string text;
        for (const size_t k : glyph.characters)
            text += read[k];
        if (isDigits(text) && glyph.characters.size() == 1) {
            tops.push_back(glyph.ink.top());
            bottoms.push_back(glyph.ink.bottom());
            widths.push_back(glyph.ink.width());
            heights.push_back(glyph.ink.height());
        }
    }
    // Where the engine boxed no digit alone, the glyphs it read digits for, a digit's width each.
    const bool boxedAlone = !tops.empty();
    for (const Glyph &glyph : glyphs)
        if (const std::string text = textOf(glyph, read); !boxedAlone && isDigits(text)) {
            tops.push_back(glyph.ink.top());
            bottoms.push_back(glyph.ink.bottom());
            widths.push_back(glyph.ink.width() / int(glyph.characters.size()));
            heights.push_back(glyph.ink.height());
        }
    if (tops.empty())
        return {};
    const auto median = [](std::vector<int> &values) {
        std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
        return values[values.size() / 2];
    };
    const int top = median(tops), height = median(bottoms) - top + 1;
    // A piece of a broken sign read as a digit ("9" for a ring of "%") is no digit's width.
    std::vector<int> whole;
    for (size_t k = 0; k < widths.size(); ++k)
        if (heights[k] >= signLow * height)
            whole.push_back(widths[k]);
    // Nor is a sign read as more digits than its ink is wide ("206" for "%"): a digit narrower
    // than usual is a share of such a glyph, and would count each digit beside it twice. A wider
    // one is digits that touch, read as one ("8" for "80"), and would count them once.
    const int width = std::clamp(median(whole.empty() ? widths : whole), int(std::lround(usualDigit * height)),
                                 int(std::lround(widestDigit * height)));
    return QRect(0, top, width, height);
}

void readAs(const Glyph &glyph, std::vector<std::string> &read, const std::string &sign)
{
    for (size_t i = 0; i < glyph.characters.size(); ++i)
        read[glyph.characters[i]] = i == 0 ? sign : std::string();
}

// The ink of glyph `i` with that of the glyphs beside it that the engine read nothing for: the
// faint strokes of a light font break a sign into pieces that empty columns part.
// The ink of glyph `i` with the pieces beside it that the engine read nothing for and that are
// smaller than a digit: the thin strokes of a light font at small sizes break a letter apart.
QRect withPieces(const std::vector<Glyph> &glyphs, size_t i, const QRect &digits)
{
    const auto piece = [&](const Glyph &g) { return g.characters.empty() && !isDigitGlyph(g.ink, digits); };
    QRect ink = glyphs[i].ink;
    for (size_t j = i; j > 0 && piece(glyphs[j - 1]); --j)
        ink |= glyphs[j - 1].ink;
    for (size_t j = i + 1; j < glyphs.size() && piece(glyphs[j]); ++j)
        ink |= glyphs[j].ink;
    return ink;
}

// The ink of a per cent sign broken into more pieces, some of which the engine read a digit for
// ("(15096)" for a light "(150%)"): from the pieces it read nothing for before glyph `i` (no digit's
// ink) on, as far as one sign's width takes in and the ink is still the sign's; empty when none.
QRect piecesOfPercent(const QImage &gray, const std::vector<Glyph> &glyphs, size_t i, const QRect &digits)
{
    size_t first = i;
    while (first > 0 && glyphs[first - 1].characters.empty() && !isDigitGlyph(glyphs[first - 1].ink, digits))
        --first;
    QRect ink, sign;
    for (size_t j = first; first < i && j < glyphs.size(); ++j) {
        ink |= glyphs[j].ink;
        if (ink.width() > ringWidest * digits.height())
            break;
        if (j > i && isPercentSign(gray, ink, digits))
            sign = ink;
    }
    return sign;
}

// The ink of a per cent sign kerned into the digit before it, the two one glyph ("206" for "2%"):
// the narrowest right part of the glyph that is the sign where the rest is a digit; empty when none.
QRect percentAfterDigit(const QImage &gray, const QRect &ink, const QRect &digits)
{
    const int narrowest = int(narrowestDigit * digits.height());
    for (int cut = ink.right() - narrowest; cut >= ink.left() + narrowest; --cut) {
        const QRect digit = inkOf(gray, QRect(ink.left(), ink.top(), cut - ink.left(), ink.height()));
        const QRect sign = inkOf(gray, QRect(cut, ink.top(), ink.right() - cut + 1, ink.height()));
        if (isDigitGlyph(digit, digits) && isPercentSign(gray, sign, digits))
            return sign;
    }
    return {};
}

// The ink of the per cent sign that glyph `i` is or is part of: the glyph itself, or with the
// glyphs beside it that the engine read nothing for (the faint strokes of a light font break a sign
// into pieces that empty columns part), or the glyph's part after the digit it is kerned into
// (`kerned`); empty when none is one.
struct PercentInk {
    QRect ink;
    bool kerned = false;
};

PercentInk percentInk(const QImage &gray, const std::vector<Glyph> &glyphs, size_t i, const QRect &digits)
{
    if (isPercentSign(gray, glyphs[i].ink, digits))
        return {glyphs[i].ink};
    QRect ink = glyphs[i].ink;
    if (i > 0 && glyphs[i - 1].characters.empty())
        ink |= glyphs[i - 1].ink;
    if (i + 1 < glyphs.size() && glyphs[i + 1].characters.empty())
        ink |= glyphs[i + 1].ink;
    if (isPercentSign(gray, ink, digits))
        return {ink};
    if (const QRect pieces = piecesOfPercent(gray, glyphs, i, digits); !pieces.isEmpty())
        return {pieces};
    return {percentAfterDigit(gray, glyphs[i].ink, digits), true};
}

// What the engine read for the glyphs that lie within `ink`.
std::string textWithin(const std::vector<Glyph> &glyphs, const std::vector<std::string> &read, const QRect &ink)
{
    std::string text;
    for (const Glyph &glyph : glyphs)
        if (glyph.ink.left() >= ink.left() && glyph.ink.right() <= ink.right())
            text += textOf(glyph, read);
    return text;
}

// The sign, if any, that glyph `i` holds in place of what the engine read for it; for a per cent
// sign also its ink, which tells what the engine read for the sign.
struct SignAt {
    std::string text;
    PercentInk percent;
};

SignAt signAt(const QImage &gray, const std::vector<Glyph> &glyphs, size_t i, const std::vector<std::string> &read,
              const QRect &digits)
{
    const Glyph &glyph = glyphs[i];
    const std::string text = textOf(glyph, read);
    // The neighbours that the engine read something for: a ring's faint edge may stand apart.
    std::string after, before;
    for (size_t j = i + 1; j < glyphs.size() && after.empty(); ++j)
        after = textOf(glyphs[j], read);
    for (size_t j = i; j > 0 && before.empty(); --j)
        before = textOf(glyphs[j - 1], read);
    const bool digitAfter = !after.empty() && after[0] >= '0' && after[0] <= '9';
    // A digit before: read as one, or inked as one where the engine's boxes lie a glyph off.
    const bool digitBefore = (!before.empty() && before.back() >= '0' && before.back() <= '9') ||
        (i > 0 && glyphs[i - 1].characters.empty() && isDigitGlyph(glyphs[i - 1].ink, digits));
    // The engine reads a per cent sign as two digits ("96", "06"), also over the pieces of a light
    // one ("9" and "6"): one digit is what it reads for a digit. Kerned into its digit, the sign
    // is read with it: three digits at least.
    const bool kernedDigits = isDigits(text) && text.size() >= 3;
    const PercentInk sign = text != "%" && (digitBefore || kernedDigits) && !holdsHangul(after)
        ? percentInk(gray, glyphs, i, digits)
        : PercentInk{};
    // A bracket or a stop the engine boxed on the sign's ink is read besides it ("96)" for "%)").
    std::string inSign = sign.kerned ? text.substr(1) : textWithin(glyphs, read, sign.ink);
    std::erase_if(inSign, [](char c) { return c == ')' || c == '.' || c == ','; });
    if (!sign.ink.isEmpty() && (digitBefore || sign.kerned) &&
        (text.find('%') != std::string::npos || (isDigits(inSign) && inSign.size() >= 2)))
        return {"%", sign};
    if (digitAfter && mayBeLetterV(text) &&
        (isLetterV(gray, glyph.ink, digits) || isLetterV(gray, withPieces(glyphs, i, digits), digits))) {
        std::string rest;
        for (size_t j = i + 1; j < glyphs.size(); ++j)
            rest += textOf(glyphs[j], read);
        if (beginsVersion(rest))
            return {"v", {}};
    }
    const bool stop = text == "." && digitBefore && digitAfter && glyph.ink.height() <= stopHigh * digits.height();
    if (stop && glyph.ink.height() >= commaShape * glyph.ink.width() &&
        glyph.ink.bottom() >= digits.bottom() + std::max(2.0, commaDepth * digits.height()))
        return {",", {}};
    return {};
}

// Makes a one of each "i" in `read`, before a digit, whose ink is a one's: an i's dot stands apart
// from its stem, a one is a single mark as high as the digits ("vi2.0.4" for "v12.0.4"). The engine
// may box the "i" with the glyph before, the one's glyph then holding no character.
void withOnesReadAsI(const QImage &gray, const std::vector<Glyph> &glyphs, std::vector<std::string> &read,
                     const QRect &digits)
{
    for (size_t i = 0; i < glyphs.size(); ++i) {
        const std::vector<size_t> &held = glyphs[i].characters;
        const bool off = held.size() >= 2 && i + 1 < glyphs.size() && glyphs[i + 1].characters.empty();
        if (held.empty() || read[held.back()] != "i" || (held.size() > 1 && !off) || held.back() + 1 >= read.size() ||
            !isDigits(read[held.back() + 1]))
            continue;
        const QRect &ink = glyphs[off ? i + 1 : i].ink;
        if (isDigitGlyph(ink, digits) && marksIn(gray, ink).size() == 1)
            read[held.back()] = "1";
    }
}

// Whether the glyph's ink is an "i": a dot apart above a narrow stem that rises to the letters'
// middle, well below the digits' top, and stands on their baseline. A one is a single mark as high
// as the digits.
bool isLetterI(const QImage &gray, const QRect &ink, const QRect &digits)
{
    const std::vector<QRect> marks = marksIn(gray, ink);
    if (marks.size() != 2)
        return false;
    const QRect &dot = marks[0].bottom() < marks[1].bottom() ? marks[0] : marks[1],
                &stem = marks[0].bottom() < marks[1].bottom() ? marks[1] : marks[0];
    return dot.bottom() < stem.top() && dot.height() <= stopHigh * digits.height() &&
        dot.center().x() >= stem.left() - 1 && dot.center().x() <= stem.right() + 1 &&
        stem.width() < usualDigit * digits.height() && stem.top() >= digits.top() + stemBelow * digits.height() &&
        std::abs(stem.bottom() - digits.bottom()) <= baseSlack * digits.height();
}

// Makes an "i" of each one in `read` that the engine read alone for a glyph whose ink is an i's
// ("13" for "i3" in a processor's name).
void withIsReadAsOnes(const QImage &gray, const std::vector<Glyph> &glyphs, std::vector<std::string> &read,
                      const QRect &digits)
{
    for (const Glyph &glyph : glyphs)
        if (glyph.characters.size() == 1 && read[glyph.characters[0]] == "1" && isLetterI(gray, glyph.ink, digits))
            read[glyph.characters[0]] = "i";
}

// The won sign: the first glyph before a digit whose ink is one, and the characters the engine
// read for it (see signCharacters); nothing when no glyph is one.
std::optional<std::vector<size_t>> wonSignOf(const QImage &gray, const std::vector<Glyph> &glyphs,
                                             const std::vector<std::string> &read, const QRect &digits)
{
    for (size_t i = 0; i < glyphs.size(); ++i) {
        const std::string text = textOf(glyphs[i], read);
        std::string after;
        for (size_t j = i + 1; j < glyphs.size() && after.empty(); ++j)
            after = textOf(glyphs[j], read);
        if (text.empty() || text == "₩" || holdsHangul(text))
            continue;
        const std::string &first = read[glyphs[i].characters.front()];
        const WonInk ink =
            wonInk(gray, first == "-" ? withoutMinus(gray, glyphs[i].ink) : glyphs[i].ink, digits, mayBeWonSign(first));
        // A digit follows: read as one, or inked as one where the engine's boxes lie a glyph off.
        const bool digitAfter = (!after.empty() && after[0] >= '0' && after[0] <= '9') ||
            (i + 1 < glyphs.size() && isDigitGlyph(glyphs[i + 1].ink, digits));
        // The sign stands before its amount: a sign touching its digit holds the digit's reading.
        const bool digitWithin = text.find_first_of("0123456789", first.size()) != std::string::npos;
        if (ink == WonInk::none || (!digitAfter && !(ink == WonInk::touching && digitWithin)))
            continue;
        return signCharacters(glyphs, i, read, digits, true, ink == WonInk::touching);
    }
    return std::nullopt;
}

// Makes a number sign of the digit in `read` that the engine read for one before the digits
// ("44821" for "#4821"): the first glyph is a number sign, digits' ink comes after it, and no sign
// is read. The digit is the first one read on the sign's glyph, boxed short of the middle of the
// glyph after it; where the engine's boxes lie off the glyphs and none is read on the sign, the
// first one whose box reaches into it where the word reads more digits than the ink after the
// sign holds.
void withNumberSign(const QImage &gray, const std::vector<Glyph> &glyphs, const std::vector<RecognizedWord> &characters,
                    const QRect &digits, std::vector<std::string> &read)
{
    if (glyphs.size() < 2)
        return;
    int inked = 0, readDigits = 0;
    for (size_t j = 1; j < glyphs.size(); ++j)
        inked += digitsInked(glyphs[j].ink, digits);
    for (const std::string &text : read)
        readDigits += isDigits(text) ? int(text.size()) : 0;
    std::string after;
    for (size_t k = glyphs[0].characters.empty() ? 0 : glyphs[0].characters.back() + 1; k < read.size(); ++k)
        after += read[k];
    if (inked == 0 || std::find(read.begin(), read.end(), "#") != read.end() || !isNumber(after) ||
        !isNumberSign(gray, glyphs[0].ink, digits))
        return;
    const auto digit = [&](size_t k) { return isDigits(read[k]) && read[k].size() == 1; };
    // A box over the sign that reaches over the middle of the digit after it is that digit's.
    const auto own = [&](size_t k) { return characters[k].box.right() < glyphs[1].ink.center().x(); };
    const std::vector<size_t> &on = glyphs[0].characters;
    if (const auto first = std::find_if(on.begin(), on.end(), digit); first != on.end()) {
        if (own(*first))
            read[*first] = "#";
        return;
    }
    for (size_t k = 0;
         on.empty() && readDigits > inked && k < characters.size() && characters[k].box.left() <= glyphs[0].ink.right();
         ++k)
        if (digit(k)) {
            read[k] = "#";
            return;
        }
}

} // namespace

bool isLetterW(const QImage &gray, const QRect &line, const QRect &box, double least)
{
    const QRect rows = line.intersected(gray.rect());
    if (rows.isEmpty() || box.isEmpty() || least <= 0)
        return false;
    darkest = halfWayToWhite(gray, box.intersected(rows));
    QRect ink;
    for (const Glyph &glyph : glyphsOf(gray, rows, PlacedWord{{{}, box, 0}}))
        ink |= glyph.ink;
    // Measured against digits as high as the W is: the ink's own height is checked above.
    const QRect digits(0, 0, ink.height(), ink.height());
    return ink.height() >= least && isWShaped(gray, ink, digits) && !hasBar(gray, ink);
}

std::string withSignsOfItsInk(const QImage &gray, const QRect &line, const PlacedWord &placed)
{
    const RecognizedWord &word = placed.word;
    std::vector<std::string> read;
    std::string joined;
    for (const RecognizedWord &c : placed.characters) {
        read.push_back(c.text);
        joined += c.text;
    }
    const QRect rows = line.intersected(gray.rect());
    if (word.text.find_first_of("0123456789") == std::string::npos || rows.isEmpty() || word.box.isEmpty())
        return word.text;
    darkest = halfWayToWhite(gray, word.box.intersected(rows));
    const std::vector<Glyph> glyphs = glyphsOf(gray, rows, placed);
    const QRect digits = digitBox(glyphs, read);
    if (digits.isEmpty() || digits.height() < 4)
        return word.text;
    if (const auto sign = wonSignOf(gray, glyphs, read, digits)) {
        // Where the characters read for the sign hold others (its box of a bracket reaching over
        // the sign) or are not the word's text (a reading of the whole word by the other model),
        // the readings of the sign just before the first digit of the text become the sign.
        if (joined != word.text || sign->empty() ||
            !std::all_of(sign->begin(), sign->end(), [&](size_t k) { return isDigitOrWonReading(read[k]); }))
            return withWonGrouping(withWonSign(word.text));
        for (size_t k = 0; k < sign->size(); ++k)
            read[(*sign)[k]] = k == 0 ? "₩" : "";
    }
    if (joined != word.text)
        return withWonGrouping(word.text);
    withNumberSign(gray, glyphs, placed.characters, digits, read);
    for (size_t i = 0; i < glyphs.size(); ++i)
        if (!glyphs[i].characters.empty())
            if (const SignAt sign = signAt(gray, glyphs, i, read, digits); !sign.text.empty()) {
                auto sole = sign.text == "%"
                    ? signCharacters(glyphs, i, read, digits, false, sign.percent.kerned, sign.percent.ink)
                    : glyphs[i].characters;
                // The engine reads a per cent sign as digits or as the sign: a bracket or a stop it
                // boxed on the sign's ink keeps its own reading.
                if (sign.text == "%")
                    std::erase_if(
                        sole, [&](size_t k) { return !isDigits(read[k]) && read[k].find('%') == std::string::npos; });
                Glyph marked{glyphs[i].ink, sole};
                if (!sole.empty())
                    readAs(marked, read, sign.text);
            }
    withOnesReadAsI(gray, glyphs, read, digits);
    withIsReadAsOnes(gray, glyphs, read, digits);
    std::string text;
    for (const std::string &c : read)
        text += c;
    return withWonGrouping(text);
}

} // namespace tarn
