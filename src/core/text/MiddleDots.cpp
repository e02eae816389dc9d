// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text/MiddleDots.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string_view>
#include <vector>

#include <QString>

#include "core/text/ConnectedPixels.h"

namespace tarn {

namespace {

constexpr int darkest = 192;         // pixels below this level are ink
constexpr int solidInk = 128;        // and these its body, not the antialiasing that joins glyphs set close
constexpr double largestShare = 0.3; // a dot is at most this share of the line's height
// A dot is at most this much wider than high (a hyphen is twice as wide), and at most this much
// higher than wide: at the smallest sizes antialiasing spreads it over a pixel more in height.
// NanumGothic's dot is flatter still, but narrow: a hyphen as flat spans more of the line's height.
constexpr double widest = 1.6, tallest = 2.0;
constexpr double widestFlat = 1.8, flatWidthShare = 0.2;
constexpr double middleFrom = 0.3, middleTo = 0.68; // its centre lies in this band of the line (a full stop lower)
// Empty columns on either side of a lone dot as a share of the line's blank: a blank and the side
// bearings leave about a blank's room, a dot set between words without blanks its bearings alone.
// The bearings of the letters beside the line's blanks (a tabular 1 has wide ones) make its blank
// look wider: there a room of the ems below does too, unless it is less than the least share.
constexpr double loneShare = 0.55, leastShare = 0.4;
// The same in ems where the line has no other blank: a blank and the side bearings leave 0.34 em
// or more in most interface fonts, a dot set between two words without blanks 0.26 em at most.
constexpr double loneRoom = 0.29;
// The share of an em that a line's ink spans: Hangul nearly all of it, Latin capitals and digits
// about three quarters.
constexpr double hangulHeight = 0.9, capitalHeight = 0.75;

bool isInk(const QImage &gray, int x, int y, int below = darkest) { return gray.constScanLine(y)[x] < below; }

// The connected marks of pixels below `level` inside `area`, each as its bounding box.
std::vector<QRect> marksIn(const QImage &gray, const QRect &area, int level = darkest)
{
    std::vector<QRect> marks;
    std::vector<uint8_t> seen(size_t(area.width()) * area.height(), 0);
    const auto index = [&](QPoint p) { return size_t(p.y() - area.top()) * area.width() + (p.x() - area.left()); };
    const auto fresh = [&](QPoint p) {
        return area.contains(p) && !seen[index(p)] && isInk(gray, p.x(), p.y(), level);
    };
    const auto take = [&](QPoint p) {
        if (!fresh(p))
            return false;
        seen[index(p)] = 1;
        return true;
    };
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            if (!fresh(QPoint(x, y)))
                continue;
            QRect box;
            for (const QPoint &p : connectedPixels(QPoint(x, y), take))
                box |= QRect(p, QSize(1, 1));
            marks.push_back(box);
        }
    return marks;
}

bool dotShaped(const QRect &mark, const QRect &line)
{
    const double largest = largestShare * line.height();
    const double centre = (mark.center().y() - line.top()) / double(std::max(1, line.height()));
    const bool flatDot = mark.width() <= widestFlat * mark.height() && mark.width() <= flatWidthShare * line.height();
    return mark.width() <= largest && mark.height() <= largest && (mark.width() <= widest * mark.height() || flatDot) &&
        mark.height() <= tallest * mark.width() && centre >= middleFrom && centre <= middleTo;
}

bool columnHasInk(const QImage &gray, int x, int top, int bottom)
{
    for (int y = top; y <= bottom; ++y)
        if (isInk(gray, x, y))
            return true;
    return false;
}

// Empty columns from `x` on in direction `step` before the next ink of the line's rows; -1 when
// the line ends first.
int roomFrom(const QImage &gray, const QRect &rows, int x, int step)
{
    int room = 0;
    for (; x >= rows.left() && x <= rows.right(); x += step, ++room)
        if (columnHasInk(gray, x, rows.top(), rows.bottom()))
            return room;
    return -1;
}

bool isBlank(const std::string &text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c == ' '; });
}

// The widest run of empty columns of the line's rows whose middle lies in [from, to].
int widestRunBetween(const QImage &gray, const QRect &rows, int from, int to)
{
    int widest = 0;
    for (int x = std::max(from, rows.left()), run = 0, start = x; x <= rows.right(); ++x) {
        if (!columnHasInk(gray, x, rows.top(), rows.bottom())) {
            start = run++ ? start : x;
            continue;
        }
        if (run && (start + x - 1) / 2 >= from && (start + x - 1) / 2 <= to)
            widest = std::max(widest, run);
        if (x > to)
            break;
        run = 0;
    }
    return widest;
}

