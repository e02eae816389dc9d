// SPDX-License-Identifier: GPL-3.0-or-later
#include <cmath>
#include <random>

#include <gtest/gtest.h>

#include "app/editor/CanvasGeometry.h"
#include "app/editor/CanvasHints.h"
#include "support/RenderFixtures.h"

namespace tarn {
namespace {

using RenderFixtures::mark;

struct Scene {
    EditDocument document;
    QSizeF view{1000, 800};
    QPointF pan;
    double zoom = 1;
    QSize image{1600, 900};
    std::optional<Uuid> selection;

    CanvasGeometry geometry() const { return {view, pan, zoom, image, document, selection}; }
    const Annotation *add(Annotation a)
    {
        document.annotations.reserve(16); // the returned pointers stay valid
        document.annotations.push_back(std::move(a));
        return &document.annotations.back();
    }
};

bool finite(QPointF p) { return std::isfinite(p.x()) && std::isfinite(p.y()); }

TEST(CanvasGeometry, FitsTheRenderInsideA45PointMarginCentredAndPanned)
{
    const struct {
        QSize image;
        double zoom;
        QPointF pan;
        QRectF expected;
    } cases[] = {
        {{1600, 900}, 1, {}, {45, 400 - 511.875 / 2, 910, 511.875}}, // exactly 45 on the tighter axis
        {{900, 1600}, 1, {}, {500 - 399.375 / 2, 45, 399.375, 710}},
        {{1600, 900}, 2, {}, {500 - 910, 400 - 511.875, 1820, 1023.75}}, // about the view's centre
        {{1600, 900}, 1, {30, -20}, {75, 400 - 511.875 / 2 - 20, 910, 511.875}},
    };
    for (const auto &c : cases) {
        Scene s;
        s.image = c.image, s.zoom = c.zoom, s.pan = c.pan;
        const QRectF r = s.geometry().canvasRect();
        EXPECT_LT((r.topLeft() - c.expected.topLeft()).manhattanLength(), 1e-9) << c.zoom;
        EXPECT_LT(std::abs(r.width() - c.expected.width()) + std::abs(r.height() - c.expected.height()), 1e-9);
    }
    // Views of 90 points or less, or a zoom that is no number: the floor keeps mappings finite.
    for (const auto &[view, zoom] : {std::pair{QSizeF(90, 600), 1.0},
                                     {QSizeF(40, 20), 1.0},
                                     {QSizeF(0, 0), 1.0},
                                     {QSizeF(1000, 800), std::nan("")}}) {
        Scene s;
        s.view = view, s.zoom = zoom;
        s.selection = s.add(mark(MarkupTool::badge, {{0.5, 0.5}}))->id;
        const CanvasGeometry g = s.geometry();
        EXPECT_EQ(g.scale(), CanvasGeometry::minimumScale);
        EXPECT_TRUE(finite(g.layoutPoint({10, 10})) && finite(g.viewPoint({800, 450})));
        EXPECT_TRUE(finite(g.badgeRotationGeometry()->center()));
    }
}

TEST(CanvasGeometry, OnlyTheImageGivesUnitPointsItsRightAndBottomEdgesExcluded)
{
    Scene s;
    s.view = QSizeF(990, 800); // scale 0.5 exactly, so the edges map without rounding
    s.document.backdrop = Backdrop::aurora;
    s.document.padding = 100;
    const CanvasGeometry g = s.geometry();
    const QRectF content = g.layout().contentRect();
    const auto unit = [&](QPointF layoutPoint) { return g.unitPoint(g.layoutTransform().map(layoutPoint)); };
    EXPECT_EQ(unit(content.topLeft()), UnitPoint(0, 0));
    EXPECT_FALSE(unit({content.right(), content.center().y()}));
    EXPECT_FALSE(unit({content.center().x(), content.bottom()}));
    EXPECT_FALSE(unit(content.topLeft() - QPointF(1, 1)));  // padding
    EXPECT_EQ(g.clampedUnitPoint({2, 2}), UnitPoint(0, 0)); // a drag stays on the edge
}

TEST(CanvasGeometry, ViewToUnitToViewRoundTripsUnderCropZoomAndPan)
{
    std::mt19937 random(16);
    std::uniform_real_distribution<double> u(0, 1);
    for (int i = 0; i < 500; ++i) {
        Scene s;
        s.image = QSize(200 + int(u(random) * 5000), 200 + int(u(random) * 3000));
        s.view = QSizeF(300 + u(random) * 1500, 300 + u(random) * 1000);
        s.zoom = 0.2 + u(random) * 4.8;
        s.pan = QPointF(u(random) * 800 - 400, u(random) * 800 - 400);
        if (i % 2)
            s.document.crop = UnitRect(u(random) * 0.4, u(random) * 0.4, 0.2 + u(random) * 0.4, 0.2 + u(random) * 0.4);
        if (i % 3 == 0)
            s.document.backdrop = Backdrop::midnight;
        const CanvasGeometry g = s.geometry();
        const QRectF crop = g.layout().crop();
        const QPointF pixel(crop.left() + u(random) * crop.width() * 0.999,
                            crop.top() + u(random) * crop.height() * 0.999);
        const QPointF view = g.viewPoint(pixel);
        const auto back = g.unitPoint(view);
        ASSERT_TRUE(back.has_value()) << i;
        EXPECT_LT((back->scaled(g.layout().sourceSize()) - pixel).manhattanLength(), 1e-6) << i;
        EXPECT_LT((g.viewPoint(back->scaled(g.layout().sourceSize())) - view).manhattanLength(), 1e-6) << i;
        EXPECT_LT((g.sourceTransform().map(pixel) - view).manhattanLength(), 1e-6) << i;
    }
}

// Hits and misses at view offsets from a mark's anchor, at zoom 2 so that view points and
// source pixels differ.
TEST(CanvasGeometry, HitTestingUsesTheTolerancesAndTheTopmostMark)
{
    Scene s;
    s.zoom = 2;
    const Annotation *line = s.add(mark(MarkupTool::line, {{0.1, 0.5}, {0.3, 0.5}}));
    const Annotation *arrow = s.add(mark(MarkupTool::arrow, {{0.5, 0.1}, {0.7, 0.3}}));
    const Annotation *text = s.add(mark(MarkupTool::text, {{0.8, 0.8}, {0.8, 0.8}}));
    const Annotation *pen = s.add(mark(MarkupTool::pen, {{0.1, 0.1}, {0.3, 0.3}, {0.12, 0.12}}));
    const Annotation *loop = s.add(mark(MarkupTool::pen, {{0.1, 0.7}, {0.3, 0.9}, {0.1, 0.7}}));
    const Annotation *under = s.add(mark(MarkupTool::rectangle, {{0.4, 0.6}, {0.6, 0.8}}));
    const Annotation *over = s.add(mark(MarkupTool::highlight, {{0.5, 0.7}, {0.7, 0.9}}));
    const CanvasGeometry g = s.geometry();
    const double box = 20 * g.scale(); // half the 40-pixel square of thin marks, in view points
    const auto at = [&](double ux, double uy, double dx = 0, double dy = 0) {
        return g.annotationAt(g.viewPoint(UnitPoint(ux, uy).scaled(g.layout().sourceSize())) + QPointF(dx, dy));
    };
    const std::tuple<const Annotation *, const Annotation *, const char *> cases[] = {
        {at(0.2, 0.5, 0, -11.9), line, "flat line, 12 points above"},
        {at(0.2, 0.5, 0, 12.9), line, "flat line, 12 points below its 1-pixel height"},
        {at(0.2, 0.5, 0, -12.1), nullptr, "flat line, beyond the tolerance"},
        {at(0.69, 0.11), arrow, "arrow, far corner of its box"},
        {at(0.8, 0.8, box + 11.9), text, "text, 40-pixel box plus tolerance"},
        {at(0.8, 0.8, box + 12.1), nullptr, "text, beyond it"},
        {at(0.3, 0.3), nullptr, "pen, its middle point"},
        {at(0.11, 0.115), pen, "pen, between its first and last points"},
        {at(0.2, 0.8), nullptr, "closed pen stroke, along its path"},
        {at(0.1, 0.7, box + 10), loop, "closed pen stroke, near its point"},
        {at(0.55, 0.75), over, "overlap, the later mark wins"},
        {at(0.45, 0.65), under, "the earlier mark alone"},
    };
    for (const auto &[found, expected, what] : cases)
        EXPECT_EQ(found, expected) << what;
}

TEST(CanvasGeometry, BadgesFollowTheSourceWidthAndAreHitInTheirRotatedBoxNotOverPadding)
{
    for (const auto &[image, height] : {std::pair{QSize(3200, 100), 96.0}, {QSize(800, 5000), 28.0}}) {
        Scene s;
        s.image = image;
        const QRectF box = s.geometry().annotationBounds(*s.add(mark(MarkupTool::badge, {{0.5, 0.5}})));
        EXPECT_NEAR(box.height(), height, 1e-9);
        EXPECT_NEAR(box.width(), 1.55 * height, 1e-9);
    }
    Scene s;
    s.image = QSize(3200, 1800);
    s.document.backdrop = Backdrop::paper;
    s.document.padding = 200;
    Annotation turned = mark(MarkupTool::badge, {{0.5, 0.5}});
    turned.badgeRotation = 45;
    const Annotation *badge = s.add(turned);
    const Annotation *edge = s.add(mark(MarkupTool::badge, {{0.0, 0.5}}));
    const CanvasGeometry g = s.geometry();
    const QPointF corner = g.annotationBounds(*badge).topLeft() + QPointF(2, 2);
    EXPECT_FALSE(g.stampBox(*badge).contains(corner));
    EXPECT_EQ(g.annotationAt(g.viewPoint(corner)), badge);
    // Half of the edge badge lies over the padding: only the image side is a hit.
    EXPECT_EQ(g.annotationAt(g.viewPoint({10, 900})), edge);
    EXPECT_EQ(g.annotationAt(g.viewPoint({-10, 900})), nullptr);
}

TEST(CanvasGeometry, RingAndCursorRegionsFollowTheSelectionAndTheSpaceKey)
{
    Scene s;
    Annotation turned = mark(MarkupTool::badge, {{0.5, 0.5}});
    turned.badgeRotation = 90;
    const Annotation *badge = s.add(turned);
    s.selection = s.add(mark(MarkupTool::arrow, {{0.1, 0.1}, {0.2, 0.2}}))->id;
    EXPECT_FALSE(s.geometry().badgeRotationGeometry());
    EXPECT_EQ(s.geometry().cursorRegions(MarkupTool::arrow, false, false).size(), 1u);

    s.selection = badge->id;
    const CanvasGeometry g = s.geometry();
    const auto ring = g.badgeRotationGeometry();
    const QRectF box = g.viewRect(g.stampBox(*badge)); // upright, whatever the rotation
    EXPECT_EQ(ring->center(), box.center());
    EXPECT_NEAR(ring->radius(), std::max(48.0, std::hypot(box.width(), box.height()) / 2 + 18), 1e-9);
    const QPointF h = ring->handleCenter(90);
    const std::tuple<MarkupTool, bool, bool, QPointF, Qt::CursorShape> cases[] = {
        {MarkupTool::select, false, false, {3, 3}, Qt::OpenHandCursor},
        {MarkupTool::pen, false, false, {3, 3}, Qt::CrossCursor},
        {MarkupTool::pen, true, false, {3, 3}, Qt::OpenHandCursor},
        {MarkupTool::pen, false, false, h + QPointF(12, 12), Qt::PointingHandCursor},
        {MarkupTool::pen, false, true, h, Qt::ClosedHandCursor},
        {MarkupTool::pen, true, false, h, Qt::OpenHandCursor},
        {MarkupTool::pen, false, false, h + QPointF(13, 0), Qt::CrossCursor},
    };
    for (const auto &[tool, space, rotating, point, shape] : cases)
        EXPECT_EQ(CanvasGeometry::cursorAt(g.cursorRegions(tool, space, rotating), point), shape);
}

TEST(CanvasHints, HintsFollowABadgeSelectionThenTheToolAndLabelsUseTextAndStyle)
{
    const QString drawing = QStringLiteral("드래그하여 그리기 · SPACE 이동");
    EXPECT_EQ(CanvasHints::canvasHint(MarkupTool::badge, MarkupTool::select),
              QStringLiteral("파란 점 드래그 회전 · Shift 15° 단위 · ESC 취소"));
    EXPECT_EQ(CanvasHints::canvasHint(MarkupTool::arrow, MarkupTool::select),
              QStringLiteral("드래그하여 이동 · 클릭하여 주석 선택"));
    for (MarkupTool tool : {MarkupTool::number, MarkupTool::crop, MarkupTool::redact})
        EXPECT_EQ(CanvasHints::canvasHint(std::nullopt, tool), drawing);

    Annotation text = mark(MarkupTool::text, {});
    text.text = "  회의록 v2 ";
    Annotation cross = mark(MarkupTool::badge, {});
    cross.badgeStyle = BadgeStyle::cross;
    EXPECT_EQ(CanvasHints::annotationLabel(text), QStringLiteral("  회의록 v2 "));
    EXPECT_EQ(CanvasHints::annotationLabel(cross), QStringLiteral("X 배지"));
    EXPECT_EQ(CanvasHints::annotationLabel(mark(MarkupTool::badge, {})), QStringLiteral("체크 배지"));
    EXPECT_EQ(CanvasHints::annotationLabel(mark(MarkupTool::number, {})), QStringLiteral("단계 번호"));
}

} // namespace
} // namespace tarn
