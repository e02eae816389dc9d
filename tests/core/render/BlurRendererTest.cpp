// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <thread>
#include <vector>

#include <QPainter>

#include "core/base/ImageFailure.h"
#include "core/render/BlurCache.h"
#include "core/render/BlurRenderer.h"
#include "core/render/GaussianBlur.h"
#include "support/RenderFixtures.h"

namespace tarn {
namespace {

using RenderFixtures::mark;

TEST(BlurRenderer, ReductionAndRadius)
{
    struct Row {
        int w, h;
        QSize size;
        double sourceRadius, radius;
    };
    for (const Row &r : {Row{1000, 800, {1000, 800}, 17.5, 17.5}, Row{4000, 3000, {2048, 1536}, 70, 35.84},
                         Row{6000, 4000, {2048, 1366}, 80, 80 * 2048.0 / 6000}, Row{500, 300, {500, 300}, 12, 12},
                         Row{3000, 1, {2048, 1}, 52.5, 52.5 * 2048 / 3000}}) {
        const auto red = BlurRenderer::reduction(r.w, r.h);
        EXPECT_EQ(red.size, r.size) << r.w;
        EXPECT_NEAR(red.sourceRadius, r.sourceRadius, 1e-9) << r.w;
        EXPECT_NEAR(red.radius, r.radius, 1e-9) << r.w;
    }
    EXPECT_NEAR(BlurRenderer::reduction(6000, 10).radius, 27.31, 0.01);
}

TEST(GaussianBlur, BoxWidthsMatchTheGaussianVariance)
{
    for (double sigma : {2.0, 5.5, 12.0, 17.5, 27.31, 35.84, 80.0}) {
        double variance = 0;
        for (int w : GaussianBlur::boxWidths(sigma)) {
            EXPECT_EQ(w % 2, 1);
            variance += (double(w) * w - 1) / 12;
        }
        EXPECT_NEAR(std::sqrt(variance), sigma, 0.5) << sigma;
    }
}

// A direct Gaussian with the edge pixels extended, in floating point, on one channel.
std::vector<double> referenceBlur(const QImage &image, double sigma, int channel)
{
    const int w = image.width(), h = image.height();
    const int reach = int(std::ceil(4 * sigma));
    std::vector<double> kernel(2 * reach + 1);
    double total = 0;
    for (int i = -reach; i <= reach; ++i)
        total += kernel[i + reach] = std::exp(-i * i / (2 * sigma * sigma));
    for (double &k : kernel)
        k /= total;
    std::vector<double> in(w * h), mid(w * h), out(w * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            in[y * w + x] = image.constScanLine(y)[x * 4 + channel];
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            double s = 0;
            for (int i = -reach; i <= reach; ++i)
                s += kernel[i + reach] * in[y * w + std::clamp(x + i, 0, w - 1)];
            mid[y * w + x] = s;
        }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            double s = 0;
            for (int i = -reach; i <= reach; ++i)
                s += kernel[i + reach] * mid[std::clamp(y + i, 0, h - 1) * w + x];
            out[y * w + x] = s;
        }
    return out;
}

TEST(GaussianBlur, LooksLikeATrueGaussianWithEdgesExtended)
{
    QImage image(160, 120, QImage::Format_RGBA8888_Premultiplied);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        p.fillRect(20, 10, 50, 70, Qt::black);
        p.fillRect(100, 0, 60, 40, QColor(200, 30, 60));
        p.fillRect(0, 90, 160, 4, QColor(10, 120, 240));
    }
    const double sigma = 6.5;
    const QImage result = GaussianBlur::blurred(image, sigma);
    ASSERT_EQ(result.size(), image.size());
    for (int c = 0; c < 4; ++c) {
        const auto ref = referenceBlur(image, sigma, c);
        double worst = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                worst = std::max(worst, std::abs(result.constScanLine(y)[x * 4 + c] - ref[y * 160 + x]));
        EXPECT_LE(worst, 6.0) << "channel " << c; // three boxes against the exact bell
    }
    // Edges are extended: an opaque picture stays opaque to its corners, and a colour that
    // touches the border keeps its full strength there instead of fading into nothing.
    EXPECT_EQ(result.pixelColor(0, 0).alpha(), 255);
    EXPECT_EQ(result.pixelColor(159, 119).alpha(), 255);
    QImage flat(64, 64, QImage::Format_RGBA8888_Premultiplied);
    flat.fill(QColor(12, 200, 90));
    EXPECT_EQ(GaussianBlur::blurred(flat, 20), flat);
}

