// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text/DarkOnWhite.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace tarn {

namespace {

constexpr int sameBackground = 24;        // grey levels within which neighbouring columns share a background
constexpr int faintestText = 32;          // a run that differs less from its background holds no text
constexpr int throughLineDifference = 12; // a column differing this much in every row of a line is a box's side
constexpr int linePadding = 2;            // rows kept above and below a line's measured ink
constexpr int sampleReachDivisor = 4;     // background samples lie within this part of a line's height
constexpr int boundaryReach = 2;          // columns beside a change of background that may hold its edge

// A run of columns of one line with a similar background, in columns of the block.
struct BackgroundRun {
    int first = 0, last = 0;
    int level = 255;
    int width() const { return last - first + 1; }
};

// One line of the block: the rows of its ink, the rows drawn for it (its ink and a little
// more, past the block's edge too, never past the middle of the gap to the next line) and the
// rows free of ink around it whose pixels show its background.
struct LineRows {
    InkRows ink, drawn, samples;
};

std::vector<LineRows> lineRows(const TextBlock &block, int imageHeight)
{
    std::vector<LineRows> rows;
    const std::vector<InkRows> &lines = block.lines;
    for (size_t i = 0; i < lines.size(); ++i) {
        const InkRows ink = lines[i];
        const int previous = i == 0 ? -1 : lines[i - 1].last,
                  next = i + 1 == lines.size() ? imageHeight : lines[i + 1].first;
        const int above = i == 0 ? 0 : (previous + ink.first + 1) / 2;
        const int below = i + 1 == lines.size() ? imageHeight - 1 : (ink.last + next) / 2;
        const int reach = std::max(linePadding, (ink.last - ink.first + 1) / sampleReachDivisor);
        rows.push_back({ink,
                        {std::max(above, ink.first - linePadding), std::min(below, ink.last + linePadding)},
                        {std::max(previous + 1, ink.first - reach), std::min(next - 1, ink.last + reach)}});
    }
    return rows;
}

// The background of each column of the block: the median of the line's sample rows above and
// below its ink. Near rows only, as a button or a highlight may end a little way off.
std::vector<int> columnBackgrounds(const QImage &gray, const QRect &rect, const LineRows &line)
{
    std::vector<int> levels(size_t(rect.width()));
    std::vector<uint8_t> column;
    for (int x = 0; x < rect.width(); ++x) {
        column.clear();
        for (int y = line.samples.first; y <= line.samples.last; ++y)
            if (y < line.ink.first || y > line.ink.last)
                column.push_back(gray.constScanLine(y)[rect.left() + x]);
        if (column.empty()) { // lines touching: the ink rows themselves
            for (int y = line.ink.first; y <= line.ink.last; ++y)
                column.push_back(gray.constScanLine(y)[rect.left() + x]);
        }
        std::nth_element(column.begin(), column.begin() + column.size() / 2, column.end());
        levels[size_t(x)] = column[column.size() / 2];
    }
    return levels;
}

int medianLevel(const std::vector<int> &levels, const BackgroundRun &run)
{
    std::vector<int> part(levels.begin() + run.first, levels.begin() + run.last + 1);
    std::nth_element(part.begin(), part.begin() + part.size() / 2, part.end());
    return part[part.size() / 2];
}

// Cuts the columns into runs of similar background. Runs narrower than `narrowest` (a stroke
// that fills most of its column, the antialiased side of a fill) join the neighbour closest
// in level, and neighbours that end up alike join each other.
std::vector<BackgroundRun> backgroundRuns(const std::vector<int> &levels, int narrowest)
{
    std::vector<BackgroundRun> runs;
    for (int x = 0; x < int(levels.size()); ++x) {
        if (!runs.empty() && std::abs(levels[size_t(x)] - levels[size_t(x - 1)]) <= sameBackground)
            runs.back().last = x;
        else
            runs.push_back({x, x});
    }
    for (BackgroundRun &run : runs)
        run.level = medianLevel(levels, run);
    while (runs.size() > 1) {
        const auto narrow = std::min_element(runs.begin(), runs.end(),
                                             [](const auto &a, const auto &b) { return a.width() < b.width(); });
        if (narrow->width() >= narrowest)
            break;
        auto into = narrow == runs.begin() ? narrow + 1 : narrow - 1;
        if (narrow != runs.begin() && narrow + 1 != runs.end() &&
            std::abs((narrow + 1)->level - narrow->level) < std::abs(into->level - narrow->level))
            into = narrow + 1;
        into->first = std::min(into->first, narrow->first);
        into->last = std::max(into->last, narrow->last);
        into->level = medianLevel(levels, *into);
        runs.erase(narrow);
    }
    for (size_t i = 1; i < runs.size();) {
        if (std::abs(runs[i].level - runs[i - 1].level) > sameBackground) {
            ++i;
            continue;
        }
        runs[i - 1].last = runs[i].last;
        runs[i - 1].level = medianLevel(levels, runs[i - 1]);
        runs.erase(runs.begin() + long(i));
    }
    return runs;
}

// Whether a pixel near a change of background is rather the neighbouring run's background
// (the fill's antialiased side) than text of its own run.
bool isNeighbourBackground(int value, int x, const std::vector<BackgroundRun> &runs, size_t index)
{
    const BackgroundRun &run = runs[index];
    const int own = std::abs(value - run.level);
    if (index > 0 && x - run.first < boundaryReach && std::abs(value - runs[index - 1].level) < own)
        return true;
    return index + 1 < runs.size() && run.last - x < boundaryReach && std::abs(value - runs[index + 1].level) < own;
}

// The columns of a run that differ from its background in every row of the line, the rows
// above and below its ink included: the sides of boxes and pictures (even too faint to have
// been seen as edges), never glyph strokes, which end within the line's ink.
std::vector<bool> throughLines(const QImage &gray, const QRect &rect, InkRows rows, const BackgroundRun &run)
{
    std::vector<bool> through(size_t(run.width()), true);
    for (int y = rows.first; y <= rows.last; ++y) {
        const uint8_t *row = gray.constScanLine(y) + rect.left();
        for (int x = run.first; x <= run.last; ++x)
            if (std::abs(row[x] - run.level) < throughLineDifference)
                through[size_t(x - run.first)] = false;
    }
    return through;
}

void drawLine(const QImage &gray, const QRect &rect, const LineRows &line, QImage &out, int margin)
{
    const InkRows rows = line.drawn;
    const std::vector<int> levels = columnBackgrounds(gray, rect, line);
    const std::vector<BackgroundRun> runs = backgroundRuns(levels, std::max(4, rows.last - rows.first + 1));
    for (size_t index = 0; index < runs.size(); ++index) {
        const BackgroundRun &run = runs[index];
        int contrast = 0;
        for (int y = rows.first; y <= rows.last; ++y) {
            const uint8_t *row = gray.constScanLine(y) + rect.left();
            for (int x = run.first; x <= run.last; ++x)
                contrast = std::max(contrast, std::abs(row[x] - run.level));
        }
        if (contrast < faintestText)
            continue; // left white
        const std::vector<bool> sides = throughLines(gray, rect, rows, run);
        for (int y = rows.first; y <= rows.last; ++y) {
            const uint8_t *row = gray.constScanLine(y) + rect.left();
            uint8_t *target = out.scanLine(margin + y - rect.top()) + margin;
            for (int x = run.first; x <= run.last; ++x) {
                if (sides[size_t(x - run.first)] || isNeighbourBackground(row[x], x, runs, index))
                    continue;
                target[x] = uint8_t(255 - std::min(255, std::abs(row[x] - run.level) * 255 / contrast));
            }
        }
    }
}

} // namespace

QImage darkOnWhite(const QImage &gray, const TextBlock &block, int margin)
{
    const QRect rect = block.rect.intersected(gray.rect());
    QImage out(rect.size() + QSize(2 * margin, 2 * margin), QImage::Format_Grayscale8);
    out.fill(255);
    for (const LineRows &line : lineRows(block, gray.height()))
        drawLine(gray, rect, line, out, margin);
    return out;
}

} // namespace tarn
