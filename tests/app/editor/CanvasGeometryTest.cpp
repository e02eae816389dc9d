// SPDX-License-Identifier: GPL-3.0-or-later
#include <cmath>
#include <random>

#include <gtest/gtest.h>

#include "app/editor/CanvasGeometry.h"
#include "app/editor/CanvasHints.h"
#include "support/RenderFixtures.h"

namespace tarn {
namespace {

using fixtures::mark;

struct Scene {
    EditDocument document;
    QSizeF view{1000, 800};
    QPointF pan;
    double zoom = 1;
    QSize image{1600, 900};
    std::optional<Uuid> selection;

    CanvasGeometry geometry() const { return {view, pan, zoom, image, document, selection}; }
    // The returned reference stays valid: the tests add fewer marks than reserved.
    Annotation &add(Annotation a)
    {
        document.annotations.reserve(16);
        document.annotations.push_back(std::move(a));
        return document.annotations.back();
    }
};

bool finite(QPointF p) { return std::isfinite(p.x()) && std::isfinite(p.y()); }

TEST(CanvasGeometry, FitsTheRenderInsideA45PointMarginCentredAndPanned)
{
    struct Case {
        QSizeF view;
        QSize image;
        double zoom;
        QPointF pan;
        QRectF expected;
    };
    const Case cases[] = {
        // The tighter axis gets exactly 45 points of margin.
        {{1000, 800}, {1600, 900}, 1, {}, {45, 800 / 2.0 - 511.875 / 2, 910, 511.875}},
        {{1000, 800}, {900, 1600}, 1, {}, {500 - 399.375 / 2, 45, 399.375, 710}},
        // The zoom scales about the view's centre; the pan moves the result.
        {{1000, 800}, {1600, 900}, 2, {}, {500 - 910, 400 - 511.875, 1820, 1023.75}},
        {{1000, 800}, {1600, 900}, 1, {30, -20}, {75, 400 - 511.875 / 2 - 20, 910, 511.875}},
    };
    for (const Case &c : cases) {
        Scene s;
        s.view = c.view, s.image = c.image, s.zoom = c.zoom, s.pan = c.pan;
        const QRectF r = s.geometry().canvasRect();
        EXPECT_NEAR(r.x(), c.expected.x(), 1e-9) << c.view.width() << " zoom " << c.zoom;
        EXPECT_NEAR(r.y(), c.expected.y(), 1e-9);
        EXPECT_NEAR(r.width(), c.expected.width(), 1e-9);
        EXPECT_NEAR(r.height(), c.expected.height(), 1e-9);
    }
}

TEST(CanvasGeometry, NarrowViewsAndBadZoomsKeepTheScaleFloorAndFiniteMappings)
{
    const std::pair<QSizeF, double> cases[] = {
        {{90, 600}, 1}, {{600, 90}, 1}, {{40, 20}, 1}, {{0, 0}, 1}, {{1000, 800}, 0}, {{1000, 800}, std::nan("")},
    };
    for (const auto &[view, zoom] : cases) {
        Scene s;
        s.view = view, s.zoom = zoom;
        s.add(mark(MarkupTool::badge, {{0.5, 0.5}}));
        s.selection = s.document.annotations[0].id;
        const CanvasGeometry g = s.geometry();
        EXPECT_EQ(g.scale(), CanvasGeometry::minimumScale) << view.width() << "x" << view.height();
        EXPECT_TRUE(finite(g.canvasRect().topLeft()) && finite(g.layoutPoint({10, 10})));
        EXPECT_TRUE(finite(g.viewPoint({800, 450})));
        const auto ring = g.badgeRotationGeometry();
        ASSERT_TRUE(ring.has_value());
        EXPECT_TRUE(finite(ring->center()) && std::isfinite(ring->radius()));
        g.annotationAt({5, 5}); // must not trap
    }
}

TEST(CanvasGeometry, OnlyTheImageItselfGivesUnitPointsWithItsRightAndBottomEdgesOutside)
{
    Scene s;
    s.view = QSizeF(990, 800); // scale 0.5 exactly, so the edges map without rounding
    s.document.backdrop = Backdrop::aurora;
    s.document.padding = 100;
    const CanvasGeometry g = s.geometry();
    const QRectF content = g.layout().contentRect();
    const auto view = [&](QPointF layoutPoint) { return g.layoutTransform().map(layoutPoint); };
    const auto topLeft = g.unitPoint(view(content.topLeft()));
    ASSERT_TRUE(topLeft.has_value());
    EXPECT_NEAR(topLeft->x, 0, 1e-9);
    EXPECT_NEAR(topLeft->y, 0, 1e-9);
    EXPECT_FALSE(g.unitPoint(view({content.right(), content.center().y()})));
    EXPECT_FALSE(g.unitPoint(view({content.center().x(), content.bottom()})));
    EXPECT_FALSE(g.unitPoint(view(content.topLeft() - QPointF(1, 1)))); // padding
    EXPECT_FALSE(g.unitPoint({2, 2}));                                  // outside the render
    // A drag beyond the image stays on its edge.
    const UnitPoint clamped = g.clampedUnitPoint({2, 2});
    EXPECT_EQ(clamped.x, 0);
    EXPECT_EQ(clamped.y, 0);
}

TEST(CanvasGeometry, ViewToUnitToViewRoundTripsUnderCropZoomAndPan)
{
    std::mt19937 random(16);
    std::uniform_real_distribution<double> unit(0, 1);
    for (int i = 0; i < 500; ++i) {
        Scene s;
        s.image = QSize(200 + int(unit(random) * 5000), 200 + int(unit(random) * 3000));
        s.view = QSizeF(300 + unit(random) * 1500, 300 + unit(random) * 1000);
        s.zoom = 0.2 + unit(random) * 4.8;
        s.pan = QPointF(unit(random) * 800 - 400, unit(random) * 800 - 400);
        if (i % 2)
            s.document.crop =
                UnitRect(unit(random) * 0.4, unit(random) * 0.4, 0.2 + unit(random) * 0.4, 0.2 + unit(random) * 0.4);
        if (i % 3 == 0)
            s.document.backdrop = Backdrop::midnight;
        const CanvasGeometry g = s.geometry();
        const QRectF crop = g.layout().crop();
        const QPointF pixel(crop.left() + unit(random) * crop.width() * 0.999,
                            crop.top() + unit(random) * crop.height() * 0.999);
        const QPointF view = g.viewPoint(pixel);
        const auto back = g.unitPoint(view);
        ASSERT_TRUE(back.has_value()) << i;
        const QSizeF size = g.layout().sourceSize();
        EXPECT_NEAR(back->x * size.width(), pixel.x(), 1e-6) << i;
        EXPECT_NEAR(back->y * size.height(), pixel.y(), 1e-6) << i;
        const QPointF again = g.viewPoint(back->scaled(size));
        EXPECT_NEAR(again.x(), view.x(), 1e-6) << i;
        EXPECT_NEAR(again.y(), view.y(), 1e-6) << i;
        EXPECT_NEAR(g.sourceTransform().map(pixel).x(), view.x(), 1e-6) << i;
    }
}

TEST(CanvasGeometry, BadgeStampFollowsTheSourceWidthOnlyWithA28PixelFloor)
{
    const struct {
        QSize image;
        double height;
    } cases[] = {{{3200, 100}, 96}, {{1600, 900}, 48}, {{800, 5000}, 28}, {{100, 100}, 28}};
    for (const auto &c : cases) {
        Scene s;
        s.image = c.image;
        const Annotation &b = s.add(mark(MarkupTool::badge, {{0.5, 0.5}}));
        const QRectF box = s.geometry().annotationBounds(b);
        EXPECT_NEAR(box.height(), c.height, 1e-9) << c.image.width();
        EXPECT_NEAR(box.width(), 1.55 * c.height, 1e-9);
        EXPECT_NEAR(box.center().x(), c.image.width() / 2.0, 1e-9);
    }
}

// Hits and misses at view offsets from a mark's source-pixel anchor, zoom 2 so that view
// points and source pixels differ.
TEST(CanvasGeometry, HitTestingUsesTheTolerancesAndTheTopmostMark)
{
    Scene s;
    s.zoom = 2;
    const Annotation &line = s.add(mark(MarkupTool::line, {{0.1, 0.5}, {0.3, 0.5}}));
    const Annotation &arrow = s.add(mark(MarkupTool::arrow, {{0.5, 0.1}, {0.7, 0.3}}));
    const Annotation &text = s.add(mark(MarkupTool::text, {{0.8, 0.8}, {0.8, 0.8}}));
    const Annotation &pen = s.add(mark(MarkupTool::pen, {{0.1, 0.1}, {0.3, 0.3}, {0.12, 0.12}}));
    const Annotation &loop = s.add(mark(MarkupTool::pen, {{0.1, 0.7}, {0.3, 0.9}, {0.1, 0.7}}));
    const Annotation &under = s.add(mark(MarkupTool::rectangle, {{0.4, 0.6}, {0.6, 0.8}}));
    const Annotation &over = s.add(mark(MarkupTool::highlight, {{0.5, 0.7}, {0.7, 0.9}}));
    const CanvasGeometry g = s.geometry();
    const QSizeF px = g.layout().sourceSize();
    const auto at = [&](double ux, double uy, double dx = 0, double dy = 0) {
        return g.annotationAt(g.viewPoint(UnitPoint(ux, uy).scaled(px)) + QPointF(dx, dy));
    };
    const struct {
        const Annotation *found;
        const Annotation *expected;
        const char *what;
    } cases[] = {
        {at(0.2, 0.5, 0, -11.9), &line, "flat line, 12 points above"},
        {at(0.2, 0.5, 0, 12.9), &line, "flat line, 12 points below (1 pixel thick)"},
        {at(0.2, 0.5, 0, -12.1), nullptr, "flat line, beyond the tolerance"},
        {at(0.69, 0.11), &arrow, "arrow, far corner of its box"},
        {at(0.8, 0.8, 20 * g.scale() + 11.9, 0), &text, "text, 40-pixel box plus tolerance"},
        {at(0.8, 0.8, 20 * g.scale() + 12.1, 0), nullptr, "text, beyond it"},
        {at(0.3, 0.3), nullptr, "pen, its middle point is no hit"},
        {at(0.11, 0.115), &pen, "pen, between its first and last points"},
        {at(0.2, 0.8), nullptr, "closed pen stroke, along its path"},
        {at(0.1, 0.7, 20 * g.scale() + 10, 0), &loop, "closed pen stroke, near its point"},
        {at(0.55, 0.75), &over, "overlap, the later mark wins"},
        {at(0.45, 0.65), &under, "overlap, only the earlier mark"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(c.found, c.expected) << c.what;
}

TEST(CanvasGeometry, BadgesAreHitInTheirRotatedBoxButNeverOverThePadding)
{
    Scene s;
    s.image = QSize(3200, 1800);
    s.document.backdrop = Backdrop::paper;
    s.document.padding = 200;
    Annotation &badge = s.add(mark(MarkupTool::badge, {{0.5, 0.5}}));
    badge.badgeRotation = 45;
    Annotation &edge = s.add(mark(MarkupTool::badge, {{0.0, 0.5}}));
    const CanvasGeometry g = s.geometry();
    const QRectF rotated = g.annotationBounds(badge);
    const QRectF upright = g.stampBox(badge);
    EXPECT_GT(rotated.height(), upright.height());
    // The corner of the rotated box lies outside the upright stamp, yet it is a hit.
    const QPointF corner = rotated.topLeft() + QPointF(2, 2);
    EXPECT_FALSE(upright.contains(corner));
    EXPECT_EQ(g.annotationAt(g.viewPoint(corner)), &badge);
    // Half of the edge badge lies over the padding: the image side hits, the padding does not.
    const QPointF centre = UnitPoint(0, 0.5).scaled(g.layout().sourceSize());
    EXPECT_EQ(g.annotationAt(g.viewPoint(centre + QPointF(10, 0))), &edge);
    EXPECT_EQ(g.annotationAt(g.viewPoint(centre - QPointF(10, 0))), nullptr);
}

TEST(CanvasGeometry, RingAndCursorRegionsFollowTheSelectionAndTheSpaceKey)
{
    Scene s;
    Annotation &badge = s.add(mark(MarkupTool::badge, {{0.5, 0.5}}));
    badge.badgeRotation = 90;
    const Annotation &arrow = s.add(mark(MarkupTool::arrow, {{0.1, 0.1}, {0.2, 0.2}}));

    s.selection = arrow.id;
    EXPECT_FALSE(s.geometry().badgeRotationGeometry());
    EXPECT_EQ(s.geometry().cursorRegions(MarkupTool::arrow, false, false).size(), 1u);

    s.selection = badge.id;
    const CanvasGeometry g = s.geometry();
    const auto ring = g.badgeRotationGeometry();
    ASSERT_TRUE(ring.has_value());
    const QRectF box = g.viewRect(g.stampBox(badge)); // upright, whatever the rotation
    EXPECT_NEAR(ring->center().x(), box.center().x(), 1e-9);
    EXPECT_NEAR(ring->radius(), std::max(48.0, std::hypot(box.width(), box.height()) / 2 + 18), 1e-9);

    const QPointF handle = ring->handleCenter(90);
    const struct {
        MarkupTool tool;
        bool space, rotating;
        QPointF at;
        Qt::CursorShape shape;
    } cases[] = {
        {MarkupTool::select, false, false, {3, 3}, Qt::OpenHandCursor},
        {MarkupTool::pen, false, false, {3, 3}, Qt::CrossCursor},
        {MarkupTool::pen, true, false, {3, 3}, Qt::OpenHandCursor},
        {MarkupTool::pen, false, false, handle + QPointF(12, 12), Qt::PointingHandCursor},
        {MarkupTool::pen, false, true, handle, Qt::ClosedHandCursor},
        {MarkupTool::pen, true, false, handle, Qt::OpenHandCursor},
        {MarkupTool::pen, false, false, handle + QPointF(13, 0), Qt::CrossCursor},
    };
    for (const auto &c : cases) {
        const auto regions = g.cursorRegions(c.tool, c.space, c.rotating);
        EXPECT_EQ(CanvasGeometry::cursorAt(regions, c.at), c.shape) << int(c.tool) << c.space << c.rotating;
    }
}

TEST(CanvasHints, HintsFollowABadgeSelectionThenTheTool)
{
    const QString rotation = QStringLiteral("파란 점 드래그 회전 · Shift 15° 단위 · ESC 취소");
    const QString drawing = QStringLiteral("드래그하여 그리기 · SPACE 이동");
    const struct {
        std::optional<MarkupTool> selected;
        MarkupTool tool;
        QString hint;
    } cases[] = {
        {MarkupTool::badge, MarkupTool::select, rotation},
        {MarkupTool::badge, MarkupTool::pen, rotation},
        {MarkupTool::arrow, MarkupTool::select, QStringLiteral("드래그하여 이동 · 클릭하여 주석 선택")},
        {std::nullopt, MarkupTool::badge, QStringLiteral("클릭하여 배지 추가 · 기존 배지 클릭 후 회전")},
        {std::nullopt, MarkupTool::text, QStringLiteral("텍스트 입력 후 캔버스 클릭")},
        {MarkupTool::text, MarkupTool::blur, QStringLiteral("드래그하여 흐림 영역 지정 · SPACE 이동")},
        {std::nullopt, MarkupTool::number, drawing},
        {std::nullopt, MarkupTool::crop, drawing},
        {std::nullopt, MarkupTool::redact, drawing},
    };
    for (const auto &c : cases)
        EXPECT_EQ(CanvasHints::canvasHint(c.selected, c.tool), c.hint) << int(c.tool);
}

TEST(CanvasHints, LayerLabelsUseTextAndBadgeStyle)
{
    Annotation text = mark(MarkupTool::text, {});
    text.text = "  회의록 v2 ";
    Annotation emptyText = mark(MarkupTool::text, {});
    Annotation question = mark(MarkupTool::badge, {});
    question.badgeStyle = BadgeStyle::question;
    Annotation cross = question;
    cross.badgeStyle = BadgeStyle::cross;
    const Annotation unstyled = mark(MarkupTool::badge, {});
    Annotation number = mark(MarkupTool::number, {});
    number.number = 7;
    const std::pair<Annotation, QString> cases[] = {
        {text, QStringLiteral("  회의록 v2 ")},
        {emptyText, QString()},
        {question, QStringLiteral("물음표 배지")},
        {cross, QStringLiteral("X 배지")},
        {unstyled, QStringLiteral("체크 배지")},
        {number, QStringLiteral("단계 번호")},
        {mark(MarkupTool::redact, {}), QStringLiteral("검정 마스킹")},
        {mark(MarkupTool::rectangle, {}), QStringLiteral("정사각형")},
    };
    for (const auto &[annotation, label] : cases)
        EXPECT_EQ(CanvasHints::annotationLabel(annotation), label);
}

} // namespace
} // namespace tarn
