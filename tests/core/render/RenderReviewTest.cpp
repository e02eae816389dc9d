// SPDX-License-Identifier: GPL-3.0-or-later
// Writes pictures for review by eye into the build folder (test-output/render/): a 4K capture
// flattened with one mark of every tool, two blur patches, a redaction and a crop, once per
// backdrop, and the two badge palette sheets. Each picture is also checked for its size.
#include <gtest/gtest.h>

#include <QDir>

#include "core/render/BadgePreview.h"
#include "core/render/BadgeRenderer.h"
#include "core/render/RasterRenderer.h"
#include "support/RenderFixtures.h"

namespace tarn {
namespace {

using RenderFixtures::mark;

QString outputFolder()
{
    const QString dir =
        qEnvironmentVariable("TARN_TEST_OUTPUT_DIR", QStringLiteral(TARN_TEST_OUTPUT_DIR)) + QStringLiteral("/render");
    QDir().mkpath(dir);
    return dir;
}

EditDocument everyToolDocument()
{
    EditDocument doc;
    auto add = [&](Annotation a) { doc.annotations.push_back(std::move(a)); };
    add(mark(MarkupTool::arrow, {{0.10, 0.80}, {0.22, 0.62}}, MarkupColor::coral, 4));
    add(mark(MarkupTool::arrow, {{0.70, 0.82}, {0.80, 0.64}}, MarkupColor::mint, 6)); // in the open
    add(mark(MarkupTool::rectangle, {{0.26, 0.14}, {0.34, 0.28}}, MarkupColor::mint, 4));
    add(mark(MarkupTool::roundedRectangle, {{0.37, 0.14}, {0.47, 0.28}}, MarkupColor::blue, 6));
    add(mark(MarkupTool::ellipse, {{0.50, 0.14}, {0.58, 0.28}}, MarkupColor::violet, 4));
    add(mark(MarkupTool::line, {{0.62, 0.16}, {0.74, 0.26}}, MarkupColor::white, 8));
    add(mark(MarkupTool::pen, {{0.10, 0.40}, {0.12, 0.36}, {0.15, 0.42}, {0.18, 0.35}, {0.20, 0.41}},
             MarkupColor::black, 5));
    Annotation text = mark(MarkupTool::text, {{0.26, 0.34}}, MarkupColor::coral);
    text.text = "리뷰용 텍스트 표시\nSecond line: 12345";
    add(text);
    for (int i = 0; i < 5; ++i) {
        Annotation badge = mark(MarkupTool::badge, {{0.30 + 0.05 * i, 0.52}});
        badge.badgeStyle = static_cast<BadgeStyle>(i);
        badge.badgeRotation = 45.0 * i;
        add(badge);
    }
    for (int i = 0; i < 3; ++i) {
        Annotation number = mark(MarkupTool::number, {{0.58 + 0.04 * i, 0.52}}, static_cast<MarkupColor>(i));
        number.number = i == 2 ? 12 : i + 1;
        add(number);
    }
    add(mark(MarkupTool::highlight, {{0.06, 0.22}, {0.24, 0.25}}));
    // Two blur patches: one over plain text, one over the arrow's head and the pen stroke.
    add(mark(MarkupTool::blur, {{0.38, 0.30}, {0.60, 0.44}}));
    add(mark(MarkupTool::blur, {{0.16, 0.58}, {0.26, 0.70}}));
    // A redaction partly over the first blur patch stays black.
    add(mark(MarkupTool::redact, {{0.55, 0.36}, {0.66, 0.40}}, MarkupColor::black, 5));
    doc.crop = UnitRect(0.04, 0.06, 0.90, 0.86);
    doc.padding = 96;
    doc.cornerRadius = 24;
    return doc;
}

TEST(RenderReview, FlattenedCaptureForEveryBackdrop)
{
    const QImage source = RenderFixtures::capture(3840, 2160);
    EditDocument doc = everyToolDocument();
    for (Backdrop backdrop : {Backdrop::none, Backdrop::aurora, Backdrop::midnight, Backdrop::peach, Backdrop::paper}) {
        doc.backdrop = backdrop;
        doc.aspect = backdrop == Backdrop::midnight ? FrameAspect::square : FrameAspect::natural;
        const QImage picture = RasterRenderer::render(source, doc);
        const QString name = QString::fromUtf8(caseName(backdrop).data());
        ASSERT_TRUE(
            picture.save(outputFolder() + QStringLiteral("/flattened-") + name + QStringLiteral(".png"), "PNG", 80));
        if (backdrop == Backdrop::none) {
            EXPECT_EQ(picture.size(), QSize(3457, 1859));
        }
        const QImage thumb = RasterRenderer::render(source, doc, 720);
        EXPECT_EQ(std::max(thumb.width(), thumb.height()), 720);
        ASSERT_TRUE(
            thumb.save(outputFolder() + QStringLiteral("/thumbnail-") + name + QStringLiteral(".png"), "PNG", 80));
    }
}

TEST(RenderReview, BadgePalettes)
{
    const QImage plain = BadgeRenderer::previewImage(false);
    const QImage rotations = BadgeRenderer::previewImage(true);
    EXPECT_EQ(plain.size(), QSize(1000, 180));
    EXPECT_EQ(rotations.size(), QSize(1000, 900));
    // Written the way the developer tool writes them: encoded and stripped by the codec.
    BadgePreview::write(outputFolder() + QStringLiteral("/badge-palette.png"), false);
    BadgePreview::write(outputFolder() + QStringLiteral("/badge-palette-rotations.png"), true);
}

} // namespace
} // namespace tarn
