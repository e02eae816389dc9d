// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/render/RenderLayout.h"

namespace tarn {
namespace {

EditDocument framed(Backdrop backdrop, double padding, FrameAspect aspect)
{
    EditDocument d;
    d.backdrop = backdrop;
    d.padding = padding;
    d.aspect = aspect;
    return d;
}

TEST(RenderLayout, WithoutBackdropTheOutputIsTheCrop)
{
    for (FrameAspect aspect : {FrameAspect::natural, FrameAspect::wide, FrameAspect::portrait}) {
        const RenderLayout l(1920, 1080, framed(Backdrop::none, 64, aspect));
        EXPECT_EQ(l.crop(), QRectF(0, 0, 1920, 1080));
        EXPECT_EQ(l.size(), QSizeF(1920, 1080));
        EXPECT_EQ(l.contentRect(), QRectF(0, 0, 1920, 1080));
        EXPECT_EQ(l.sourceSize(), QSizeF(1920, 1080));
    }
}

// A crop is rounded outward to whole pixels and cut at the image's edge; one that says nothing
// readable keeps the whole image, and an empty source lays out nothing.
TEST(RenderLayout, CropsRoundOutwardAndUnreadableOnesKeepTheWholeImage)
{
    EditDocument d;
    d.crop = UnitRect(0.1, 0.1, 0.5, 0.5);
    const RenderLayout l(1001, 1001, d);
    EXPECT_EQ(l.crop(), QRectF(100, 100, 501, 501));
    EXPECT_EQ(l.size(), QSizeF(501, 501));
    EXPECT_EQ(l.contentRect(), QRectF(0, 0, 501, 501));
    d.crop = UnitRect::unclamped(0.5, 0.5, 2, 2);
    EXPECT_EQ(RenderLayout(640, 480, d).crop(), QRectF(320, 240, 320, 240));

    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (const UnitRect &crop : {UnitRect(1, 0.2, 0.5, 0.5), UnitRect::unclamped(nan, 0, 0.5, 0.5),
                                 UnitRect::unclamped(1e300, 1e300, 1e300, 1e300), UnitRect::unclamped(-5, -5, 1, 1)}) {
        d.crop = crop;
        EXPECT_EQ(RenderLayout(640, 480, d).crop(), QRectF(0, 0, 640, 480));
    }
    const RenderLayout empty(0, 0, EditDocument{});
    EXPECT_EQ(empty.size(), QSizeF(0, 0));
    EXPECT_EQ(empty.crop(), QRectF(0, 0, 0, 0));
}

// Padding and aspect grow one side; the padding is limited and never negative.
TEST(RenderLayout, PaddingAndAspectGrowOneSideWithinTheLimits)
{
    struct Row {
        FrameAspect aspect;
        QSizeF size;
        QPointF contentOrigin;
    };
    for (const Row &row :
         {Row{FrameAspect::natural, {1128, 628}, {64, 64}}, Row{FrameAspect::wide, {1128, 635}, {64, 67.5}},
          Row{FrameAspect::square, {1128, 1128}, {64, 314}}, Row{FrameAspect::portrait, {1128, 1410}, {64, 455}}}) {
        const RenderLayout l(1000, 500, framed(Backdrop::aurora, 64, row.aspect));
        EXPECT_EQ(l.size(), row.size) << caseName(row.aspect);
        EXPECT_EQ(l.contentRect(), QRectF(row.contentOrigin, QSizeF(1000, 500))) << caseName(row.aspect);
    }
    for (const auto &[padding, size] :
         {std::pair{1000.0, QSizeF(2024, 1524)}, std::pair{-5.0, QSizeF(1000, 500)},
          std::pair{std::nan(""), QSizeF(1000, 500)}, std::pair{double(INFINITY), QSizeF(2024, 1524)}})
        EXPECT_EQ(RenderLayout(1000, 500, framed(Backdrop::paper, padding, FrameAspect::natural)).size(), size)
            << padding;
}

TEST(RenderLayout, SourcePointIsRelativeToTheWholeSource)
{
    EditDocument d = framed(Backdrop::midnight, 64, FrameAspect::natural);
    d.crop = UnitRect(0.25, 0.5, 0.5, 0.5);
    const RenderLayout l(800, 400, d); // crop (200, 200, 400, 200), content at (64, 64)
    const UnitPoint corner = l.sourcePoint(QPointF(64, 64));
    EXPECT_DOUBLE_EQ(corner.x, 0.25);
    EXPECT_DOUBLE_EQ(corner.y, 0.5);
    // Over the padding: beyond the crop, still inside the image.
    EXPECT_DOUBLE_EQ(l.sourcePoint(QPointF(0, 64)).x, 136.0 / 800);
    // Further left than the crop's own offset: clamped to the image.
    EXPECT_EQ(l.sourcePoint(QPointF(-500, 64)).x, 0);
    EXPECT_EQ(l.sourcePoint(QPointF(NAN, 64)).x, 0);
    EXPECT_EQ(l.sourcePoint(QPointF(64, 1e9)).y, 1);
}

} // namespace
} // namespace tarn
