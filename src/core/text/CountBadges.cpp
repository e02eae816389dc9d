// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text/CountBadges.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>

#include "core/text/ConnectedPixels.h"
#include "core/text/TextBlocks.h"

namespace tarn {

namespace {

constexpr int fillContrast = 40;                     // a badge's fill stands this far from the background
constexpr int fillTolerance = 12;                    // the pixels of one fill lie this close together
constexpr int glyphContrast = 64;                    // a glyph's pixels stand this far from the fill
constexpr int smallestBadge = 12, largestBadge = 40; // a badge's height in pixels
constexpr double narrowest = 0.8, widest = 3.5;      // its width by its height
constexpr double roundEnd = 0.75;                    // its top and bottom rows span at most this share of its width
constexpr double edgeRow = 0.25;                     // a row this narrow at an end is its antialiased edge
constexpr int symmetrySlack = 2;                     // pixels its rows may differ from their mirror images
constexpr double filledShare = 0.5;                  // the fill covers at least this share of its outline
constexpr double lowestGlyph = 0.35, highestGlyph = 0.85; // a glyph's height by the badge's
constexpr double digitAspect = 1.1;                       // a digit is at least this much higher than wide
constexpr int mostGlyphs = 3;
constexpr int smallestMark = 3; // pixels of a speck of the antialiased edge, no glyph's mark
constexpr int margin = 10;      // white pixels around the glyphs
constexpr int glyphReach = 2;   // pixels around the glyphs' marks that their antialiasing takes
// Below this confidence (0-100) a reading of the glyphs as digits is a guess: the engine reads a
// syllable in a round avatar ("개") as some digit when nothing else is allowed, and is unsure of it.
constexpr float sureCount = 50;

// The pixels of `area` in a mask, one byte each.
struct Mask {
    QRect area;
    std::vector<uint8_t> bits;
    explicit Mask(const QRect &rect) : area(rect), bits(size_t(rect.width()) * rect.height(), 0) { }
    uint8_t &at(QPoint p) { return bits[size_t(p.y() - area.top()) * area.width() + (p.x() - area.left())]; }
};

int level(const QImage &gray, QPoint p) { return gray.constScanLine(p.y())[p.x()]; }

// Each row of a shape's box as the columns from its leftmost to its rightmost pixel.
std::vector<std::pair<int, int>> rowSpans(const std::vector<QPoint> &points, const QRect &box)
{
    std::vector<std::pair<int, int>> spans(size_t(box.height()), {box.right() + 1, box.left() - 1});
    for (const QPoint &p : points) {
        auto &[left, right] = spans[size_t(p.y() - box.top())];
        left = std::min(left, p.x());
        right = std::max(right, p.x());
    }
    return spans;
}

// Leaves out the rows at the top and the bottom that the antialiased edge alone reaches into: a
// shape set between pixels has a faint row there, which some pixels of the fill's level share.
void trimEdgeRows(std::vector<std::pair<int, int>> &spans, QRect &box)
{
    const auto width = [](const std::pair<int, int> &span) { return span.second - span.first + 1; };
    while (spans.size() > 2 && width(spans.back()) < edgeRow * box.width()) {
        spans.pop_back();
        box.setBottom(box.bottom() - 1);
    }
    while (spans.size() > 2 && width(spans.front()) < edgeRow * box.width()) {
        spans.erase(spans.begin());
        box.setTop(box.top() + 1);
    }
}

// Whether rows spanned so make a round or a pill: every row held, mirrored top to bottom, the
// ends narrower than the middle (a button's or a tile's corners are small beside its height).
bool roundOrPill(const std::vector<std::pair<int, int>> &spans, const QRect &box)
{
    const double aspect = double(box.width()) / box.height();
    if (box.height() < smallestBadge || box.height() > largestBadge || aspect < narrowest || aspect > widest)
        return false;
    const auto width = [&](size_t i) { return spans[i].second - spans[i].first + 1; };
    for (size_t i = 0; i < spans.size(); ++i)
        if (width(i) <= 0 || std::abs(width(i) - width(spans.size() - 1 - i)) > symmetrySlack)
            return false;
    return width(0) <= roundEnd * box.width() && width(spans.size() - 1) <= roundEnd * box.width();
}

// The marks inside the spans that stand out from the fill: the badge's glyphs.
std::vector<QRect> glyphMarks(const QImage &gray, const QRect &box, const std::vector<std::pair<int, int>> &spans,
                              int fill)
{
    Mask seen(box);
    const auto inside = [&](QPoint p) {
        return box.contains(p) && p.x() >= spans[size_t(p.y() - box.top())].first &&
            p.x() <= spans[size_t(p.y() - box.top())].second;
    };
    const auto take = [&](QPoint p) {
        if (!inside(p) || seen.at(p) || std::abs(level(gray, p) - fill) < glyphContrast)
            return false;
        seen.at(p) = 1;
        return true;
    };
    std::vector<QRect> marks;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x) {
            if (!take(QPoint(x, y)))
                continue;
            QRect mark;
            const std::vector<QPoint> points =
                connectedPixels(QPoint(x, y), [&](QPoint q) { return q == QPoint(x, y) || take(q); });
            for (const QPoint &p : points)
                mark |= QRect(p, QSize(1, 1));
            if (int(points.size()) >= smallestMark)
                marks.push_back(mark);
        }
    return marks;
}

// Whether a mark is one digit, taller than wide, or two that touch, wider than tall; a round mark
// is a control's dot or knob.
bool digitShaped(const QRect &mark, const QRect &box)
{
    const bool one = mark.height() >= digitAspect * mark.width(), two = mark.width() >= digitAspect * mark.height();
    return mark.height() >= lowestGlyph * box.height() && mark.height() <= highestGlyph * box.height() &&
        (one || two) && box.adjusted(1, 1, -1, -1).contains(mark);
}

// The glyphs (their marks' box, a little widened, within the spans) drawn dark on white, as far
// as they stand from the fill. The fill's antialiased edge is left out.
QImage glyphImage(const QImage &gray, const std::vector<std::pair<int, int>> &spans, const QRect &box, int fill,
                  const QRect &glyphs)
{
    const QRect area = glyphs.adjusted(-glyphReach, -glyphReach, glyphReach, glyphReach).intersected(box);
    QImage image(area.width() + 2 * margin, area.height() + 2 * margin, QImage::Format_Grayscale8);
    image.fill(255);
    const auto inside = [&](int x, int y) {
        return x >= spans[size_t(y - box.top())].first && x <= spans[size_t(y - box.top())].second;
    };
    int strongest = glyphContrast;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            strongest = inside(x, y) ? std::max(strongest, std::abs(level(gray, QPoint(x, y)) - fill)) : strongest;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (inside(x, y))
                image.scanLine(y - area.top() + margin)[x - area.left() + margin] =
                    uint8_t(255 - std::min(255, 255 * std::abs(level(gray, QPoint(x, y)) - fill) / strongest));
    return image;
}

// The badge whose fill holds `seed`, if it is one; the fill's pixels are marked in `seen`.
std::optional<CountBadge> badgeAt(const QImage &gray, QPoint seed, Mask &seen)
{
    const int fill = level(gray, seed);
    const std::vector<QPoint> points = connectedPixels(seed, [&](QPoint p) {
        if (!seen.area.contains(p) || seen.at(p) || std::abs(level(gray, p) - fill) > fillTolerance)
            return false;
        seen.at(p) = 1;
        return true;
    });
    QRect box;
    for (const QPoint &p : points)
        box |= QRect(p, QSize(1, 1));
    if (box.height() < smallestBadge || box.height() > largestBadge)
        return std::nullopt;
    std::vector<std::pair<int, int>> spans = rowSpans(points, box);
    trimEdgeRows(spans, box);
    if (!roundOrPill(spans, box))
        return std::nullopt;
    int area = 0;
    for (const auto &[left, right] : spans)
        area += right - left + 1;
    const std::vector<QRect> marks = glyphMarks(gray, box, spans, fill);
    if (int(points.size()) < filledShare * area || marks.empty() || int(marks.size()) > mostGlyphs ||
        !std::all_of(marks.begin(), marks.end(), [&](const QRect &m) { return digitShaped(m, box); }))
        return std::nullopt;
    QRect glyphs;
    int digits = 0;
    for (const QRect &m : marks) {
        glyphs |= m;
        digits += m.height() >= digitAspect * m.width() ? 1 : 2;
    }
    return CountBadge{box, fill, digits, glyphs, glyphImage(gray, spans, box, fill, glyphs)};
}

bool foundAlready(const std::vector<CountBadge> &badges, const CountBadge &badge)
{
    return std::any_of(badges.begin(), badges.end(), [&](const CountBadge &b) { return b.box.intersects(badge.box); });
}

} // namespace

