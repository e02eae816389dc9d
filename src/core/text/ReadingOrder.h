// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include "core/model/TextRegion.h"

namespace tarn {

// Lines whose tops lie within this fraction of the image height form one row.
inline constexpr double readingRowTolerance = 0.008;

// Whether a reads before b: within one row left to right, otherwise top to bottom.
// The rule is not transitive (rows are formed pairwise, not by clustering), so it is no
// strict weak ordering and must never be handed to std::sort or std::stable_sort.
bool readsBefore(const UnitRect &a, const UnitRect &b);

// Stable merge sort that only ever asks readsBefore: regions of which neither reads before
// the other keep their order.
void sortIntoReadingOrder(std::vector<TextRegion> &regions);

} // namespace tarn
