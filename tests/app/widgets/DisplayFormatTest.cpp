// SPDX-License-Identifier: GPL-3.0-or-later
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "app/widgets/DisplayFormat.h"

namespace tarn {
namespace {

TEST(DisplayFormat, DurationsTruncateAndSwitchToHoursAtOneHour)
{
    const double inf = std::numeric_limits<double>::infinity();
    const std::pair<double, const char *> cases[] = {
        {0, "00:00"},      {59.9, "00:59"},   {61, "01:01"},           {3599.99, "59:59"},
        {3600, "1:00:00"}, {3723, "1:02:03"}, {86399, "23:59:59"},     {-5, "00:00"},
        {inf, "00:00"},    {-inf, "00:00"},   {std::nan(""), "00:00"}, {1e30, "2500000000000000:00:00"},
    };
    for (const auto &[seconds, text] : cases)
        EXPECT_EQ(DisplayFormat::duration(seconds), QString::fromLatin1(text)) << seconds;
}

TEST(DisplayFormat, FileSizesInDecimalUnits)
{
    EXPECT_EQ(DisplayFormat::byteCount(-5), QStringLiteral("0 KB"));
    EXPECT_EQ(DisplayFormat::byteCount(0), QStringLiteral("0 KB"));
    EXPECT_EQ(DisplayFormat::byteCount(999), QStringLiteral("999 B"));
    EXPECT_EQ(DisplayFormat::byteCount(1'499), QStringLiteral("1 KB"));
    EXPECT_EQ(DisplayFormat::byteCount(999'000), QStringLiteral("999 KB"));
    EXPECT_EQ(DisplayFormat::byteCount(12'345'678), QStringLiteral("12.3 MB"));
    EXPECT_EQ(DisplayFormat::byteCount(1'250'000'000), QStringLiteral("1.25 GB"));
    // Figures that round up to the next unit are written in that unit.
    EXPECT_EQ(DisplayFormat::byteCount(999'499), QStringLiteral("999 KB"));
    EXPECT_EQ(DisplayFormat::byteCount(999'500), QStringLiteral("1.0 MB"));
    EXPECT_EQ(DisplayFormat::byteCount(999'949'999), QStringLiteral("999.9 MB"));
    EXPECT_EQ(DisplayFormat::byteCount(999'950'000), QStringLiteral("1.00 GB"));
}

} // namespace
} // namespace tarn
