// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text/ControlShapes.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <vector>

#include "core/text/ConnectedPixels.h"
#include "core/text/TextBlocks.h"

namespace tarn {

namespace {

constexpr int shapeContrast = 20;                 // a pixel this far from its patch's background belongs to a shape
constexpr int patchPadding = 6;                   // room around a patch of ink, so that an outline lies wholly inside
constexpr int smallestControl = 10;               // check boxes, radio buttons and knobs are at least this high
constexpr int largestControl = 64;                // and a switch twice the usual size at most this
constexpr double roundFrom = 0.8, roundTo = 1.25; // width / height of check boxes, radio buttons, knobs
constexpr double pillFrom = 1.4, pillTo = 2.6;    // of switches
constexpr double wideOutline = 1.3;               // an outline at least this much wider than high is no glyph's
constexpr double filledShare = 0.5;               // a filled shape covers at least this share of its outline's inside
constexpr int shortestBar = 48;                   // a groove or a rule is at least this long
constexpr int thickestBar = 6;                    // and at most this thick
constexpr double barShare = 0.6;                  // the share of a groove's columns that hold the bar alone
constexpr double knobShare = 0.55;                // a switch's knob is at least this share of its height
constexpr double dotShare = 0.45;                 // a radio button's dot at most this share
constexpr int maximumGrowth = 4;                  // times a patch grows to take in a control that reaches past it
constexpr int flatFill = 2;                       // grey levels within which a fill's pixels lie
constexpr int secondFillShare = 5;                // a second fill takes at least 1 / this of a patch's frame

// The shapes of one patch of the screenshot: its pixels that stand out from its background,
// labelled by 8-connected shape (0: background).
struct Patch {
    QRect rect;
    int background = 255;
    int otherFill = -1; // the level of a second fill the patch straddles (a card on a window), or none
    std::vector<int> labels;
    std::vector<QRect> boxes;    // per shape (label - 1), in image pixels
    std::vector<bool> atBorder;  // whether the shape reaches the patch's edge (so may go on)
    std::vector<int> pixelCount; // per shape

