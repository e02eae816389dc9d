// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text/TextBlocks.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>

namespace tarn {

namespace {

// Tuned on rendered interface text from 11 px to 40 px at 1x and 2x scale.
constexpr int edgeContrast = 40; // grey-level step over two pixels that counts as a stroke edge
constexpr int borderRun = 120;   // a vertical edge longer than this is a border, not a glyph
constexpr int cell = 4;          // block search resolution in pixels
constexpr int wordGapCells = 4;  // horizontal reach that joins letters and words into lines
constexpr int lineGapCells = 1;  // vertical reach that joins lines set close together
constexpr int smallestSide = 6;  // blocks narrower or lower than this hold no readable text
constexpr int cornerReach = 24;  // the largest corner radius of a panel, in pixels

// A rounded panel corner continues a border as a short arc, which would otherwise look like a
// small glyph. Erases the edge pixels connected to each end of an erased border, within the
// reach of a corner radius.
void eraseRoundedCorners(std::vector<uint8_t> &ink, int width, int height, const std::vector<QPoint> &ends)
{
    std::vector<QPoint> stack;
    for (const QPoint &end : ends) {
        stack.clear();
        for (int dx = -1; dx <= 1; ++dx)
            stack.emplace_back(end.x() + dx, end.y());
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
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
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
        for (int x = 1; x + 1 < width; ++x)
            out[x] = std::abs(int(row[x + 1]) - int(row[x - 1])) > edgeContrast;
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

// The runs of rows that hold ink inside `rect` (one per line) and their median height.
void measureLines(const std::vector<uint8_t> &ink, int width, TextBlock &block)
{
    const QRect &rect = block.rect;
    std::vector<int> runs;
    int run = 0;
    for (int y = rect.top(); y <= rect.bottom() + 1; ++y) {
        bool any = false;
        if (y <= rect.bottom()) {
            const uint8_t *row = ink.data() + size_t(y) * width;
            any = std::any_of(row + rect.left(), row + rect.right() + 1, [](uint8_t v) { return v != 0; });
        }
        if (any)
            ++run;
        else if (run > 0) {
            runs.push_back(run);
            run = 0;
        }
    }
    block.lineCount = std::max<int>(1, int(runs.size()));
    block.lineHeight = rect.height();
    if (!runs.empty()) {
        std::nth_element(runs.begin(), runs.begin() + runs.size() / 2, runs.end());
        block.lineHeight = runs[runs.size() / 2];
    }
}

} // namespace

std::vector<TextBlock> findTextBlocks(const QImage &gray)
{
    std::vector<TextBlock> blocks;
    if (gray.isNull() || gray.format() != QImage::Format_Grayscale8)
        return blocks;
    const int width = gray.width(), height = gray.height();
    const std::vector<uint8_t> ink = strokeEdges(gray);
    CellGrid grid = markCells(ink, width, height);

    // Connected groups of joined cells; a block's extent is that of its marked cells only.
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
        if (rect.width() < smallestSide || rect.height() < smallestSide)
            continue;
        TextBlock block{rect};
        measureLines(ink, width, block);
        blocks.push_back(block);
    }
    return blocks;
}

int backgroundLevel(const QImage &gray, const QRect &rect)
{
    std::array<int, 256> histogram{};
    int count = 0;
    const QRect r = rect.intersected(gray.rect());
    if (r.isEmpty())
        return 255;
    for (int x = r.left(); x <= r.right(); ++x) {
        ++histogram[gray.constScanLine(r.top())[x]];
        ++histogram[gray.constScanLine(r.bottom())[x]];
        count += 2;
    }
    for (int y = r.top(); y <= r.bottom(); ++y) {
        ++histogram[gray.constScanLine(y)[r.left()]];
        ++histogram[gray.constScanLine(y)[r.right()]];
        count += 2;
    }
    int seen = 0;
    for (int level = 0; level < 256; ++level) {
        seen += histogram[level];
        if (2 * seen >= count)
            return level;
    }
    return 255;
}

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
