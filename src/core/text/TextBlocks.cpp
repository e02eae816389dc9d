// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text/TextBlocks.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>

namespace tarn {

namespace {

// Tuned on rendered interface text from 11 px to 40 px at 1x and 2x scale.
constexpr int edgeContrast = 40;  // grey-level step over two pixels that counts as a stroke edge
constexpr int faintContrast = 12; // a step that an outline spread over two columns still makes
constexpr int borderRun = 120;    // a vertical edge longer than this is a border, not a glyph
constexpr int cell = 4;           // block search resolution in pixels
constexpr int wordGapCells = 4;   // horizontal reach that joins letters and words into lines
constexpr int lineGapCells = 1;   // vertical reach that joins lines set close together
constexpr int smallestSide = 6;   // blocks narrower or lower than this hold no readable text
constexpr int cornerReach = 24;   // the largest corner radius of a panel, in pixels
constexpr int cornerGap = 3;      // the widest gap between a straight edge and its corner arc
constexpr int arcGap = 2;         // the widest gap between two edge pixels along an arc
// Edges of boxes (fills, outlines, pictures) inside a block: vertical edges at least this long
// that are lone steps (no opposite edge nearby, as a glyph stroke has) or reach above and
// below the text beside them.
constexpr int shortestBoxEdge = 12;
constexpr double loneStepShare = 0.3; // largest share of the rows with an opposite edge nearby
constexpr double twinShare = 0.8;     // edges at least this share as long are the box's own
constexpr int reachDivisor = 8;       // a box edge reaches past the text by this part of its length
constexpr int minimumClearance = 3;   // a box edge has no other ink this close on either side,
constexpr int clearanceDivisor = 5;   // nor within this part of its length
constexpr int farReach = 2;           // how far beside a lone box edge text is looked for, in its lengths
constexpr int narrowestBox = 8;       // columns between a box's sides, at the least
constexpr int cornerPatch = 3;        // the side of the patches that sample a box's inside corners
constexpr int evenFillSpread = 8;     // the most an even fill's corners differ in level

// A run of rows lower than this share of a block's tallest line whose strongest step is below
// this share of the block's is the remains of a thin outline.
constexpr double outlineHeightShare = 0.75, outlineContrastShare = 0.4;

// Rows holding at most this share of the busiest row's ink, for at least this many rows in a
// row, are a valley between two lines that a drawn mark crosses.
constexpr double valleyShare = 0.1;
constexpr int shortestValley = 3;

constexpr uint8_t rising = 1, falling = 2; // edge pixels: intensity rises or falls to the right

// A rounded panel corner continues a border as a short arc, which would otherwise look like a
// small glyph. Erases the edge pixels connected to each end of an erased border, within the
// reach of a corner radius. A faint arc's edge pixels are not always neighbours, so pixels up
// to `arcGap` apart count as connected.
void eraseRoundedCorners(std::vector<uint8_t> &ink, int width, int height, const std::vector<QPoint> &ends)
{
    std::vector<QPoint> stack;
    for (const QPoint &end : ends) {
        // An antialiased arc need not touch the straight edge it continues: start from any
        // edge pixel a few pixels around the end.
        stack.clear();
        for (int dy = -cornerGap; dy <= cornerGap; ++dy)
            for (int dx = -cornerGap; dx <= cornerGap; ++dx)
                stack.emplace_back(end.x() + dx, end.y() + dy);
        while (!stack.empty()) {
            const QPoint p = stack.back();
            stack.pop_back();
            if (p.x() < 0 || p.y() < 0 || p.x() >= width || p.y() >= height)
                continue;
            if (std::abs(p.x() - end.x()) > cornerReach || std::abs(p.y() - end.y()) > cornerReach)
                continue;
            uint8_t &pixel = ink[size_t(p.y()) * width + p.x()];
            if (!pixel)
                continue;
            pixel = 0;
            for (int dy = -arcGap; dy <= arcGap; ++dy)
                for (int dx = -arcGap; dx <= arcGap; ++dx)
                    if (dx || dy)
                        stack.emplace_back(p.x() + dx, p.y() + dy);
        }
    }
}

// Pixels on a steep horizontal intensity step: the left and right edges of glyph strokes.
std::vector<uint8_t> strokeEdges(const QImage &gray)
{
    const int width = gray.width(), height = gray.height();
    std::vector<uint8_t> ink(size_t(width) * height, 0);
    for (int y = 0; y < height; ++y) {
        const uint8_t *row = gray.constScanLine(y);
        uint8_t *out = ink.data() + size_t(y) * width;
        for (int x = 1; x + 1 < width; ++x) {
            const int step = int(row[x + 1]) - int(row[x - 1]);
            out[x] = step > edgeContrast ? rising : (step < -edgeContrast ? falling : 0);
        }
    }
    // Panel and window borders are long unbroken vertical edges; glyph strokes are short.
    std::vector<QPoint> borderEnds;
    for (int x = 0; x < width; ++x) {
        int start = -1;
        for (int y = 0; y <= height; ++y) {
            const bool on = y < height && ink[size_t(y) * width + x];
            if (on && start < 0)
                start = y;
            if (!on && start >= 0) {
                if (y - start > borderRun) {
                    for (int k = start; k < y; ++k)
                        ink[size_t(k) * width + x] = 0;
                    borderEnds.emplace_back(x, start - 1);
                    borderEnds.emplace_back(x, y);
                }
                start = -1;
            }
        }
    }
    eraseRoundedCorners(ink, width, height, borderEnds);
    return ink;
}

struct CellGrid {
    int columns = 0, rows = 0;
    std::vector<uint8_t> marked, joined;
    uint8_t &at(std::vector<uint8_t> &v, int x, int y) { return v[size_t(y) * columns + x]; }
};

CellGrid markCells(const std::vector<uint8_t> &ink, int width, int height)
{
    CellGrid grid;
    grid.columns = (width + cell - 1) / cell;
    grid.rows = (height + cell - 1) / cell;
    grid.marked.assign(size_t(grid.columns) * grid.rows, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (ink[size_t(y) * width + x])
                grid.at(grid.marked, x / cell, y / cell) = 1;
    grid.joined.assign(grid.marked.size(), 0);
    for (int y = 0; y < grid.rows; ++y)
        for (int x = 0; x < grid.columns; ++x) {
            if (!grid.at(grid.marked, x, y))
                continue;
            const int y0 = std::max(0, y - lineGapCells), y1 = std::min(grid.rows - 1, y + lineGapCells);
            const int x0 = std::max(0, x - wordGapCells), x1 = std::min(grid.columns - 1, x + wordGapCells);
            for (int yy = y0; yy <= y1; ++yy)
                std::fill_n(grid.joined.begin() + size_t(yy) * grid.columns + x0, x1 - x0 + 1, 1);
        }
    return grid;
}

// The strongest horizontal step in each row of `rect`.
std::vector<int> rowContrasts(const QImage &gray, const QRect &rect)
{
    std::vector<int> contrasts;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        const uint8_t *row = gray.constScanLine(y);
        int strongest = 0;
        for (int x = std::max(1, rect.left()); x <= std::min(gray.width() - 2, rect.right()); ++x)
            strongest = std::max(strongest, std::abs(int(row[x + 1]) - int(row[x - 1])));
        contrasts.push_back(strongest);
    }
    return contrasts;
}

// The runs of rows whose count of ink pixels is not zero, in row indices of `counts`.
std::vector<InkRows> rowsWithInk(const std::vector<int> &counts)
{
    std::vector<InkRows> runs;
    int start = -1;
    for (int y = 0; y <= int(counts.size()); ++y) {
        const bool any = y < int(counts.size()) && counts[size_t(y)] > 0;
        if (any && start < 0)
            start = y;
        else if (!any && start >= 0) {
            runs.push_back({start, y - 1});
            start = -1;
        }
    }
    return runs;
}

// Lines that a mark drawn across them (an arrow, a slanted rule) joins into one run of rows:
// between them lie a few rows where only that mark's thin trace has ink. Each run is cut at
// the emptiest row of every such valley that has text rows on both sides; the rows at the top
// and bottom of a line (ascenders, descenders) are no valley, as text lies on one side only.
std::vector<InkRows> splitAtValleys(const std::vector<InkRows> &runs, const std::vector<int> &counts)
{
    std::vector<InkRows> lines;
    for (const InkRows &run : runs) {
        const int peak = *std::max_element(counts.begin() + run.first, counts.begin() + run.last + 1);
        const auto weak = [&](int y) { return counts[size_t(y)] <= valleyShare * peak; };
        int first = run.first, y = run.first;
        while (y <= run.last) {
            if (!weak(y)) {
                ++y;
                continue;
            }
            int end = y;
            while (end + 1 <= run.last && weak(end + 1))
                ++end;
            if (y > run.first && end < run.last && end - y + 1 >= shortestValley) {
                const int cut = int(std::min_element(counts.begin() + y, counts.begin() + end + 1) - counts.begin());
                lines.push_back({first, cut - 1});
                first = cut + 1;
            }
            y = end + 1;
        }
        lines.push_back({first, run.last});
    }
    return lines;
}

// The runs of rows that hold ink inside `rect` (one per line) and their median height. Low,
// faint runs beside the block's text are what is left of a thin outline's corners: no lines.
void measureLines(const QImage &gray, const std::vector<uint8_t> &ink, TextBlock &block)
{
    const QRect &rect = block.rect;
    const int width = gray.width();
    struct Run {
        InkRows rows;
        int contrast = 0;
        int height() const { return rows.last - rows.first + 1; }
    };
    std::vector<Run> runs;
    const std::vector<int> contrasts = rowContrasts(gray, rect);
    std::vector<int> counts;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        const uint8_t *row = ink.data() + size_t(y) * width;
        counts.push_back(int(std::count_if(row + rect.left(), row + rect.right() + 1, [](uint8_t v) { return v; })));
    }
    for (const InkRows &rows : splitAtValleys(rowsWithInk(counts), counts))
        runs.push_back({{rect.top() + rows.first, rect.top() + rows.last},
                        *std::max_element(contrasts.begin() + rows.first, contrasts.begin() + rows.last + 1)});
    int tallest = 0, strongest = 0;
    for (const Run &run : runs)
        tallest = std::max(tallest, run.height()), strongest = std::max(strongest, run.contrast);
    block.lines.clear();
    for (const Run &run : runs)
        if (run.height() >= outlineHeightShare * tallest || run.contrast >= outlineContrastShare * strongest)
            block.lines.push_back(run.rows);
    block.lineCount = std::max<int>(1, int(block.lines.size()));
    block.lineHeight = rect.height();
    if (!block.lines.empty()) {
        std::vector<int> heights;
        for (const InkRows &line : block.lines)
            heights.push_back(line.last - line.first + 1);
        std::nth_element(heights.begin(), heights.begin() + heights.size() / 2, heights.end());
        block.lineHeight = heights[heights.size() / 2];
    }
}

// Groups whose extents overlap, each as one: a group that reaches around another (an L of
// lines) would otherwise read the other's text as well.
std::vector<QRect> mergedOverlaps(std::vector<QRect> rects)
{
    // A merged extent may reach a group it did not before: repeat until nothing changes.
    for (bool merged = true; merged;) {
        merged = false;
        for (size_t a = 0; a < rects.size(); ++a)
            for (size_t b = a + 1; b < rects.size();) {
                if (!rects[a].intersects(rects[b])) {
                    ++b;
                    continue;
                }
                rects[a] |= rects[b];
                rects.erase(rects.begin() + std::ptrdiff_t(b));
                merged = true;
            }
    }
    return rects;
}

// The connected groups of joined cells, each as the extent of its marked cells.
std::vector<QRect> groupCells(CellGrid &grid, int width, int height)
{
    std::vector<QRect> rects;
    std::vector<uint8_t> seen(grid.joined.size(), 0);
    std::vector<int> stack;
    for (int start = 0; start < grid.columns * grid.rows; ++start) {
        if (!grid.joined[start] || seen[start])
            continue;
        seen[start] = 1;
        stack.push_back(start);
        int left = grid.columns, top = grid.rows, right = -1, bottom = -1;
        while (!stack.empty()) {
            const int k = stack.back();
            stack.pop_back();
            const int x = k % grid.columns, y = k / grid.columns;
            if (grid.marked[k]) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
            constexpr std::array<std::array<int, 2>, 4> steps{{{1, 0}, {-1, 0}, {0, 1}, {0, -1}}};
            for (const auto &step : steps) {
                const int xx = x + step[0], yy = y + step[1];
                if (xx < 0 || yy < 0 || xx >= grid.columns || yy >= grid.rows)
                    continue;
                const int kk = yy * grid.columns + xx;
                if (grid.joined[kk] && !seen[kk]) {
                    seen[kk] = 1;
                    stack.push_back(kk);
                }
            }
        }
        if (right < 0)
            continue;
        const QRect rect(QPoint(left * cell, top * cell),
                         QPoint(std::min(width, (right + 1) * cell) - 1, std::min(height, (bottom + 1) * cell) - 1));
        if (rect.width() >= smallestSide && rect.height() >= smallestSide)
            rects.push_back(rect);
    }
    return mergedOverlaps(std::move(rects));
}

struct VerticalRun {
    int x, first, last;
    int length() const { return last - first + 1; }
};

std::vector<VerticalRun> verticalRuns(const std::vector<uint8_t> &ink, int width, const QRect &rect)
{
    std::vector<VerticalRun> runs;
    for (int x = rect.left(); x <= rect.right(); ++x) {
        int start = -1;
        for (int y = rect.top(); y <= rect.bottom() + 1; ++y) {
            const bool on = y <= rect.bottom() && ink[size_t(y) * width + x];
            if (on && start < 0)
                start = y;
            if (!on && start >= 0) {
                runs.push_back({x, start, y - 1});
                start = -1;
            }
        }
    }
    return runs;
}

// Whether a vertical edge is a lone step, as the side of a fill or a picture is: in most of
// its rows no edge of the opposite direction lies within a stroke's width, as it does for the
// two sides of every glyph stroke (and of a thin outline).
bool isLoneStep(const std::vector<uint8_t> &ink, int width, const VerticalRun &run)
{
    // Half a glyph's height is wider than its strokes, also where two of them run so close that
    // the edges between them fade ("ㅐ" in small text); the outline of a button set beside a
    // filled one is further away.
    const int reach = std::clamp(run.length() / 2, 4, 8);
    int paired = 0;
    for (int y = run.first; y <= run.last; ++y) {
        const uint8_t *row = ink.data() + size_t(y) * width;
        const uint8_t opposite = row[run.x] == rising ? falling : rising;
        bool found = false;
        for (int d = 2; d <= reach && !found; ++d)
            found = (run.x - d >= 0 && row[run.x - d] == opposite) || (run.x + d < width && row[run.x + d] == opposite);
        paired += found;
    }
    return paired < loneStepShare * run.length();
}

// The length of the vertical run each ink pixel of `rect` belongs to (0 off the ink), in
// rows of `rect`.
std::vector<uint16_t> runLengths(const std::vector<VerticalRun> &runs, const QRect &rect)
{
    std::vector<uint16_t> lengths(size_t(rect.width()) * rect.height(), 0);
    for (const VerticalRun &run : runs)
        for (int y = run.first; y <= run.last; ++y)
            lengths[size_t(y - rect.top()) * rect.width() + (run.x - rect.left())] =
                uint16_t(std::min(run.length(), 65535));
    return lengths;
}

// The rows of the shorter ink (no twin of the edge) within `reach` columns to either side of
// a vertical edge, as first and last; first > last when there is none.
InkRows textRowsBeside(const std::vector<uint16_t> &lengths, const QRect &rect, const VerticalRun &run, int reach)
{
    const int twin = int(twinShare * run.length());
    const int left = std::max(rect.left(), run.x - reach), right = std::min(rect.right(), run.x + reach);
    InkRows rows{run.last + 1, run.first - 1};
    for (int y = run.first; y <= run.last; ++y) {
        const uint16_t *row = lengths.data() + size_t(y - rect.top()) * rect.width() - rect.left();
        for (int x = left; x <= right; ++x)
            if (row[x] && row[x] < twin) {
                rows.first = std::min(rows.first, y), rows.last = std::max(rows.last, y);
                break;
            }
    }
    return rows;
}

// Whether a vertical edge reaches above and below all shorter ink beside it (within its own
// length to either side), as the side of a button does around its label; a glyph stroke
// ends level with its neighbours at the top or at the bottom. With nothing that near, the
// text up to twice its length away is taken: the first stem of a large capital (the H of
// "Hello") has only its own other stem within one length, and the next letter just beyond.
// Edges with nothing beside them even then count as reaching past it.
bool reachesPastTextBeside(const std::vector<uint16_t> &lengths, const QRect &rect, const VerticalRun &run)
{
    InkRows beside = textRowsBeside(lengths, rect, run, run.length());
    if (beside.first > beside.last)
        beside = textRowsBeside(lengths, rect, run, farReach * run.length());
    const int margin = std::max(2, run.length() / reachDivisor);
    return beside.first - run.first >= margin && run.last - beside.last >= margin;
}

// Whether column `x` holds edge pixels in at least half of `run`'s rows: the other side of the
// same stroke or outline, or a column of its antialiased edge.
bool sameStroke(const std::vector<uint8_t> &ink, int width, const VerticalRun &run, int x)
{
    if (x < 0 || x >= width)
        return false;
    int count = 0;
    for (int y = run.first; y <= run.last; ++y)
        count += ink[size_t(y) * width + x] != 0;
    return 2 * count >= run.length();
}

bool anyInk(const std::vector<uint8_t> &ink, int width, const VerticalRun &run, int from, int to)
{
    for (int y = run.first; y <= run.last; ++y)
        for (int x = std::max(0, from); x <= std::min(width - 1, to); ++x)
            if (ink[size_t(y) * width + x])
                return true;
    return false;
}

// Whether no other ink lies close beside a vertical edge on either side, as around the side of a
// button (its label keeps a padding inside, the next button or the panel lies further outside);
// the tall stroke of a glyph has the rest of its glyph or the next one close by.
bool clearOnBothSides(const std::vector<uint8_t> &ink, int width, const VerticalRun &run)
{
    int left = run.x, right = run.x;
    while (sameStroke(ink, width, run, left - 1) || sameStroke(ink, width, run, left - 2))
        left -= sameStroke(ink, width, run, left - 1) ? 1 : 2;
    while (sameStroke(ink, width, run, right + 1) || sameStroke(ink, width, run, right + 2))
        right += sameStroke(ink, width, run, right + 1) ? 1 : 2;
    const int clearance = std::max(minimumClearance, run.length() / clearanceDivisor);
    return !anyInk(ink, width, run, left - clearance, left - 1) &&
        !anyInk(ink, width, run, right + 1, right + clearance);
}

// The median level of the pixels of `patch`.
int patchLevel(const QImage &gray, const QRect &patch)
{
    std::vector<uint8_t> levels;
    for (int y = patch.top(); y <= patch.bottom(); ++y)
        for (int x = patch.left(); x <= patch.right(); ++x)
            levels.push_back(gray.constScanLine(y)[x]);
    std::nth_element(levels.begin(), levels.begin() + levels.size() / 2, levels.end());
    return levels[levels.size() / 2];
}

// Whether the inside of a box is a picture rather than an even fill (a button's or a
// highlight's): its four corners, where no label reaches, differ in level.
bool isPicture(const QImage &gray, const QRect &inside)
{
    const QSize patch(cornerPatch, cornerPatch);
    if (inside.width() < 2 * cornerPatch || inside.height() < 2 * cornerPatch)
        return false;
    const int levels[] = {
        patchLevel(gray, QRect(inside.topLeft(), patch)),
        patchLevel(gray, QRect(inside.topRight() - QPoint(cornerPatch - 1, 0), patch)),
        patchLevel(gray, QRect(inside.bottomLeft() - QPoint(0, cornerPatch - 1), patch)),
        patchLevel(gray, QRect(inside.bottomRight() - QPoint(cornerPatch - 1, cornerPatch - 1), patch)),
    };
    return *std::max_element(std::begin(levels), std::end(levels)) -
        *std::min_element(std::begin(levels), std::end(levels)) >
        evenFillSpread;
}

// Whether a vertical edge nearly as long as `side` lies between columns `from` and `to` in
// its rows: the side of another box, so that the two are no box's sides. A faint step counts:
// a thin outline set at a fractional position is spread over two columns at half its contrast.
bool sideBetween(const QImage &gray, const VerticalRun &side, int from, int to)
{
    const int needed = int(twinShare * side.length());
    for (int x = std::max(1, from + 1); x < std::min(gray.width() - 1, to); ++x) {
        int run = 0;
        for (int y = side.first; y <= side.last && run < needed; ++y) {
            const uint8_t *row = gray.constScanLine(y);
            run = std::abs(int(row[x + 1]) - int(row[x - 1])) > faintContrast ? run + 1 : 0;
        }
        if (run >= needed)
            return true;
    }
    return false;
}

// Whether two vertical edges step in opposite directions, as the two sides of one fill do
// (into it and out of it); the same sides of two boxes step the same way.
bool oppositeSteps(const std::vector<uint8_t> &ink, int width, const VerticalRun &left, const VerticalRun &right)
{
    const uint8_t a = ink[size_t((left.first + left.last) / 2) * width + left.x];
    const uint8_t b = ink[size_t((right.first + right.last) / 2) * width + right.x];
    return a != b;
}

// The pictures among the boxes whose two sides are among `edges` (in column order): a left
// and a right side of about the same rows with no other side between them.
std::vector<QRect> pictures(const QImage &gray, const std::vector<uint8_t> &ink, const std::vector<VerticalRun> &edges)
{
    std::vector<QRect> found;
    for (size_t a = 0; a < edges.size(); ++a) {
        const VerticalRun &left = edges[a];
        for (size_t b = a + 1; b < edges.size(); ++b) {
            const VerticalRun &right = edges[b];
            if (right.x - left.x < narrowestBox || std::abs(right.first - left.first) > cornerGap ||
                std::abs(right.last - left.last) > cornerGap || !oppositeSteps(ink, gray.width(), left, right))
                continue;
            if (sideBetween(gray, left, left.x + cornerGap, right.x - cornerGap))
                break;
            const QRect inside(QPoint(left.x + cornerGap, std::max(left.first, right.first)),
                               QPoint(right.x - cornerGap, std::min(left.last, right.last)));
            if (isPicture(gray, inside))
                found.push_back(QRect(QPoint(left.x, std::min(left.first, right.first)),
                                      QPoint(right.x, std::max(left.last, right.last)))
                                    .adjusted(-cornerGap, -cornerGap, cornerGap, cornerGap));
            break;
        }
    }
    return found;
}

void eraseInside(std::vector<uint8_t> &ink, int width, int height, const QRect &box)
{
    const QRect r = box.intersected(QRect(0, 0, width, height));
    for (int y = r.top(); y <= r.bottom(); ++y)
        std::fill_n(ink.begin() + size_t(y) * width + r.left(), r.width(), 0);
}

// Erases the vertical edges of boxes inside the blocks: the sides of filled buttons and
// highlights, of outlines and of pictures, and everything inside a picture. They are no text,
// and a box's height taken as a line's would misjudge the text's size. Gives whether
// anything was erased.
bool eraseBoxEdges(const QImage &gray, std::vector<uint8_t> &ink, const std::vector<QRect> &rects)
{
    const int width = gray.width(), height = gray.height();
    std::vector<VerticalRun> edges;
    for (const QRect &rect : rects) {
        const std::vector<VerticalRun> runs = verticalRuns(ink, width, rect);
        const std::vector<uint16_t> lengths = runLengths(runs, rect);
        for (const VerticalRun &run : runs)
            if (run.length() >= shortestBoxEdge &&
                (isLoneStep(ink, width, run) ||
                 (reachesPastTextBeside(lengths, rect, run) && clearOnBothSides(ink, width, run))))
                edges.push_back(run);
    }
    // A picture's sides may lie in different blocks: the even middle of a gradient holds no ink.
    std::stable_sort(edges.begin(), edges.end(), [](const auto &a, const auto &b) { return a.x < b.x; });
    const std::vector<QRect> insides = pictures(gray, ink, edges);
    std::vector<QPoint> ends;
    for (const VerticalRun &run : edges) {
        for (int y = run.first; y <= run.last; ++y)
            ink[size_t(y) * width + run.x] = 0;
        ends.emplace_back(run.x, run.first - 1);
        ends.emplace_back(run.x, run.last + 1);
    }
    eraseRoundedCorners(ink, width, height, ends);
    for (const QRect &inside : insides)
        eraseInside(ink, width, height, inside);
    return !ends.empty();
}

// The parts of a block that its lines keep further apart than words and glyphs: a row of
// buttons whose labels only the remains of their outlines joined. The block itself when there are none.
std::vector<QRect> partsApart(const std::vector<uint8_t> &ink, int width, const TextBlock &block)
{
    const QRect &rect = block.rect;
    std::vector<bool> used(size_t(rect.width()), false);
    for (const InkRows &line : block.lines)
        for (int y = line.first; y <= line.last; ++y)
            for (int x = rect.left(); x <= rect.right(); ++x)
                if (ink[size_t(y) * width + x])
                    used[size_t(x - rect.left())] = true;
    // Within a large glyph its edges lie up to about a line's height apart.
    const int apart = std::max(wordGapCells * cell + 1, block.lineHeight * 3 / 2);
    std::vector<QRect> parts;
    int start = -1, lastUsed = -1;
    for (int x = 0; x <= rect.width(); ++x) {
        const bool on = x < rect.width() && used[size_t(x)];
        if (on && start >= 0 && x - lastUsed > apart) {
            parts.push_back(
                QRect(QPoint(rect.left() + start, rect.top()), QPoint(rect.left() + lastUsed, rect.bottom())));
            start = -1;
        }
        if (on) {
            start = start < 0 ? x : start;
            lastUsed = x;
        }
    }
    if (start >= 0)
        parts.push_back(QRect(QPoint(rect.left() + start, rect.top()), QPoint(rect.left() + lastUsed, rect.bottom())));
    if (parts.size() <= 1)
        return {rect};
    return parts;
}

} // namespace