    int label(int x, int y) const { return labels[size_t(y - rect.top()) * rect.width() + (x - rect.left())]; }
};

// The level of a second flat fill that takes a good share of the frame of pixels around `rect`'s
// inside edge besides its `background`: the card whose edge the patch reaches past, the window
// around it. The ink on the card stands out from both, and the card's fill is no shape. Gives -1
// when there is none.
int otherFillOf(const FrameLevels &frame, int background)
{
    int best = -1, bestCount = 0;
    for (int level = 0; level < 256; ++level) {
        if (std::abs(level - background) <= shapeContrast)
            continue;
        int near = 0;
        for (int l = std::max(0, level - flatFill); l <= std::min(255, level + flatFill); ++l)
            near += frame.histogram[size_t(l)];
        if (near > bestCount)
            best = level, bestCount = near;
    }
    return bestCount * secondFillShare >= frame.count ? best : -1;
}

Patch shapesOf(const QImage &gray, const QRect &rect)
{
    Patch patch;
    patch.rect = rect;
    const FrameLevels frame = frameLevels(gray, rect);
    patch.background = backgroundLevel(frame);
    patch.otherFill = otherFillOf(frame, patch.background);
    patch.labels.assign(size_t(rect.width()) * rect.height(), 0);
    const auto free = [&](QPoint p) {
        if (!rect.contains(p) || patch.label(p.x(), p.y()))
            return false;
        const int level = gray.constScanLine(p.y())[p.x()];
        return std::abs(level - patch.background) > shapeContrast &&
            (patch.otherFill < 0 || std::abs(level - patch.otherFill) > shapeContrast);
    };
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x) {
            if (!free(QPoint(x, y)))
                continue;
            const int id = int(patch.boxes.size()) + 1;
            const std::vector<QPoint> points = connectedPixels(QPoint(x, y), [&](QPoint p) {
                if (!free(p))
                    return false;
                patch.labels[size_t(p.y() - rect.top()) * rect.width() + (p.x() - rect.left())] = id;
                return true;
            });
            QRect box;
            for (const QPoint &p : points)
                box |= QRect(p, QSize(1, 1));
            patch.boxes.push_back(box);
            patch.pixelCount.push_back(int(points.size()));
            patch.atBorder.push_back(box.left() == rect.left() || box.top() == rect.top() ||
                                     box.right() == rect.right() || box.bottom() == rect.bottom());
        }
    return patch;
}

// The outer edge of a shape within `box`: in each row its leftmost and rightmost pixel, in each
// column its topmost and bottommost, relative to the box.
struct Outline {
    QRect box;
    std::vector<int> left, right, top, bottom;
};

// Nothing when a row or column of the box holds none of the shape's pixels.
std::optional<Outline> outlineOf(const Patch &patch, int id, const QRect &box)
{
    Outline o{box, std::vector<int>(size_t(box.height()), INT_MAX), std::vector<int>(size_t(box.height()), -1),
              std::vector<int>(size_t(box.width()), INT_MAX), std::vector<int>(size_t(box.width()), -1)};
    for (int y = 0; y < box.height(); ++y)
        for (int x = 0; x < box.width(); ++x)
            if (patch.label(box.left() + x, box.top() + y) == id) {
                o.left[size_t(y)] = std::min(o.left[size_t(y)], x), o.right[size_t(y)] = x;
                o.top[size_t(x)] = std::min(o.top[size_t(x)], y), o.bottom[size_t(x)] = y;
            }
    if (std::count(o.right.begin(), o.right.end(), -1) || std::count(o.bottom.begin(), o.bottom.end(), -1))
        return std::nullopt;
    return o;
}

// Whether `v` falls and then rises, give or take a pixel: the near side of a convex shape.
bool fallsThenRises(const std::vector<int> &v)
{
    constexpr int none = 1 << 20; // no place on that side
    std::vector<int> before(v.size(), none), after(v.size(), none);
    for (size_t i = 1; i < v.size(); ++i)
        before[i] = std::min(before[i - 1], v[i - 1]);
    for (size_t i = v.size() - 1; i-- > 0;)
        after[i] = std::min(after[i + 1], v[i + 1]);
    for (size_t i = 0; i < v.size(); ++i)
        if (v[i] > std::max(before[i], after[i]) + 1)
            return false;
    return true;
}

std::vector<int> mirrored(const std::vector<int> &v, int extent)
{
    std::vector<int> out;
    for (const int x : v)
        out.push_back(extent - 1 - x);
    return out;
}

// Whether `a` and the mirror image of `b` agree within `slack` in nine of ten places.
bool symmetric(const std::vector<int> &a, const std::vector<int> &b, int extent, int slack)
{
    int off = 0;
    for (size_t i = 0; i < a.size(); ++i)
        off += std::abs(a[i] - (extent - 1 - b[i])) > slack;
    return off * 10 <= int(a.size());
}

// Whether the outline is a round, a square or a pill: convex, closed all round (in every
// column the shape's top and bottom lie on the edge that its rows make) and mirrored both ways.
// The H and the 8 fail, the O passes; a control is told from it by what lies around it.
bool isRounded(const Outline &o)
{
    const int w = o.box.width(), h = o.box.height();
    if (!fallsThenRises(o.left) || !fallsThenRises(mirrored(o.right, w)) || !fallsThenRises(o.top) ||
        !fallsThenRises(mirrored(o.bottom, h)))
        return false;
    for (int x = 0; x < w; ++x) {
        int first = -1, last = -1;
        for (int y = 0; y < h; ++y)
            if (o.left[size_t(y)] <= x && x <= o.right[size_t(y)])
                last = y, first = first < 0 ? y : first;
        if (first < 0 || o.top[size_t(x)] > first + 1 || o.bottom[size_t(x)] < last - 1)
            return false;
    }
    return symmetric(o.left, o.right, w, std::max(1, w / 10)) && symmetric(o.top, o.bottom, h, std::max(1, h / 10));
}

int insideArea(const Outline &o)
{
    int area = 0;
    for (size_t y = 0; y < o.left.size(); ++y)
        area += o.right[y] - o.left[y] + 1;
    return area;
}

double aspect(const QRect &box) { return double(box.width()) / box.height(); }
bool between(double value, double from, double to) { return value >= from && value <= to; }

// A connected mark inside a shape: its box, its pixel count, and the columns its top row and
// its bottom row take, in pixels of the image.
struct Mark {
    QRect box;
    int pixels = 0;
    int topFrom = INT_MAX, topTo = -1, bottomFrom = INT_MAX, bottomTo = -1;
};

Mark markOf(const std::vector<QPoint> &points)
{
    Mark mark;
    for (const QPoint &p : points)
        mark.box |= QRect(p, QSize(1, 1));
    mark.pixels = int(points.size());
    for (const QPoint &p : points) {
        if (p.y() == mark.box.top())
            mark.topFrom = std::min(mark.topFrom, p.x()), mark.topTo = std::max(mark.topTo, p.x());
        if (p.y() == mark.box.bottom())
            mark.bottomFrom = std::min(mark.bottomFrom, p.x()), mark.bottomTo = std::max(mark.bottomTo, p.x());
    }
    return mark;
}

// The marks inside a filled shape's outline: its holes, where the background shows (the light
// knob of a switch, the tick of a check box), and its pixels that lie beyond its fill, away from
// the background (a knob lighter than a dark window's fill, or the letters of a button). The
// antialiased edge lies between the two levels and is no mark.
std::vector<Mark> marksInside(const QImage &gray, const Patch &patch, int id, const Outline &o)
{
    std::vector<uint8_t> levels;
    for (int y = o.box.top(); y <= o.box.bottom(); ++y)
        for (int x = o.box.left(); x <= o.box.right(); ++x)
            if (patch.label(x, y) == id)
                levels.push_back(gray.constScanLine(y)[x]);
    std::nth_element(levels.begin(), levels.begin() + levels.size() / 2, levels.end());
    const int fill = levels[levels.size() / 2], away = fill >= patch.background ? 1 : -1;
    const int w = o.box.width(), h = o.box.height();
    std::vector<uint8_t> marked(size_t(w) * h, 0);
    for (int y = 0; y < h; ++y)
        for (int x = o.left[size_t(y)] + 1; x < o.right[size_t(y)]; ++x) {
            const int gx = o.box.left() + x, gy = o.box.top() + y;
            const int label = patch.label(gx, gy);
            marked[size_t(y) * w + x] = y > o.top[size_t(x)] && y < o.bottom[size_t(x)] &&
                (label == 0 || (label == id && (gray.constScanLine(gy)[gx] - fill) * away > shapeContrast));
        }
    std::vector<Mark> marks;
    const auto take = [&](QPoint p) {
        if (p.x() < 0 || p.y() < 0 || p.x() >= w || p.y() >= h || marked[size_t(p.y()) * w + p.x()] != 1)
            return false;
        marked[size_t(p.y()) * w + p.x()] = 2;
        return true;
    };
    for (int start = 0; start < w * h; ++start) {
        if (marked[size_t(start)] != 1)
            continue;
        std::vector<QPoint> points = connectedPixels(QPoint(start % w, start / w), take);
        for (QPoint &p : points)
            p += o.box.topLeft();
        if (points.size() > 2) // specks of the antialiased edge
            marks.push_back(markOf(points));
    }
    return marks;
}

// Whether a mark inside a control is one that controls bear: in a switch a knob filling most of
// its height; in a check box or a radio button a small solid dot in its middle, or a tick, whose
// top lies at its right and whose bottom in its middle. The letters and digits of a badge or an
// avatar are none of them, nor the inside of an O.
bool isControlMark(const Mark &mark, const QRect &control, bool pill)
{
    const double h = control.height(), w = mark.box.width(), area = w * mark.box.height();
    if (pill)
        return mark.box.height() >= knobShare * h && between(aspect(mark.box), roundFrom, roundTo);
    const QPointF offset = QRectF(mark.box).center() - QRectF(control).center();
    if (mark.box.height() <= dotShare * h && between(aspect(mark.box), roundFrom, roundTo) &&
        std::abs(offset.x()) <= 0.15 * h && std::abs(offset.y()) <= 0.15 * h && mark.pixels >= 0.6 * area)
        return true;
    const int left = mark.box.left();
    return aspect(mark.box) >= 0.8 && mark.box.height() >= 0.3 * h && mark.pixels <= 0.45 * area &&
        mark.topFrom - left >= 0.6 * w && mark.bottomFrom - left >= 0.2 * w && mark.bottomTo - left <= 0.7 * w;
}

// The shape numbered `id` as a mark (a tick or a dot inside an outlined control).
Mark shapeAsMark(const Patch &patch, int id)
{
    std::vector<QPoint> points;
    const QRect &box = patch.boxes[size_t(id - 1)];
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            if (patch.label(x, y) == id)
                points.emplace_back(x, y);
    return markOf(points);
}

// The shapes lying wholly inside shape `id`'s box.
std::vector<int> shapesInside(const Patch &patch, int id)
{
    std::vector<int> inside;
    const QRect box = patch.boxes[size_t(id - 1)].adjusted(1, 1, -1, -1);
    for (size_t k = 0; k < patch.boxes.size(); ++k)
        if (int(k) + 1 != id && box.contains(patch.boxes[k]))
            inside.push_back(int(k) + 1);
    return inside;
}

// Whether no other shape but those inside lies within a third of its height around it, as around
// a check box, a radio button or a switch, whose label keeps its distance. A letter has its
// neighbours in its word closer, and the round jamo of a syllable its vowel or consonant.
bool standsAlone(const Patch &patch, int id)
{
    const QRect box = patch.boxes[size_t(id - 1)];
    const int reach = std::max(3, box.height() / 3);
    const QRect around = box.adjusted(-reach, -reach, reach, reach);
    for (size_t k = 0; k < patch.boxes.size(); ++k)
        if (int(k) + 1 != id && around.intersects(patch.boxes[k]) && !box.contains(patch.boxes[k]))
            return false;
    return true;
}

// What is to be painted over.
enum class Cover { nothing, whole, outline };

// A long thin bar, alone (a slider's groove, a progress bar, a rule) or with knobs on it.
bool isGroove(const Patch &patch, int id)
{
    const QRect box = patch.boxes[size_t(id - 1)];
    if (box.width() < std::max(shortestBar, 3 * box.height()))
        return false;
    const std::optional<Outline> columns = outlineOf(patch, id, box);
    if (!columns)
        return false;
    int thin = 0;
    for (int x = 0; x < box.width(); ++x)
        thin += columns->bottom[size_t(x)] - columns->top[size_t(x)] < thickestBar;
    if (thin < barShare * box.width())
        return false;
    for (int x = 0; x < box.width();) { // every thicker run must be a round knob
        if (columns->bottom[size_t(x)] - columns->top[size_t(x)] < thickestBar) {
            ++x;
            continue;
        }
        int end = x;
        while (end + 1 < box.width() && columns->bottom[size_t(end + 1)] - columns->top[size_t(end + 1)] >= thickestBar)
            ++end;
        const QRect knob(QPoint(box.left() + x, box.top()), QPoint(box.left() + end, box.bottom()));
        const std::optional<Outline> o = outlineOf(patch, id, knob);
        if (!o || !isRounded(*o))
            return false;
        x = end + 1;
    }
    return true;
}

// A long thin upright bar: the coloured stripe that marks a card's state at its edge, or a rule
// between columns. It is thin in every row and more than twice as high as any other shape of its
// patch but such bars, as the lines of text beside it are; the stem of a letter is as high as its
// neighbours.
bool isStripe(const Patch &patch, int id)
{
    const auto upright = [](const QRect &box) {
        return box.height() >= std::max(shortestBar, 3 * box.width()) && box.width() < thickestBar;
    };
    const QRect box = patch.boxes[size_t(id - 1)];
    if (!upright(box))
        return false;
    for (const QRect &other : patch.boxes)
        if (!upright(other) && 2 * other.height() >= box.height())
            return false;
    return true;
}

Cover coverOf(const QImage &gray, const Patch &patch, int id)
{
    const QRect box = patch.boxes[size_t(id - 1)];
    if (patch.atBorder[size_t(id - 1)] || box.height() < 2)
        return Cover::nothing;
    if (isGroove(patch, id) || isStripe(patch, id))
        return Cover::whole;
    if (box.height() < smallestControl)
        return Cover::nothing;
    const std::optional<Outline> o = outlineOf(patch, id, box);
    if (!o || !isRounded(*o))
        return Cover::nothing;
    const std::vector<int> inside = shapesInside(patch, id);
    const bool filled = patch.pixelCount[size_t(id - 1)] >= filledShare * insideArea(*o);
    if (!filled && aspect(box) >= wideOutline) // a button's or a box's outline, or an empty field
        return inside.empty() ? Cover::whole : Cover::outline;
    const bool pill = between(aspect(box), pillFrom, pillTo);
    if (box.height() > largestControl || !(pill || between(aspect(box), roundFrom, roundTo)) || !standsAlone(patch, id))
        return Cover::nothing;
    std::vector<Mark> marks = filled ? marksInside(gray, patch, id, *o) : std::vector<Mark>{};
    for (const int k : inside)
        marks.push_back(shapeAsMark(patch, k));
    return marks.empty() || (marks.size() == 1 && isControlMark(marks.front(), box, pill)) ? Cover::whole
                                                                                           : Cover::nothing;
}

// Whether a pixel labelled `own` near shape `id` is painted over: for a whole control the
// shape, the background around and inside it and the marks inside; for an outline the shape and
// the antialiased pixels beside it.
bool covered(const Patch &patch, int id, Cover cover, int x, int y)
{
    const int own = patch.label(x, y);
    if (own == id)
        return true;
    if (cover == Cover::whole)
        return own == 0 || patch.boxes[size_t(id - 1)].contains(patch.boxes[size_t(own - 1)]);
    if (own != 0)
        return false;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (patch.rect.contains(x + dx, y + dy) && patch.label(x + dx, y + dy) == id)
                return true;
    return false;
}

void paint(QImage &gray, const Patch &patch, int id, Cover cover)
{
    const QRect area = patch.boxes[size_t(id - 1)].adjusted(-1, -1, 1, 1).intersected(patch.rect);
    std::vector<QPoint> points;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (covered(patch, id, cover, x, y))
                points.emplace_back(x, y);
    for (const QPoint &p : points)
        gray.scanLine(p.y())[p.x()] = uint8_t(patch.background);
}

// The shapes of a patch of ink and the room around it. A control whose faint parts have no
// steep edges (a groove, the far end of a switch) reaches past the patch, which then grows to
// take it in, sideways by the width that shows.
Patch grownPatch(const QImage &gray, const QRect &group)
{
    QRect rect = group.adjusted(-patchPadding, -patchPadding, patchPadding, patchPadding).intersected(gray.rect());
    Patch patch = shapesOf(gray, rect);
    for (int step = 0; step < maximumGrowth; ++step) {
        QRect wider = rect;
        for (size_t k = 0; k < patch.boxes.size(); ++k)
            if (patch.atBorder[k] && patch.boxes[k].height() <= largestControl)
                wider |= patch.boxes[k].adjusted(-patch.boxes[k].width(), -patchPadding, patch.boxes[k].width(),
                                                 patchPadding);
        wider &= gray.rect();
        if (wider == rect)
            break;
        rect = wider;
        patch = shapesOf(gray, rect);
    }
    return patch;
}

} // namespace

bool hideControls(QImage &gray, const std::vector<QRect> &patches)
{
    bool painted = false;
    for (const QRect &group : patches) {
        const Patch patch = grownPatch(gray, group);
        for (int id = 1; id <= int(patch.boxes.size()); ++id)
            if (const Cover cover = coverOf(gray, patch, id); cover != Cover::nothing) {
                paint(gray, patch, id, cover);
                painted = true;
            }
    }
    return painted;
}

} // namespace tarn
