// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDir>
#include <QSet>

#include <gtest/gtest.h>

#include "app/DemoContent.h"
#include "core/text/PrivacyDetector.h"

namespace tarn {
namespace {

QString outputFolder()
{
    const QString folder = QStringLiteral(TARN_TEST_OUTPUT_DIR) + QStringLiteral("/demo-content");
    QDir().mkpath(folder);
    return folder;
}

TEST(DemoContent, SixSamplesInOrderWithFavouritesAndRegions)
{
    const std::vector<DemoSample> samples = DemoContent::makeSamples();
    ASSERT_EQ(samples.size(), 6u);
    const QStringList titles{QStringLiteral("Orbit — 브랜드 랜딩"),      QStringLiteral("Focus — 대시보드 리뷰"),
                             QStringLiteral("Canvas — 디자인 스프린트"), QStringLiteral("Native — 개발 노트"),
                             QStringLiteral("Privacy — 마스킹 연습"),    QStringLiteral("Clarity — 작은 아이디어")};
    const unsigned backgrounds[] = {0xE9ECDD, 0x111B24, 0xEFEEE9, 0x15212B, 0xF1F0E8, 0x283E35};
    for (size_t i = 0; i < samples.size(); ++i) {
        const DemoSample &sample = samples[i];
        EXPECT_EQ(sample.title, titles[qsizetype(i)]);
        EXPECT_EQ(sample.favorite, i == 0 || i == 2) << i;
        EXPECT_EQ(sample.regions.size(), i == 4 ? 4u : 0u) << i;
        ASSERT_EQ(sample.image.size(), QSize(1600, 1000));
        // The corner no scene draws over keeps the background (the poster's gradient covers all).
        if (i != 5) {
            EXPECT_EQ(sample.image.pixelColor(1599, 999).rgb() & 0xFFFFFF, backgrounds[i]) << i;
        }
        sample.image.save(outputFolder() + QStringLiteral("/sample-%1.png").arg(i));
    }
}

TEST(DemoContent, DrawsTheSamePixelsOnEveryCall)
{
    const auto first = DemoContent::makeSamples();
    const auto second = DemoContent::makeSamples();
    for (size_t i = 0; i < first.size(); ++i)
        EXPECT_EQ(first[i].image, second[i].image) << i;
    EXPECT_EQ(DemoContent::benchmarkImage(), DemoContent::benchmarkImage());
}

TEST(DemoContent, PrivacyRegionsKeepTextsAndRectanglesButNotIdentifiers)
{
    const auto a = DemoContent::privacyRegions();
    const auto b = DemoContent::privacyRegions();
    ASSERT_EQ(a.size(), 4u);
    const size_t lengths[] = {12, 16, 13, 35};
    for (size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].text, b[i].text);
        EXPECT_EQ(a[i].rect, b[i].rect);
        EXPECT_NE(a[i].id, b[i].id);
        EXPECT_EQ(QString::fromStdString(a[i].text).size(), qsizetype(lengths[i])) << i;
        EXPECT_EQ(a[i].confidence, 1.0f);
    }
    EXPECT_EQ(a[2].text, "010-1234-5678");
    EXPECT_EQ(a[1].rect, UnitRect(0.12, 0.42, 0.45, 0.055));
}

// The redaction practice relies on the detector finding the e-mail, the phone number and the
// key line of the privacy sample.
TEST(DemoContent, ThePrivacySampleHoldsAnEmailAPhoneNumberAndACredential)
{
    const auto found = PrivacyDetector::suggestions(DemoContent::privacyRegions());
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0].region.text, DemoContent::privacyEmail.toStdString());
    EXPECT_EQ(found[0].kinds, std::vector<SensitiveKind>{SensitiveKind::email});
    EXPECT_EQ(found[1].kinds, std::vector<SensitiveKind>{SensitiveKind::phone});
    EXPECT_EQ(found[2].kinds, std::vector<SensitiveKind>{SensitiveKind::credential});
}

TEST(DemoContent, BenchmarkImageIs4KWithItsBackgroundCard)
{
    const QImage image = DemoContent::benchmarkImage();
    ASSERT_EQ(image.size(), QSize(3840, 2160));
    EXPECT_EQ(image.pixelColor(240, 1000).rgb() & 0xFFFFFF, 0x102129u); // inside the card
    image.save(outputFolder() + QStringLiteral("/benchmark.png"));
}

} // namespace
} // namespace tarn