// Whether `dot`, a mark among `marks`, is a middle dot's: not one of a colon's two dots (no
// other dot above or below it), and apart from the glyphs beside it by an empty column on either
// side in its rows (a jamo's short stroke touches its stem, or all but).
bool standsAlone(const QImage &gray, const QRect &line, const QRect &dot, const std::vector<QRect> &marks)
{
    for (const QRect &mark : marks)
        if (mark != dot && dotShaped(mark.translated(0, line.top() + line.height() / 2 - mark.center().y()), line) &&
            std::abs(mark.center().x() - dot.center().x()) * 2 <= std::max(mark.width(), dot.width()))
            return false;
    const auto dark = [&](int x) {
        for (int y = std::max(line.top(), dot.top() - 1); y <= std::min(line.bottom(), dot.bottom() + 1); ++y)
            if (x < 0 || x >= gray.width() || gray.constScanLine(y)[x] < solidInk)
                return true;
        return false;
    };
    return !dark(dot.left() - 1) && !dark(dot.right() + 1);
}

bool holdsHangulSyllable(const std::string &text)
{
    const auto characters = QString::fromStdString(text).toUcs4();
    return std::any_of(characters.begin(), characters.end(), [](char32_t c) { return c >= 0xAC00 && c <= 0xD7A3; });
}

bool isDigit(const std::string &text) { return !text.empty() && text[0] >= '0' && text[0] <= '9'; }

bool readsAsDot(const std::string &character) { return mayBeMiddleDot(character) || character == "*"; }

} // namespace

int widestEmptyRun(const QImage &gray, const QRect &line, int from, int to)
{
    const QRect rows = line.intersected(gray.rect());
    return rows.isEmpty() ? 0 : widestRunBetween(gray, rows, from, to);
}

std::optional<int> blankRoom(const QImage &gray, const QRect &line, const std::vector<RecognizedWord> &words,
                             const std::vector<std::string> &separators)
{
    const QRect rows = line.intersected(gray.rect());
    std::vector<int> runs;
    for (size_t i = 0; i + 1 < words.size() && i < separators.size() && !rows.isEmpty(); ++i)
        if (isBlank(separators[i]) && !mayBeMiddleDot(words[i].text) && !mayBeMiddleDot(words[i + 1].text))
            if (const int run = widestRunBetween(gray, rows, words[i].box.center().x(), words[i + 1].box.center().x()))
                runs.push_back(run);
    if (runs.empty())
        return std::nullopt;
    std::nth_element(runs.begin(), runs.begin() + runs.size() / 2, runs.end());
    return runs[runs.size() / 2];
}

bool mayBeMiddleDot(const std::string &word)
{
    static constexpr std::array<std::string_view, 9> readings{"·", "ㆍ", "-", "–", "—", "∙", "‧", ".", ":"};
    return std::find(readings.begin(), readings.end(), word) != readings.end();
}

bool isLoneMiddleDot(const QImage &gray, const QRect &line, const RecognizedWord &word, bool hangulLine,
                     std::optional<int> blank)
{
    const QRect rows = line.intersected(gray.rect());
    if (rows.isEmpty() || word.box.isEmpty())
        return false;
    // The dot lies at the character the engine read for it, not at a neighbour's.
    const int reach = line.height() / 4;
    const QRect area =
        QRect(word.box.left() - reach, rows.top(), word.box.width() + 2 * reach, rows.height()).intersected(rows);
    std::optional<QRect> dot;
    for (const QRect &mark : marksIn(gray, area))
        if (dotShaped(mark, line) &&
            (!dot ||
             std::abs(mark.center().x() - word.box.center().x()) < std::abs(dot->center().x() - word.box.center().x())))
            dot = mark;
    if (!dot)
        return false;
    const int left = roomFrom(gray, rows, dot->left() - 1, -1), right = roomFrom(gray, rows, dot->right() + 1, 1);
    const double ems = loneRoom * line.height() / (hangulLine ? hangulHeight : capitalHeight);
    const double room = blank ? std::min(loneShare * *blank, std::max(ems, leastShare * *blank)) : ems;

    return left >= room && right >= room;
}

