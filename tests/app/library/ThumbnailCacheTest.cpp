// SPDX-License-Identifier: GPL-3.0-or-later
#include <QFile>
#include <QImage>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>

#include <gtest/gtest.h>

#include "app/library/ThumbnailCache.h"
#include "app/library/ThumbnailView.h"

namespace tarn {
namespace {

QImage picture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGBA8888_Premultiplied);
    image.fill(QColor(40, 90, 200));
    return image;
}

TEST(ThumbnailCacheTest, KeepsAtMostTheCountAndCostLimitsDroppingTheLeastRecentlyUsed)
{
    ThumbnailCache byCount(3, int64_t(1) << 40);
    for (const char *name : {"a", "b", "c"})
        byCount.insert(QString::fromLatin1(name), picture(4, 4));
    ASSERT_TRUE(byCount.find(QStringLiteral("a"))); // now the most recent
    byCount.insert(QStringLiteral("d"), picture(4, 4));
    EXPECT_EQ(byCount.count(), 3);
    EXPECT_TRUE(byCount.contains(QStringLiteral("a")));
    EXPECT_FALSE(byCount.contains(QStringLiteral("b")));

    // Cost is width x height x 4: three 100 x 50 images cost 60,000 and fit a 60,000 limit,
    // a fourth pushes the oldest out; one image over the limit alone is not kept at all.
    ThumbnailCache byCost(160, 60'000);
    EXPECT_EQ(ThumbnailCache::cost(picture(100, 50)), 20'000);
    for (const char *name : {"a", "b", "c"})
        byCost.insert(QString::fromLatin1(name), picture(100, 50));
    EXPECT_EQ(byCost.totalCost(), 60'000);
    byCost.insert(QStringLiteral("d"), picture(100, 50));
    EXPECT_EQ(byCost.totalCost(), 60'000);
    EXPECT_FALSE(byCost.contains(QStringLiteral("a")));
    byCost.insert(QStringLiteral("b"), picture(10, 10)); // a replacement costs only itself
    EXPECT_EQ(byCost.totalCost(), 40'400);
    byCost.insert(QStringLiteral("huge"), picture(200, 100));
    EXPECT_FALSE(byCost.contains(QStringLiteral("huge")));
    EXPECT_EQ(byCost.count(), 3);
}

class ThumbnailViewTest : public ::testing::Test {
protected:
    QString file(const QString &name, int width, int height)
    {
        const QString path = dir_.filePath(name);
        picture(width, height).save(path, "PNG");
        return path;
    }

    // Occupies every decode thread until `release`, so a decode asked for now waits.
    void holdDecoders()
    {
        QThreadPool &pool = ThumbnailView::decodePool();
        for (int n = 0; n < pool.maxThreadCount(); ++n)
            pool.start([this] { gate_.acquire(); });
    }
    void releaseDecoders() { gate_.release(ThumbnailView::decodePool().maxThreadCount()); }

    QTemporaryDir dir_;
    QSemaphore gate_;
};

TEST_F(ThumbnailViewTest, ADecodedFileIsCachedAtItsCostAndShownAgainWithoutDecoding)
{
    const QString path = file(QStringLiteral("a.png"), 72, 45);
    ThumbnailView view;
    QSignalSpy decoded(&view, &ThumbnailView::imageChanged);
    view.setPath(path);
    ASSERT_TRUE(decoded.wait(5000));
    EXPECT_EQ(view.image().size(), QSize(72, 45));
    ASSERT_TRUE(ThumbnailCache::shared().contains(path));

    ThumbnailView again;
    again.setPath(path);
    EXPECT_FALSE(again.isLoading()); // straight from the cache
    EXPECT_EQ(again.image().size(), QSize(72, 45));
}

TEST_F(ThumbnailViewTest, AFailedDecodeKeepsThePictureAndIsNotCached)
{
    const QString good = file(QStringLiteral("good.png"), 30, 20);
    const QString broken = dir_.filePath(QStringLiteral("broken.png"));
    QFile bytes(broken);
    ASSERT_TRUE(bytes.open(QIODevice::WriteOnly));
    bytes.write("not a picture at all");
    bytes.close();

    ThumbnailView view;
    view.setPath(dir_.filePath(QStringLiteral("missing.jpg")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view.isLoading(); }, 5000));
    EXPECT_TRUE(view.image().isNull()); // the placeholder stays, with no message

    QSignalSpy decoded(&view, &ThumbnailView::imageChanged);
    view.setPath(good);
    ASSERT_TRUE(decoded.wait(5000));
    view.setPath(broken); // a saved edit's new file that cannot be read
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view.isLoading(); }, 5000));
    EXPECT_EQ(view.image().size(), QSize(30, 20));
    EXPECT_FALSE(ThumbnailCache::shared().contains(broken));
    EXPECT_FALSE(ThumbnailCache::shared().contains(dir_.filePath(QStringLiteral("missing.jpg"))));
}

TEST_F(ThumbnailViewTest, AResultArrivingAfterTheViewMovedOnOrWentAwayIsDropped)
{
    const QString first = file(QStringLiteral("first.png"), 16, 10);
    const QString second = file(QStringLiteral("second.png"), 20, 10);
    const QString orphan = file(QStringLiteral("orphan.png"), 12, 10);

    holdDecoders();
    ThumbnailView view;
    view.setPath(first);
    view.reset(); // the cell now shows another capture
    view.setPath(second);
    auto gone = std::make_unique<ThumbnailView>();
    gone->setPath(orphan);
    gone.reset();
    releaseDecoders();

    ASSERT_TRUE(QTest::qWaitFor([&] { return !view.isLoading(); }, 5000));
    QTest::qWait(100); // any stray result has had its chance to arrive
    EXPECT_EQ(view.image().size(), QSize(20, 10));
    EXPECT_FALSE(ThumbnailCache::shared().contains(first));
    EXPECT_FALSE(ThumbnailCache::shared().contains(orphan));
    EXPECT_TRUE(ThumbnailCache::shared().contains(second));
}

} // namespace
} // namespace tarn
