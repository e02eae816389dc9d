// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "app/widgets/Palette.h"
#include "app/widgets/TarnButtonStyle.h"

namespace tarn {
namespace {

TEST(TarnButtonStyle, ProminentWinsOverDestructive)
{
    const TarnButtonStyle both{true, true};
    const TarnButtonStyle prominent{true, false};
    EXPECT_EQ(both.labelColor(), prominent.labelColor());
    EXPECT_EQ(both.backgroundColor(), Palette::accent);
    EXPECT_EQ((TarnButtonStyle{false, true}).labelColor(), Palette::coral);
    EXPECT_EQ((TarnButtonStyle{false, true}).backgroundColor(), Palette::raised);
    EXPECT_EQ(TarnButtonStyle{}.labelColor(), Palette::text);
}

} // namespace
} // namespace tarn
