// SPDX-License-Identifier: GPL-3.0-or-later
// Derived values of marks and documents: redaction marks, rotation, visible recognized lines.
#include <gtest/gtest.h>

#include <limits>

#include "core/model/CaptureItem.h"

using namespace tarn;

namespace {

TextRegion region(double x, double y, double w, double h)
{
    return TextRegion{Uuid::random(), "line", UnitRect(x, y, w, h), 0.9f};
}

Annotation mask(MarkupTool tool, UnitPoint a, UnitPoint b)
{
    Annotation m;
    m.id = Uuid::random();
    m.tool = tool;
    m.points = {a, b};
    return m;
}

} // namespace

TEST(EditDocument, RedactionMarkCoversThePaddedLine)
{
    const Annotation mark = Annotation::redaction(region(0.1, 0.2, 0.3, 0.05));
    ASSERT_EQ(mark.points.size(), 2u);
    EXPECT_NEAR(mark.points[0].x, 0.094, 1e-12);
    EXPECT_NEAR(mark.points[0].y, 0.194, 1e-12);
    EXPECT_NEAR(mark.points[1].x, 0.406, 1e-12);
    EXPECT_NEAR(mark.points[1].y, 0.256, 1e-12);
    EXPECT_EQ(mark.tool, MarkupTool::redact);
    EXPECT_EQ(mark.color, MarkupColor::black);

    const Annotation whole = Annotation::redaction(region(0, 0, 1, 1));
    EXPECT_EQ(whole.points[0], UnitPoint(0, 0));
    EXPECT_EQ(whole.points[1], UnitPoint(1, 1));

    const TextRegion line = region(0.1, 0.2, 0.3, 0.05);
    const Annotation first = Annotation::redaction(line);
    Annotation blur = Annotation::blurring(line);
    EXPECT_NE(first.id, blur.id);
    EXPECT_NE(first, Annotation::redaction(line));
    EXPECT_EQ(blur.tool, MarkupTool::blur);
    blur.tool = MarkupTool::redact;
    blur.id = first.id;
    EXPECT_EQ(blur, first);
}

TEST(EditDocument, RectAndBadgeRotationOfMarks)
{
    Annotation mark;
    EXPECT_EQ(mark.rect(), UnitRect::full());
    mark.points = {UnitPoint(0.3, 0.4)};
    EXPECT_EQ(mark.rect(), UnitRect(0.3, 0.4, 0, 0));
    mark.points = {UnitPoint(0.5, 0.5), UnitPoint(0.9, 0.9), UnitPoint(0.2, 0.1)};
    EXPECT_EQ(mark.rect(), UnitRect(UnitPoint(0.5, 0.5), UnitPoint(0.2, 0.1)));

    const std::vector<std::pair<std::optional<double>, double>> rotations = {
        {std::nullopt, 0},
        {-15, 0},
        {45, 45},
        {360, 360},
        {725, 360},
        {std::numeric_limits<double>::quiet_NaN(), 0},
        {std::numeric_limits<double>::infinity(), 0}};
    for (const auto &[stored, resolved] : rotations) {
        mark.badgeRotation = stored;
        EXPECT_EQ(mark.resolvedBadgeRotation(), resolved);
    }
}

TEST(EditDocument, RedactionsCountButBlurDoesNot)
{
    EditDocument doc;
    EXPECT_FALSE(doc.containsRedactions());
    doc.annotations.push_back(mask(MarkupTool::blur, UnitPoint(0, 0), UnitPoint(1, 1)));
    EXPECT_FALSE(doc.containsRedactions());
    doc.annotations.push_back(mask(MarkupTool::redact, UnitPoint(0, 0), UnitPoint(1, 1)));
    EXPECT_TRUE(doc.containsRedactions());
}

TEST(EditDocument, VisibleLinesRespectCropAndMasks)
{
    const TextRegion crossing = region(0.4, 0.1, 0.2, 0.05);
    const TextRegion onEdge = region(0.5, 0.1, 0.2, 0.05);
    EditDocument cropped;
    cropped.crop = UnitRect(0.5, 0, 0.5, 1);
    const auto visible = cropped.visibleTextRegions({crossing, onEdge});
    ASSERT_EQ(visible.size(), 1u);
    EXPECT_EQ(visible[0].id, onEdge.id);

    const TextRegion line = region(0.1, 0.1, 0.2, 0.05);
    EditDocument hiding;
    hiding.annotations = {mask(MarkupTool::redact, UnitPoint(0.25, 0.05), UnitPoint(0.5, 0.2))};
    EXPECT_TRUE(hiding.visibleTextRegions({line}).empty());
    EditDocument beside;
    beside.annotations = {mask(MarkupTool::redact, UnitPoint(0.4, 0.05), UnitPoint(0.6, 0.2))};
    EXPECT_EQ(beside.visibleTextRegions({line}).size(), 1u);

    // A highlight or arrow never hides text; a blur does; a mask without points hides all.
    EditDocument marks;
    marks.annotations = {mask(MarkupTool::highlight, UnitPoint(0, 0), UnitPoint(1, 1))};
    EXPECT_EQ(marks.visibleTextRegions({line, onEdge}).size(), 2u);
    marks.annotations.push_back(mask(MarkupTool::blur, UnitPoint(0.05, 0.05), UnitPoint(0.2, 0.2)));
    EXPECT_EQ(marks.visibleTextRegions({line, onEdge}).size(), 1u);
    Annotation empty;
    empty.tool = MarkupTool::blur;
    marks.annotations = {empty};
    EXPECT_TRUE(marks.visibleTextRegions({line, onEdge}).empty());

    const std::vector<TextRegion> ordered = {onEdge, line, crossing};
    const auto all = EditDocument{}.visibleTextRegions(ordered);
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0].id, onEdge.id);
    EXPECT_EQ(all[2].id, crossing.id);
    EXPECT_TRUE(EditDocument{}.visibleTextRegions({}).empty());
}
