// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "platform/x11/X11WindowIcon.h"

namespace tarn::X11 {
namespace {

// A _NET_WM_ICON entry: width, height and every pixel set to `argb`.
std::vector<uint32_t> entry(uint32_t width, uint32_t height, uint32_t argb)
{
    std::vector<uint32_t> data{width, height};
    data.insert(data.end(), size_t(width) * height, argb);
    return data;
}

std::vector<uint32_t> join(std::initializer_list<std::vector<uint32_t>> parts)
{
    std::vector<uint32_t> data;
    for (const auto &part : parts)
        data.insert(data.end(), part.begin(), part.end());
    return data;
}

TEST(X11WindowIcon, PicksTheSmallestIconAtLeastTheSizeElseTheLargest)
{
    const auto small = entry(16, 16, 0xFF0000FF);
    const auto medium = entry(48, 48, 0xFF00FF00);
    const auto large = entry(128, 128, 0x80FF0000);
    struct Case {
        const char *name;
        std::vector<uint32_t> data;
        int size;
        QSize expected;
    };
    const Case cases[] = {
        {"nothing", {}, 34, QSize(0, 0)},
        {"one small", small, 34, QSize(16, 16)},
        {"smallest big enough", join({large, small, medium}), 34, QSize(48, 48)},
        {"exact", join({small, medium}), 16, QSize(16, 16)},
        {"all too small: the largest", join({small, medium}), 64, QSize(48, 48)},
        {"truncated second entry ignored", join({small, {64, 64, 1, 2, 3}}), 34, QSize(16, 16)},
        {"header only", {48, 48}, 34, QSize(0, 0)},
        {"absurd size", {100000, 100000, 0}, 34, QSize(0, 0)},
        {"zero width", join({{0, 16}, small}), 34, QSize(0, 0)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(pickIcon(c.data, c.size).size(), c.expected);
    }
    // Pixels are ARGB, alpha kept.
    const QImage image = pickIcon(large, 34);
    EXPECT_EQ(image.pixel(5, 5), 0x80FF0000u);
    EXPECT_TRUE(image.hasAlphaChannel());
}

} // namespace
} // namespace tarn::X11
