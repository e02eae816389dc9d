// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text/ZeroGlyphs.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include <QString>

namespace tarn {

namespace {

// Pixels below this level are ink here: the side of a small zero set between two columns is faint.
constexpr int faintest = 200;
constexpr double digitShare = 0.4; // a digit is at least this share of the line's height high
constexpr int parting = 48;        // the column between two glyphs that touch is this much lighter than both
constexpr double arcShare = 0.2;   // a zero's top and bottom arcs take this share of its height each;
constexpr double sideBand = 0.3;   // between them its sides lie in this share of its width on either side,
constexpr double sideShare = 0.5;  // each with ink of at least this share of its strongest in every row,
constexpr double roomShare = 0.5;  // and between them a pixel with less than this share of it

bool inked(const QImage &gray, int x, int y) { return gray.constScanLine(y)[x] < faintest; }

// The level of the darkest pixel of each column of `area`.
std::vector<int> darkestOfColumns(const QImage &gray, const QRect &area)
{
    std::vector<int> darkest(size_t(area.width()), 255);
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const uint8_t *row = gray.constScanLine(y);
        for (int x = area.left(); x <= area.right(); ++x)
            darkest[size_t(x - area.left())] = std::min<int>(darkest[size_t(x - area.left())], row[x]);
    }
    return darkest;
}

// Where the run of columns [from, to] (indices of `darkest`) parts best in two: at its lightest
// column that is lighter by `parting` than the darkest columns on either side of it; -1 when none is.
int partingColumn(const std::vector<int> &darkest, int from, int to)
{
    int best = -1;
    for (int x = from + 1; x < to; ++x) {
        const int before = *std::min_element(darkest.begin() + from, darkest.begin() + x),
                  after = *std::min_element(darkest.begin() + x + 1, darkest.begin() + to + 1);
        if (darkest[size_t(x)] - std::max(before, after) >= parting &&
            (best < 0 || darkest[size_t(x)] > darkest[size_t(best)]))
            best = x;
    }
    return best;
}

// The glyphs of the line's rows whose middles lie in the columns of `box`, `count` of them where
// glyphs that touch can be parted so: runs of inked columns, each followed past the box (the
// engine's box may cut a glyph), and the runs that hold fewer glyphs parted at their lightest
// columns.
std::vector<QRect> glyphsOf(const QImage &gray, const QRect &line, const QRect &box, size_t count)
{
    const QRect area = QRect(box.left() - line.height(), line.top(), box.width() + 2 * line.height(), line.height())
                           .intersected(gray.rect());
    const std::vector<int> darkest = darkestOfColumns(gray, area);
    std::vector<std::pair<int, int>> runs;
    for (int x = 0; x < area.width(); ++x)
        if (darkest[size_t(x)] < faintest) {
            if (runs.empty() || runs.back().second != x - 1)
                runs.emplace_back(x, x);
            else
                runs.back().second = x;
        }
    const auto within = [&](const std::pair<int, int> &run) {
        const int middle = area.left() + (run.first + run.second) / 2;
        return middle >= box.left() && middle <= box.right();
    };
    std::erase_if(runs, [&](const auto &run) { return !within(run); });
    while (runs.size() < count) {
        int bestRun = -1, bestColumn = -1;
        for (size_t k = 0; k < runs.size(); ++k)
            if (const int x = partingColumn(darkest, runs[k].first, runs[k].second);
                x >= 0 && (bestColumn < 0 || darkest[size_t(x)] > darkest[size_t(bestColumn)]))
                bestRun = int(k), bestColumn = x;
        if (bestRun < 0)
            break;
        const std::pair<int, int> run = runs[size_t(bestRun)];
        runs[size_t(bestRun)] = {run.first, bestColumn - 1};
        runs.insert(runs.begin() + bestRun + 1, {bestColumn + 1, run.second});
    }
    std::vector<QRect> glyphs;
    for (const auto &[first, last] : runs) {
        QRect ink;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = first; x <= last; ++x)
                if (inked(gray, area.left() + x, y))
                    ink |= QRect(area.left() + x, y, 1, 1);
        glyphs.push_back(ink);
    }
    return glyphs;
}

// Whether the glyph inked in `ink` is a zero's ring (see ZeroGlyphs.h).
bool isRing(const QImage &gray, const QRect &ink)
{
    const auto inkAt = [&](int x, int y) { return 255 - int(gray.constScanLine(y)[x]); };
    int strongest = 0;
    for (int y = ink.top(); y <= ink.bottom(); ++y)
        for (int x = ink.left(); x <= ink.right(); ++x)
            strongest = std::max(strongest, inkAt(x, y));
    const int band = std::max(1, int(sideBand * ink.width() + 0.5)), arcs = int(arcShare * ink.height());
    for (int y = ink.top() + arcs; y <= ink.bottom() - arcs; ++y) {
        int left = 0, right = 0, lightest = 255;
        for (int x = ink.left(); x <= ink.right(); ++x) {
            const int v = inkAt(x, y);
            if (x < ink.left() + band)
                left = std::max(left, v);
            else if (x > ink.right() - band)
                right = std::max(right, v);
            else
                lightest = std::min(lightest, v);
        }
        if (std::min(left, right) < sideShare * strongest || lightest >= roomShare * strongest)
            return false;
    }
    return true;
}

} // namespace

std::string withZerosOfItsInk(const QImage &gray, const QRect &line, const RecognizedWord &word)
{
    const QString text = QString::fromStdString(word.text);
    const auto mayBeZero = [](QChar c) { return c == u'6' || c == u'9'; };
    if (line.isEmpty() || word.box.isEmpty() || std::none_of(text.begin(), text.end(), mayBeZero))
        return word.text;
    const std::vector<QRect> glyphs = glyphsOf(gray, line.intersected(gray.rect()), word.box, size_t(text.size()));
    if (glyphs.size() != size_t(text.size()))
        return word.text;
    QString read = text;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QRect &ink = glyphs[size_t(i)];
        if (!text[i].isDigit())
            continue;
        if (ink.height() < digitShare * line.height() || ink.width() > ink.height())
            return word.text;
        if (mayBeZero(text[i]) && isRing(gray, ink))
            read[i] = u'0';
    }
    return read.toStdString();
}

} // namespace tarn