// A part blurred into an older copy gets the whole blur's pixels, at the edges and where the
// reach is larger than the picture too.
TEST(GaussianBlur, APartBlurredIntoAnOlderCopyMatchesTheWholeBlur)
{
    std::mt19937 random(7);
    for (const QSize size : {QSize(300, 200), QSize(40, 25)}) {
        const QImage old = RenderFixtures::capture(size.width(), size.height(), false);
        QImage changed = old;
        QPainter(&changed).fillRect(QRect(QPoint(size.width() / 3, 0), size / 4), QColor(250, 20, 90));
        const QImage before = GaussianBlur::blurred(old, 11.5), after = GaussianBlur::blurred(changed, 11.5);
        for (int i = 0; i < 12; ++i) {
            const QRect part(int(random() % size.width()) - 8, int(random() % size.height()) - 8,
                             int(random() % size.width()), int(random() % size.height()));
            QImage copy = before;
            GaussianBlur::blurInto(changed, 11.5, part, copy);
            for (int y = 0; y < size.height(); ++y)
                for (int x = 0; x < size.width(); ++x)
                    ASSERT_EQ(copy.pixel(x, y), (part.contains(x, y) ? after : before).pixel(x, y))
                        << x << "," << y << " in " << part.x() << "," << part.y() << " " << part.width();
        }
    }
}

// The rows kept blurred across, brought up to date where rows changed, finish any part of the
// blur exactly as the whole blur of the changed picture has it.
TEST(GaussianBlur, KeptRowsFinishAPartAsTheWholeBlur)
{
    std::mt19937 random(11);
    for (const QSize size : {QSize(300, 200), QSize(40, 25)}) {
        const QImage old = RenderFixtures::capture(size.width(), size.height(), false);
        GaussianBlur::RowsBlurred rows(old, 11.5);
        QImage changed = old;
        const QRect mark(QPoint(size.width() / 3, size.height() / 5), size / 4);
        QPainter(&changed).fillRect(mark, QColor(250, 20, 90));
        rows.updateRows(changed, mark.adjusted(-GaussianBlur::reach(11.5), 0, GaussianBlur::reach(11.5), 0));
        const QImage before = GaussianBlur::blurred(old, 11.5), after = GaussianBlur::blurred(changed, 11.5);
        for (int i = 0; i < 12; ++i) {
            const QRect part(int(random() % size.width()) - 8, int(random() % size.height()) - 8,
                             int(random() % size.width()), int(random() % size.height()));
            QImage copy = before;
            rows.blurInto(part, copy);
            for (int y = 0; y < size.height(); ++y)
                for (int x = 0; x < size.width(); ++x)
                    ASSERT_EQ(copy.pixel(x, y), (part.contains(x, y) ? after : before).pixel(x, y))
                        << x << "," << y << " in " << part.x() << "," << part.y() << " " << part.width();
        }
    }
}

QImage solid(int w, int h, QColor color)
{
    QImage image(w, h, QImage::Format_RGBA8888_Premultiplied);
    image.fill(color);
    return image;
}

TEST(BlurRenderer, CacheHitsBySourceIdentityAndMarkList)
{
    const QImage source = RenderFixtures::capture(400, 300, false);
    const std::vector<Annotation> marks{mark(MarkupTool::arrow, {{0.1, 0.1}, {0.5, 0.5}})};
    const QImage first = BlurRenderer::image(source, marks);
    EXPECT_EQ(first.size(), QSize(400, 300));
    const QImage shared = source; // the same image object (shallow copy)
    EXPECT_EQ(BlurRenderer::image(shared, marks).cacheKey(), first.cacheKey());
    const std::vector<Annotation> equalMarks = marks;
    EXPECT_EQ(BlurRenderer::image(source, equalMarks).cacheKey(), first.cacheKey());

    // Equal pixels in a new image object, or another mark list, make a new copy.
    EXPECT_NE(BlurRenderer::image(source.copy(), marks).cacheKey(), first.cacheKey());
    std::vector<Annotation> moved = marks;
    moved[0].points[1] = UnitPoint(0.6, 0.5);
    EXPECT_NE(BlurRenderer::image(source, moved).cacheKey(), first.cacheKey());
    EXPECT_NE(BlurRenderer::image(source, {}).cacheKey(), first.cacheKey());
}

TEST(BlurRenderer, ReusedMemoryNeverReturnsAnotherImagesBlur)
{
    // Two images over the very same pixel buffer, one after the other: a key made from the
    // data's address would hand the first image's blur to the second.
    std::vector<uchar> buffer(64 * 64 * 4);
    auto wrap = [&](QColor color) {
        QImage image(buffer.data(), 64, 64, QImage::Format_RGBA8888_Premultiplied);
        image.fill(color);
        return image;
    };
    QColor firstColor;
    {
        const QImage red = wrap(Qt::red);
        firstColor = BlurRenderer::image(red, {}).pixelColor(32, 32);
    }
    const QImage blue = wrap(Qt::blue);
    const QColor secondColor = BlurRenderer::image(blue, {}).pixelColor(32, 32);
    EXPECT_EQ(firstColor, QColor(Qt::red));
    EXPECT_EQ(secondColor, QColor(Qt::blue));

    // Modifying a cached image in place detaches it from the cache's reference: a new identity.
    QImage owned = solid(64, 64, Qt::green);
    const qint64 before = BlurRenderer::image(owned, {}).cacheKey();
    owned.fill(Qt::yellow);
    const QImage after = BlurRenderer::image(owned, {});
    EXPECT_NE(after.cacheKey(), before);
    EXPECT_EQ(after.pixelColor(5, 5), QColor(Qt::yellow));
}

