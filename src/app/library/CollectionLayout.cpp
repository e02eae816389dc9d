// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/library/CollectionLayout.h"

#include <algorithm>
#include <cmath>

namespace tarn {

CollectionLayout CollectionLayout::grid(int width, int (*cardHeight)(int width))
{
    CollectionLayout layout;
    layout.columns = std::max(1, (width + columnSpacing) / (minColumn + columnSpacing));
    const double fitted = double(width - (layout.columns - 1) * columnSpacing) / layout.columns;
    layout.cellWidth = std::min<double>(maxColumn, fitted);
    const double used = layout.columns * layout.cellWidth + (layout.columns - 1) * columnSpacing;
    layout.left = std::max(0.0, (width - used) / 2);
    layout.cellHeight = cardHeight(int(std::floor(layout.cellWidth)));
    layout.spacing = rowSpacing;
    return layout;
}

CollectionLayout CollectionLayout::list(int width, int rowHeight)
{
    CollectionLayout layout;
    layout.cellWidth = width;
    layout.cellHeight = rowHeight;
    layout.spacing = listSpacing;
    return layout;
}

QRect CollectionLayout::cellRect(int index) const
{
    const int row = index / columns;
    const int column = index % columns;
    const double x = left + column * (cellWidth + columnSpacing);
    const int y = row * (cellHeight + spacing);
    const int x0 = int(std::lround(x));
    const int x1 = int(std::lround(x + cellWidth));
    return QRect(x0, y, x1 - x0, cellHeight);
}

int CollectionLayout::totalHeight(int count) const
{
    if (count <= 0)
        return 0;
    const int rows = (count + columns - 1) / columns;
    return rows * cellHeight + (rows - 1) * spacing;
}

std::pair<int, int> CollectionLayout::range(int top, int bottom, int count) const
{
    const int pitch = cellHeight + spacing;
    if (count <= 0 || pitch <= 0 || bottom <= top)
        return {0, 0};
    const int firstRow = std::max(0, top / pitch);
    const int lastRow = std::max(0, (bottom - 1) / pitch);
    const int first = std::min(count, firstRow * columns);
    const int last = std::min(count, (lastRow + 1) * columns);
    return {first, last};
}

} // namespace tarn
