// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text/ReadingOrder.h"

#include <algorithm>
#include <cmath>

namespace tarn {

bool readsBefore(const UnitRect &a, const UnitRect &b)
{
    if (std::abs(a.y - b.y) < readingRowTolerance)
        return a.x < b.x;
    return a.y < b.y;
}

namespace {

// Merges the sorted runs [begin, middle) and [middle, end) of `from` into `to`. An element of
// the right run goes first only when it reads before the left one, which keeps ties stable.
void mergeRuns(const std::vector<TextRegion> &from, std::vector<TextRegion> &to, size_t begin, size_t middle,
               size_t end)
{
    size_t left = begin, right = middle, out = begin;
    while (left < middle && right < end) {
        if (readsBefore(from[right].rect, from[left].rect))
            to[out++] = from[right++];
        else
            to[out++] = from[left++];
    }
    while (left < middle)
        to[out++] = from[left++];
    while (right < end)
        to[out++] = from[right++];
}

} // namespace

void sortIntoReadingOrder(std::vector<TextRegion> &regions)
{
    const size_t n = regions.size();
    std::vector<TextRegion> buffer(n);
    std::vector<TextRegion> *from = &regions, *to = &buffer;
    for (size_t width = 1; width < n; width *= 2) {
        for (size_t begin = 0; begin < n; begin += 2 * width) {
            const size_t middle = std::min(begin + width, n);
            const size_t end = std::min(begin + 2 * width, n);
            mergeRuns(*from, *to, begin, middle, end);
        }
        std::swap(from, to);
    }
    if (from != &regions)
        regions = std::move(*from);
}

} // namespace tarn