TEST(BlurRenderer, MarksArePaintedIntoTheCopy)
{
    const QImage white = solid(200, 100, Qt::white);
    const QImage plain = BlurRenderer::image(white, {});
    EXPECT_EQ(plain.pixelColor(100, 50), QColor(Qt::white));
    Annotation box = mark(MarkupTool::highlight, {{0, 0}, {1, 1}});
    const QImage marked = BlurRenderer::image(white, {box});
    EXPECT_NEAR(marked.pixelColor(100, 50).blue(), 186, 2); // the highlight tint, blurred flat
}

TEST(BlurRenderer, FailuresPassThroughAndAreNotCached)
{
    const QImage tooWide = solid(16385, 1, Qt::white);
    try {
        BlurRenderer::image(tooWide, {});
        FAIL() << "no error";
    } catch (const ImageFailure &f) {
        EXPECT_EQ(f.kind(), ImageFailure::Case::tooLarge);
    }
    EXPECT_THROW(BlurRenderer::image(tooWide, {}), ImageFailure);
    EXPECT_THROW(BlurRenderer::image(QImage(), {}), ImageFailure);
}

TEST(BlurRenderer, ConcurrentCallersGetCorrectCopies)
{
    std::vector<QImage> sources;
    for (int i = 0; i < 3; ++i)
        sources.push_back(solid(300, 200, QColor::fromHsv(i * 100, 200, 200)));
    std::vector<std::thread> threads;
    std::atomic<int> wrong{0};
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            for (int round = 0; round < 10; ++round) {
                const QImage &src = sources[(t + round) % 3];
                if (BlurRenderer::image(src, {}).pixelColor(150, 100) != src.pixelColor(150, 100))
                    ++wrong;
            }
        });
    for (auto &t : threads)
        t.join();
    EXPECT_EQ(wrong, 0);
}

TEST(BlurCache, EvictsLeastRecentlyUsedByCountAndCost)
{
    std::vector<QImage> images;
    for (int i = 0; i < 6; ++i)
        images.push_back(solid(10, 10, Qt::white)); // 400 bytes each
    const QImage blurred = solid(10, 10, Qt::gray);

    BlurCache byCount(4, 1 << 20);
    for (int i = 0; i < 4; ++i)
        byCount.insert(images[i], {}, blurred);
    EXPECT_TRUE(byCount.find(images[0], {})); // now the most recent
    byCount.insert(images[4], {}, blurred);
    EXPECT_TRUE(byCount.find(images[0], {}));
    EXPECT_FALSE(byCount.find(images[1], {}));
    EXPECT_TRUE(byCount.find(images[4], {}));

    BlurCache byCost(4, 2000); // each entry costs 800
    byCost.insert(images[0], {}, blurred);
    byCost.insert(images[1], {}, blurred);
    byCost.insert(images[2], {}, blurred);
    EXPECT_FALSE(byCost.find(images[0], {}));
    EXPECT_TRUE(byCost.find(images[1], {}));
    EXPECT_TRUE(byCost.find(images[2], {}));

    // An entry over the whole limit is kept alone, until the next one comes.
    BlurCache tiny(4, 500);
    tiny.insert(images[1], {}, blurred);
    tiny.insert(images[0], {}, blurred);
    EXPECT_TRUE(tiny.find(images[0], {}));
    EXPECT_FALSE(tiny.find(images[1], {}));
    tiny.insert(images[2], {}, blurred);
    EXPECT_FALSE(tiny.find(images[0], {}));
    EXPECT_TRUE(tiny.find(images[2], {}));
}

// The blurred copy of an 8K capture costs more than the cache's whole budget (source and copy
// together): it is still kept, so that redrawing the open capture does not blur it again.
TEST(BlurRenderer, CopyOfACaptureAboveTheBudgetIsReused)
{
    const QImage eightK = solid(7680, 4320, Qt::darkCyan);
    ASSERT_GT(size_t(eightK.sizeInBytes()), BlurRenderer::cacheCost);
    const QImage first = BlurRenderer::image(eightK, {});
    EXPECT_EQ(BlurRenderer::image(eightK, {}).cacheKey(), first.cacheKey());
}

} // namespace
} // namespace tarn
