// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDir>

#include <gtest/gtest.h>

#include "app/model/DemoContent.h"
#include "core/text/PrivacyDetector.h"

namespace tarn {
namespace {

QString outputFolder()
{
    const QString folder = QStringLiteral(TARN_TEST_OUTPUT_DIR) + QStringLiteral("/demo-content");
    QDir().mkpath(folder);
    return folder;
}

// The samples are the same pixels on every call; they and the benchmark picture land in the
// build folder for review by eye.
TEST(DemoContent, DrawsTheSamePixelsOnEveryCall)
{
    const auto first = DemoContent::makeSamples();
    const auto second = DemoContent::makeSamples();
    ASSERT_EQ(first.size(), second.size());
    for (size_t i = 0; i < first.size(); ++i) {
        EXPECT_FALSE(first[i].image.isNull()) << i;
        EXPECT_EQ(first[i].image, second[i].image) << i;
        first[i].image.save(outputFolder() + QStringLiteral("/sample-%1.png").arg(i));
    }
    const QImage benchmark = DemoContent::benchmarkImage();
    EXPECT_EQ(benchmark, DemoContent::benchmarkImage());
    benchmark.save(outputFolder() + QStringLiteral("/benchmark.png"));
}

// The redaction practice relies on the detector finding the e-mail, the phone number and the
// key line of the privacy sample; each call gives the same lines under new identifiers.
TEST(DemoContent, ThePrivacySampleHoldsAnEmailAPhoneNumberAndACredential)
{
    const auto a = DemoContent::privacyRegions();
    const auto b = DemoContent::privacyRegions();
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].text, b[i].text);
        EXPECT_EQ(a[i].rect, b[i].rect);
        EXPECT_NE(a[i].id, b[i].id);
    }
    const auto found = PrivacyDetector::suggestions(a);
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0].region.text, DemoContent::privacyEmail.toStdString());
    EXPECT_EQ(found[0].kinds, std::vector<SensitiveKind>{SensitiveKind::email});
    EXPECT_EQ(found[1].kinds, std::vector<SensitiveKind>{SensitiveKind::phone});
    EXPECT_EQ(found[2].kinds, std::vector<SensitiveKind>{SensitiveKind::credential});
}

} // namespace
} // namespace tarn
