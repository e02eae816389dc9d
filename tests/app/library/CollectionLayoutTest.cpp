// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "app/library/CollectionLayout.h"

namespace tarn {
namespace {

int fixedCard(int width) { return width / 2 + 60; }

TEST(CollectionLayoutTest, GridColumnsStayBetween240And410PixelsAndCentreOnceAtTheirWidest)
{
    struct Case {
        int width;
        int columns;
        double cellWidth;
        double left;
    };
    const Case cases[] = {
        {200, 1, 200, 0}, // narrower than one column: the one column shrinks
        {240, 1, 240, 0},
        {410, 1, 410, 0},
        {497, 1, 410, 43.5}, // two columns need 498: one, at its widest,
                             // centred
        {498, 2, 240, 0},
        {838, 3, 267.333, 0},
        {1031, 4, 244.25, 0},
        {1290, 5, 243.6, 0},
        {2000, 7, 270.286, 0},
    };
    for (const Case &c : cases) {
        const CollectionLayout layout = CollectionLayout::grid(c.width, &fixedCard);
        EXPECT_EQ(layout.columns, c.columns) << c.width;
        EXPECT_NEAR(layout.cellWidth, c.cellWidth, 0.001) << c.width;
        EXPECT_NEAR(layout.left, c.left, 0.001) << c.width;
        EXPECT_GE(layout.cellWidth, std::min(c.width, CollectionLayout::minColumn));
        EXPECT_LE(layout.cellWidth, CollectionLayout::maxColumn);
        // The last column ends inside the width.
        EXPECT_LE(layout.cellRect(layout.columns - 1).right(), c.width);
    }
}

TEST(CollectionLayoutTest, CellsRowsAndTheVisibleRangeLineUp)
{
    const CollectionLayout grid = CollectionLayout::grid(838, &fixedCard); // 3 columns of 267.3
    EXPECT_EQ(grid.cellHeight, 193);
    EXPECT_EQ(grid.cellRect(0), QRect(0, 0, 267, 193));
    EXPECT_EQ(grid.cellRect(4).topLeft(), QPoint(285, 213));
    EXPECT_EQ(grid.totalHeight(0), 0);
    EXPECT_EQ(grid.totalHeight(7), 3 * 193 + 2 * 20);
    EXPECT_EQ(grid.range(0, 100, 7), std::make_pair(0, 3));
    EXPECT_EQ(grid.range(200, 213, 7), std::make_pair(0, 3)); // the gap under a row shows nothing new
    EXPECT_EQ(grid.range(200, 214, 7), std::make_pair(0, 6));
    EXPECT_EQ(grid.range(-500, 10'000, 7), std::make_pair(0, 7));
    EXPECT_EQ(grid.range(5000, 6000, 7), std::make_pair(7, 7));

    const CollectionLayout list = CollectionLayout::list(900, 72);
    EXPECT_EQ(list.cellRect(2), QRect(0, 160, 900, 72));
    EXPECT_EQ(list.totalHeight(10'000), 10'000 * 80 - 8);
    EXPECT_EQ(list.range(400'000, 400'800, 10'000), std::make_pair(5000, 5010));
}

} // namespace
} // namespace tarn