std::vector<TextBlock> findTextBlocks(const QImage &gray) { return findTextBlocks(gray, inkPatches(gray)); }

std::vector<TextBlock> findTextBlocks(const QImage &gray, InkPatches patches)
{
    std::vector<TextBlock> blocks;
    if (gray.isNull() || gray.format() != QImage::Format_Grayscale8)
        return blocks;
    const int width = gray.width(), height = gray.height();
    std::vector<uint8_t> &ink = patches.edges;
    std::vector<QRect> &rects = patches.rects;
    // Boxes are told from text by comparing them with the text beside them, so the blocks are
    // found once with them and once more without.
    if (eraseBoxEdges(gray, ink, rects)) {
        CellGrid grid = markCells(ink, width, height);
        rects = groupCells(grid, width, height);
    }
    for (const QRect &rect : rects) {
        TextBlock block;
        block.rect = rect;
        measureLines(gray, ink, block);
        for (const QRect &part : partsApart(ink, width, block)) {
            TextBlock piece;
            piece.rect = part;
            measureLines(gray, ink, piece);
            blocks.push_back(piece);
        }
    }
    return blocks;
}

InkPatches inkPatches(const QImage &gray)
{
    if (gray.isNull() || gray.format() != QImage::Format_Grayscale8)
        return {};
    InkPatches patches{strokeEdges(gray), {}};
    CellGrid grid = markCells(patches.edges, gray.width(), gray.height());
    patches.rects = groupCells(grid, gray.width(), gray.height());
    return patches;
}