std::vector<CountBadge> findCountBadges(const QImage &gray, const std::vector<QRect> &patches)
{
    std::vector<CountBadge> badges;
    for (const QRect &patch : patches) {
        // A patch may stop at the digits of a badge whose edge is soft.
        const QRect area = patch.adjusted(-largestBadge / 2, -largestBadge / 2, largestBadge / 2, largestBadge / 2)
                               .intersected(gray.rect());
        if (area.isEmpty() || std::min(area.width(), area.height()) < smallestBadge)
            continue;
        const int background = backgroundLevel(gray, area);
        Mask seen(area);
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                if (const QPoint p(x, y); !seen.at(p) && std::abs(level(gray, p) - background) > fillContrast)
                    if (std::optional<CountBadge> badge = badgeAt(gray, p, seen);
                        badge && !foundAlready(badges, *badge))
                        badges.push_back(std::move(*badge));
    }
    return badges;
}

std::string countOf(const CountBadge &badge, const std::string &reading, float confidence)
{
    if (confidence < sureCount)
        return {};
    std::string digits;
    for (const char c : reading)
        if (c != ' ')
            digits += c;
    const bool allDigits =
        !digits.empty() && std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
    return allDigits && int(digits.size()) == badge.digits ? digits : std::string();
}

QImage glyphsAt(const CountBadge &badge, int height)
{
    const double scale = double(height) / std::max(1, badge.glyphBox.height());
    return badge.glyphs.scaled(qRound(badge.glyphs.width() * scale), qRound(badge.glyphs.height() * scale),
                               Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

void paintOver(QImage &gray, const CountBadge &badge)
{
    // The antialiased edge lies around the fill's box.
    const QRect edge = badge.box.adjusted(-2, -2, 2, 2).intersected(gray.rect());
    const int background = backgroundLevel(gray, edge.adjusted(-1, -1, 1, 1).intersected(gray.rect()));
    for (int y = edge.top(); y <= edge.bottom(); ++y)
        std::fill_n(gray.scanLine(y) + edge.left(), edge.width(), uint8_t(background));
}

} // namespace tarn
