// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "app/ProductInfo.h"

namespace tarn {
namespace {

TEST(ProductInfo, VersionFallsBackWhenTheApplicationDeclaresNone)
{
    EXPECT_EQ(ProductInfo::version(), QStringLiteral("0.1.6"));
}

} // namespace
} // namespace tarn
