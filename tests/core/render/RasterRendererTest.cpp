// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QPainter>

#include "core/base/ImageFailure.h"
#include "core/render/RasterRenderer.h"
#include "core/render/RenderLayout.h"
#include "support/RenderFixtures.h"

namespace tarn {
namespace {

using RenderFixtures::mark;

QImage solid(int w, int h, QColor color)
{
    QImage image(w, h, QImage::Format_RGBA8888_Premultiplied);
    image.fill(color);
    return image;
}

// Equal pixels, whatever the colour space tags say.
bool samePixels(const QImage &a, const QImage &b)
{
    QImage x = a.convertToFormat(QImage::Format_RGBA8888_Premultiplied);
    QImage y = b.convertToFormat(QImage::Format_RGBA8888_Premultiplied);
    x.setColorSpace({});
    y.setColorSpace({});
    return x == y;
}

ImageFailure::Case failureOf(const QImage &image, const EditDocument &doc, std::optional<int> edge)
{
    try {
        RasterRenderer::render(image, doc, edge);
    } catch (const ImageFailure &f) {
        return f.kind();
    }
    ADD_FAILURE() << "no error";
    return ImageFailure::Case::unreadable;
}

TEST(RasterRenderer, EmptyDocumentGivesTheSourceInThePictureFormat)
{
    QImage source = RenderFixtures::capture(320, 200, false).convertToFormat(QImage::Format_RGB32);
    const QImage picture = RasterRenderer::render(source, EditDocument{});
    EXPECT_EQ(picture.format(), QImage::Format_RGBA8888_Premultiplied);
    EXPECT_EQ(picture.size(), source.size());
    EXPECT_EQ(picture.convertToFormat(QImage::Format_RGB32), source);
}

TEST(RasterRenderer, MaximumEdgeScalesDownOnly)
{
    EXPECT_EQ(RasterRenderer::render(solid(1920, 1080, Qt::gray), {}, 720).size(), QSize(720, 405));
    EXPECT_EQ(RasterRenderer::render(solid(600, 400, Qt::gray), {}, 720).size(), QSize(600, 400));
    EXPECT_EQ(RasterRenderer::render(solid(1000, 1, Qt::gray), {}, 10).size(), QSize(10, 1));
    EXPECT_EQ(failureOf(solid(10, 10, Qt::gray), {}, 0), ImageFailure::Case::invalidDimensions);
}

TEST(RasterRenderer, OutputSizeIsValidated)
{
    EditDocument framed;
    framed.backdrop = Backdrop::aurora;
    // The source passes on its own; its frame does not.
    EXPECT_EQ(failureOf(solid(16384, 2, Qt::gray), framed, std::nullopt), ImageFailure::Case::tooLarge);
    EXPECT_EQ(failureOf(QImage(), {}, std::nullopt), ImageFailure::Case::invalidDimensions);
    // A thumbnail of it is fine.
    EXPECT_EQ(RasterRenderer::render(solid(16384, 2, Qt::gray), framed, 720).width(), 720);
}

// An index edited by hand keeps any number it holds (points, crop, padding, rotation are read
// unclamped); the capture must still render, with the layout the clamps give.
TEST(RasterRenderer, AbsurdStoredNumbersStillRender)
{
    const QImage source = solid(400, 300, Qt::white);
    for (const double far : {1e6, 1e12, 1e300}) {
        EditDocument framed;
        framed.backdrop = Backdrop::paper;
        framed.padding = far;
        framed.cornerRadius = far;
        framed.crop = UnitRect::unclamped(far, -far, far, far);
        const QSize expected = RasterRenderer::render(source, framed, 720).size();
        for (int tool = int(MarkupTool::arrow); tool <= int(MarkupTool::redact); ++tool) {
            EditDocument doc = framed;
            Annotation a = mark(MarkupTool(tool), {UnitPoint::unclamped(-far, 0.5), UnitPoint::unclamped(far, -far)},
                                MarkupColor::coral, far);
            a.text = "far";
            a.number = INT64_MAX;
            a.badgeRotation = -far;
            doc.annotations = {a};
            EXPECT_EQ(RasterRenderer::render(source, doc, 720).size(), expected) << far << " tool " << tool;
        }
    }
}

TEST(RasterRenderer, RedactionOverBlurStaysBlackAndMarksUnderBlurAreBlurred)
{
    const QImage source = solid(400, 300, Qt::white);
    EditDocument doc;
    // A sharp black line crossing the blur patch.
    doc.annotations.push_back(mark(MarkupTool::line, {{0.0, 0.5}, {1.0, 0.5}}, MarkupColor::black, 10));
    doc.annotations.push_back(mark(MarkupTool::redact, {{0.1, 0.1}, {0.3, 0.3}}));
    doc.annotations.push_back(mark(MarkupTool::blur, {{0.05, 0.05}, {0.6, 0.8}}));
    const QImage picture = RasterRenderer::render(source, doc);
    // The redaction, listed before the blur, still lies on top of it.
    EXPECT_EQ(picture.pixelColor(80, 60), QColor(0, 0, 0, 255));
    // Outside the patch the line is sharp and black; inside, it is a soft grey band.
    EXPECT_LT(picture.pixelColor(350, 150).red(), 10);
    int darkest = 255;
    for (int y = 130; y < 170; ++y)
        darkest = std::min(darkest, picture.pixelColor(150, y).red());
    EXPECT_GT(darkest, 150);
    EXPECT_LT(darkest, 250);
    EXPECT_EQ(picture.pixelColor(150, 150).alpha(), 255);
}

TEST(RasterRenderer, BlurPatchesFollowTheCrop)
{
    QImage source = solid(200, 100, Qt::white);
    {
        QPainter p(&source);
        p.fillRect(0, 0, 100, 100, Qt::black);
    }
    EditDocument doc;
    doc.crop = UnitRect(0.5, 0, 0.5, 1); // the white half
    doc.annotations.push_back(mark(MarkupTool::blur, {{0, 0}, {0.45, 1}}));
    // The patch lies outside the crop: nothing changes.
    EXPECT_TRUE(samePixels(RasterRenderer::render(source, doc), source.copy(100, 0, 100, 100)));
    // A blur without points covers the whole source: the black half bleeds into the crop.
    doc.annotations[0].points.clear();
    EXPECT_LT(RasterRenderer::render(source, doc).pixelColor(2, 50).red(), 200);
}

TEST(RasterRenderer, MarksAreClippedAtTheCardAndShadowFallsUpward)
{
    const QImage source = solid(400, 200, Qt::white);
    EditDocument doc;
    doc.backdrop = Backdrop::paper;
    doc.padding = 60;
    doc.cornerRadius = 40;
    doc.crop = UnitRect(0.25, 0, 0.5, 1); // source x 100...300
    // A thick mark across the whole source, beyond the crop on both sides.
    doc.annotations.push_back(mark(MarkupTool::line, {{0, 0.5}, {1, 0.5}}, MarkupColor::black, 30));
    const QImage picture = RasterRenderer::render(source, doc);
    const RenderLayout layout(400, 200, doc);
    ASSERT_EQ(picture.size(), QSize(320, 320));
    const QRectF content = layout.contentRect(); // (60, 60, 200, 200)
    // Inside the card the line is black; in the padding on either side, the backdrop shows.
    EXPECT_LT(picture.pixelColor(62, 160).red(), 20);
    EXPECT_GT(picture.pixelColor(50, 160).red(), 150);
    EXPECT_GT(picture.pixelColor(270, 160).red(), 150);
    // The rounded corner cuts the image away: the card's corner pixel is backdrop.
    EXPECT_GT(picture.pixelColor(int(content.left()) + 1, int(content.top()) + 1).green(), 150);
    EXPECT_GT(picture.pixelColor(int(content.left()) + 1, int(content.top()) + 1).blue(), 150);
    // The shadow lies toward the top: darker above the card than below it.
    const int above = picture.pixelColor(160, 52).red();
    const int below = picture.pixelColor(160, 268).red();
    EXPECT_LT(above + 15, below);

    // Without a backdrop, the picture is the crop and ends where the content ends.
    doc.backdrop = Backdrop::none;
    const QImage bare = RasterRenderer::render(source, doc);
    EXPECT_EQ(bare.size(), QSize(200, 200));
    EXPECT_LT(bare.pixelColor(0, 100).red(), 20);
}

TEST(RasterRenderer, TransparentSourceShowsTheCardOnlyWithABackdrop)
{
    const QImage clear = solid(100, 100, Qt::transparent);
    EditDocument doc;
    EXPECT_EQ(RasterRenderer::render(clear, doc).pixelColor(50, 50).alpha(), 0);
    doc.backdrop = Backdrop::midnight;
    doc.padding = 10;
    EXPECT_EQ(RasterRenderer::render(clear, doc).pixelColor(60, 60).rgba(),
              QColor::fromRgbF(0.10f, 0.12f, 0.15f).rgba());
}

TEST(RasterRenderer, BlurFailureLeavesTheTargetUntouched)
{
    const QImage tooWide = solid(16385, 1, Qt::white);
    EditDocument doc;
    doc.annotations.push_back(mark(MarkupTool::blur, {{0, 0}, {1, 1}}));
    QImage target = solid(50, 50, Qt::cyan);
    QPainter p(&target);
    EXPECT_THROW(RasterRenderer::draw(tooWide, doc, p), ImageFailure);
    p.end();
    EXPECT_EQ(target, solid(50, 50, Qt::cyan));
}

} // namespace
} // namespace tarn