bool isMiddleDotAt(const QImage &gray, const QRect &line, const QRect &box)
{
    const QRect rows = line.intersected(gray.rect());
    if (rows.isEmpty() || box.isEmpty())
        return false;
    const int reach = line.height() / 4;
    const QRect area = QRect(box.left() - reach, rows.top(), box.width() + 2 * reach, rows.height()).intersected(rows);
    // The dot lies in the character's own box, not at a neighbour.
    const auto within = [&](const QRect &mark) {
        return mark.center().x() >= box.left() - 1 && mark.center().x() <= box.right() + 1;
    };
    // The faint antialiasing of a dot set close may join it to its neighbour; its body stands apart.
    // An asterisk's thin arms show only faintly: around its solid core, they make a mark higher than
    // a dot, where a dot joined to its neighbour is as low as a dot.
    const std::vector<QRect> faint = marksIn(gray, area, darkest);
    for (const int level : {darkest, solidInk}) {
        const std::vector<QRect> marks = level == darkest ? faint : marksIn(gray, area, level);
        std::optional<QRect> dot;
        for (const QRect &mark : marks)
            if (dotShaped(mark, line) && within(mark) &&
                (!dot ||
                 std::abs(mark.center().x() - box.center().x()) < std::abs(dot->center().x() - box.center().x())))
                dot = mark;
        const bool low = dot && std::none_of(faint.begin(), faint.end(), [&](const QRect &m) {
                             return m.contains(dot->center()) && m.height() > largestShare * line.height();
                         });
        if (dot && low && standsAlone(gray, rows, *dot, marks))
            return true;
    }
    return false;
}

bool middleDotLeftOut(const QImage &gray, const QRect &line, const QRect &left, const QRect &right, bool hangulLine,
                      std::optional<int> blank)
{
    const QRect rows = line.intersected(gray.rect());
    const QRect gap = QRect(QPoint(left.right() + 1, rows.top()), QPoint(right.left() - 1, rows.bottom()));
    if (rows.isEmpty() || gap.width() < 3)
        return false;
    // Whole within the gap: a mark cut at its edge is part of a glyph the boxes leave out.
    for (const QRect &mark : marksIn(gray, gap))
        if (mark.left() > gap.left() && mark.right() < gap.right() && dotShaped(mark, line) &&
            isMiddleDotAt(gray, line, mark) && isLoneMiddleDot(gray, line, {"·", mark, 0}, hangulLine, blank))
            return true;
    return false;
}

std::string withMiddleDotsOfItsInk(const QImage &gray, const QRect &line, const PlacedWord &placed,
                                   const Neighbours &neighbours)
{
    const std::vector<RecognizedWord> &characters = placed.characters;
    std::string read;
    for (const RecognizedWord &c : characters)
        read += c.text;
    if (read != placed.word.text || !placed.loneDots.empty())
        return placed.word.text;
    // The characters beside character `i`: within the word, or the neighbouring words' touching it.
    const auto at = [&](ptrdiff_t i) {
        return i < 0                        ? neighbours.before
            : size_t(i) < characters.size() ? characters[size_t(i)].text
                                            : neighbours.after;
    };
    std::string text;
    for (size_t k = 0; k < characters.size(); ++k) {
        const std::string &c = characters[k].text;
        const bool first = k == 0, last = k + 1 == characters.size();
        // A full stop or a colon ends a sentence or a label, begins no word and parts names and
        // numbers ("backup.tar.gz", "3:07"): between Hangul syllables alone it may be a dot.
        const bool stop = c == "." || c == ":";
        const bool betweenHangul =
            holdsHangulSyllable(at(ptrdiff_t(k) - 1)) && holdsHangulSyllable(at(ptrdiff_t(k) + 1));
        const bool digitBeside = isDigit(at(ptrdiff_t(k) - 1)) || isDigit(at(ptrdiff_t(k) + 1));
        if (!readsAsDot(c) || digitBeside || (stop && !betweenHangul) ||
            !isMiddleDotAt(gray, line, characters[k].box)) {
            text += c;
            continue;
        }
        if (first && !last && neighbours.blankBefore)
            text += "· ";
        else if (last && !first && neighbours.blankAfter)
            text += " ·";
        else
            text += "·";
    }
    return text;
}

} // namespace tarn