FrameLevels frameLevels(const QImage &gray, const QRect &rect)
{
    FrameLevels frame;
    const QRect r = rect.intersected(gray.rect());
    if (r.isEmpty())
        return frame;
    const auto add = [&](int x, int y) { ++frame.histogram[gray.constScanLine(y)[x]], ++frame.count; };
    for (int x = r.left(); x <= r.right(); ++x)
        add(x, r.top()), add(x, r.bottom());
    for (int y = r.top(); y <= r.bottom(); ++y)
        add(r.left(), y), add(r.right(), y);
    return frame;
}

int backgroundLevel(const FrameLevels &frame)
{
    int seen = 0;
    for (int level = 0; level < 256; ++level) {
        seen += frame.histogram[size_t(level)];
        if (2 * seen >= frame.count && frame.count > 0)
            return level;
    }
    return 255;
}

int backgroundLevel(const QImage &gray, const QRect &rect) { return backgroundLevel(frameLevels(gray, rect)); }

bool isLightOnDark(const QImage &gray, const QRect &rect)
{
    const QRect r = rect.intersected(gray.rect());
    if (r.isEmpty())
        return false;
    int64_t sum = 0;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        const uint8_t *row = gray.constScanLine(y);
        for (int x = r.left(); x <= r.right(); ++x)
            sum += row[x];
    }
    const double mean = double(sum) / (int64_t(r.width()) * r.height());
    return mean > backgroundLevel(gray, r);
}

} // namespace tarn
