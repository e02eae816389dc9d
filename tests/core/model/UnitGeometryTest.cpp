// SPDX-License-Identifier: GPL-3.0-or-later
// Clamping rules of unit points and rectangles.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/model/UnitGeometry.h"

using namespace tarn;

namespace {
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

void expectRect(const UnitRect &r, double x, double y, double w, double h)
{
    EXPECT_NEAR(r.x, x, 1e-12);
    EXPECT_NEAR(r.y, y, 1e-12);
    EXPECT_NEAR(r.width, w, 1e-12);
    EXPECT_NEAR(r.height, h, 1e-12);
}
} // namespace

TEST(UnitGeometry, ConstructorsClampIntoTheImageAndNonFiniteBecomesZero)
{
    EXPECT_EQ(UnitPoint(-0.2, 1.7), UnitPoint::unclamped(0, 1));
    EXPECT_EQ(UnitPoint(kNaN, kInf), UnitPoint::unclamped(0, 0));
    EXPECT_EQ(UnitPoint(-kInf, 0.5), UnitPoint::unclamped(0, 0.5));
    EXPECT_EQ(UnitPoint(1, 0.999), UnitPoint::unclamped(1, 0.999));
    EXPECT_EQ(UnitPoint(0.25, 0.5).scaled({200, 100}), QPointF(50, 50));

    expectRect(UnitRect(0.8, 0.9, 0.5, 0.5), 0.8, 0.9, 1 - 0.8, 1 - 0.9);
    expectRect(UnitRect(0.2, 0.2, -0.3, kInf), 0.2, 0.2, 0, 0);
    expectRect(UnitRect(-0.1, 0, 0.3, 1), 0, 0, 0.3, 1);
    expectRect(UnitRect(kNaN, kNaN, kNaN, 0.5), 0, 0, 0, 0.5);
    expectRect(UnitRect(kInf, 0, 1, 1), 0, 0, 1, 1);
    EXPECT_EQ(UnitRect::full(), UnitRect::unclamped(0, 0, 1, 1));
}

TEST(UnitGeometry, RectsFromTwoPointsIgnoreCornerOrderAndPaddingStaysInside)
{
    const UnitRect a(UnitPoint(0.7, 0.2), UnitPoint(0.1, 0.6));
    const UnitRect b(UnitPoint(0.1, 0.6), UnitPoint(0.7, 0.2));
    expectRect(a, 0.1, 0.2, 0.6, 0.4);
    EXPECT_EQ(a, b);
    expectRect(UnitRect(UnitPoint(0.3, 0.3), UnitPoint(0.3, 0.3)), 0.3, 0.3, 0, 0);
    // Unclamped points (read from a file) are clamped by the rectangle.
    expectRect(UnitRect(UnitPoint::unclamped(-1, 0.5), UnitPoint::unclamped(2, 0.5)), 0, 0.5, 1, 0);
    expectRect(UnitRect(UnitPoint::unclamped(kNaN, 0.1), UnitPoint::unclamped(0.5, 0.2)), 0, 0.1, 0, 0.1);

    // Recognizer rectangles measure from the bottom edge; one reaching past the top keeps its height.
    expectRect(UnitRect::fromVisionRect({0.1, 0.7, 0.3, 0.2}), 0.1, 0.1, 0.3, 0.2);
    expectRect(UnitRect::fromVisionRect({0.1, 0.9, 0.3, 0.2}), 0.1, 0, 0.3, 0.2);
    expectRect(UnitRect::fromVisionRect({0.4, 0.9, -0.3, -0.2}), 0.1, 0.1, 0.3, 0.2);

    expectRect(UnitRect::full().padded(0.006), 0, 0, 1, 1);
    expectRect(UnitRect(0.5, 0.5, 0, 0).padded(0.006), 0.494, 0.494, 0.012, 0.012);
    expectRect(UnitRect(0.9, 0.4, 0.1, 0.1).padded(0.05), 0.85, 0.35, 0.15, 0.2);
    expectRect(UnitRect(0.5, 0.5, 0.1, 0.1).padded(-0.2), 0.7, 0.7, 0, 0);
    expectRect(UnitRect(0.5, 0.5, 0.1, 0.1).padded(kNaN), 0, 0, 0, 0);
}
