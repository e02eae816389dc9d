// SPDX-License-Identifier: GPL-3.0-or-later
// Squared drags in source pixels and the pixel sizes of captures and recordings.
#include <gtest/gtest.h>

#include <limits>

#include "core/model/AnnotationGeometry.h"
#include "core/model/CaptureGeometry.h"

using namespace tarn;

namespace {

void expectPoint(UnitPoint p, double x, double y)
{
    EXPECT_NEAR(p.x, x, 1e-12);
    EXPECT_NEAR(p.y, y, 1e-12);
}

QSizeF size(std::optional<int64_t> limit, bool even, double w, double h, double scale = 1)
{
    return CaptureGeometry::pixelSize({w, h}, scale, limit, even);
}

} // namespace

TEST(AnnotationGeometry, RectanglesAndEllipsesStaySquareInPixelsAndOtherToolsFollowThePointer)
{
    using AnnotationGeometry::endPoint;
    expectPoint(endPoint(MarkupTool::rectangle, UnitPoint(0.1, 0.1), UnitPoint(0.3, 0.2), {1000, 500}), 0.3, 0.5);
    expectPoint(endPoint(MarkupTool::ellipse, UnitPoint(0.5, 0.5), UnitPoint(0.4, 0.45), {1000, 1000}), 0.4, 0.4);
    expectPoint(endPoint(MarkupTool::rectangle, UnitPoint(0.9, 0.1), UnitPoint(1.0, 0.9), {1000, 1000}), 1.0, 0.2);
    expectPoint(endPoint(MarkupTool::ellipse, UnitPoint(0.2, 0.3), UnitPoint(0.2, 0.3), {800, 600}), 0.2, 0.3);
    // Up and left near the corner: the room towards the origin limits the side.
    expectPoint(endPoint(MarkupTool::rectangle, UnitPoint(0.05, 0.5), UnitPoint(0.0, 0.0), {1000, 1000}), 0.0, 0.45);

    const UnitPoint to = UnitPoint::unclamped(0.3, 0.2);
    for (MarkupTool t : {MarkupTool::roundedRectangle, MarkupTool::line, MarkupTool::pen, MarkupTool::arrow,
                         MarkupTool::blur, MarkupTool::crop})
        EXPECT_EQ(endPoint(t, UnitPoint(0.1, 0.1), to, {1000, 500}), to);
    EXPECT_EQ(endPoint(MarkupTool::rectangle, UnitPoint(0.1, 0.1), to, {0, 0}), to);
    EXPECT_EQ(endPoint(MarkupTool::rectangle, UnitPoint(0.1, 0.1), to, {std::numeric_limits<double>::quiet_NaN(), 100}),
              to);
    const UnitPoint outside = UnitPoint::unclamped(1.4, -0.2);
    EXPECT_EQ(endPoint(MarkupTool::line, UnitPoint(0.1, 0.1), outside, {100, 100}), outside);
}

TEST(CaptureGeometry, PixelSizesOfCapturesAndRecordingsAndNoneForInvalidInput)
{
    EXPECT_EQ(size(std::nullopt, false, 1440, 900, 2), QSizeF(2880, 1800));
    EXPECT_EQ(size(1920, true, 1440, 900, 2), QSizeF(1920, 1200));
    EXPECT_EQ(size(3840, true, 1440, 900, 2), QSizeF(2880, 1800));
    EXPECT_EQ(size(std::nullopt, true, 1001, 601), QSizeF(1000, 600));
    EXPECT_EQ(size(std::nullopt, false, 1001, 601), QSizeF(1001, 601));
    EXPECT_EQ(size(std::nullopt, false, 100.2, 50.5), QSizeF(101, 51));
    EXPECT_EQ(size(std::nullopt, true, 1, 1), QSizeF(2, 2));
    EXPECT_EQ(size(std::nullopt, false, 0.3, 0.3), QSizeF(1, 1));
    EXPECT_EQ(size(0, true, 500, 300), QSizeF(2, 2));
    EXPECT_EQ(size(-10, false, 500, 300), QSizeF(1, 1));

    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(size(std::nullopt, false, 0, 10), QSizeF(0, 0));
    EXPECT_EQ(size(std::nullopt, false, 10, -1), QSizeF(0, 0));
    EXPECT_EQ(size(std::nullopt, false, 10, 10, 0), QSizeF(0, 0));
    EXPECT_EQ(size(std::nullopt, false, 10, 10, inf), QSizeF(0, 0));
    EXPECT_EQ(size(std::nullopt, true, nan, 10), QSizeF(0, 0));
    EXPECT_EQ(size(std::nullopt, false, 1e308, 1e308, 1e10), QSizeF(0, 0));
}
