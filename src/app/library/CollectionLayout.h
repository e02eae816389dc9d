// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <utility>

#include <QRect>

namespace tarn {

// Where the cells of the library contents go. The grid has as many columns of 240 to 410
// pixels as fit with 18 between them (20 between rows) and stands centred when its columns
// have reached their widest; the list is one full-width row per capture, 8 apart.
struct CollectionLayout {
    static constexpr int minColumn = 240;
    static constexpr int maxColumn = 410;
    static constexpr int columnSpacing = 18;
    static constexpr int rowSpacing = 20;
    static constexpr int listSpacing = 8;

    int columns = 1;
    double cellWidth = 0;
    double left = 0;
    int cellHeight = 0;
    int spacing = 0; // between rows

    // `cardHeight` gives a card's height for a column width.
    static CollectionLayout grid(int width, int (*cardHeight)(int width));
    static CollectionLayout list(int width, int rowHeight);

    QRect cellRect(int index) const;
    int totalHeight(int count) const;
    // The cells [first, last) that meet the band of rows from `top` to `bottom`.
    std::pair<int, int> range(int top, int bottom, int count) const;
};

} // namespace tarn
