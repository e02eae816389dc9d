// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "app/widgets/Palette.h"

namespace tarn {
namespace {

TEST(Palette, ColoursAreTheByteValues)
{
    EXPECT_EQ(Palette::background.rgb(), 0xFF10151Cu);
    EXPECT_EQ(Palette::accent.rgb(), 0xFFCEFAA0u);
    EXPECT_EQ(Palette::coral.rgb(), 0xFFFF8678u);
    EXPECT_EQ(Palette::muted.rgb(), 0xFF8796A5u);
}

} // namespace
} // namespace tarn
