// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

#include <QTemporaryDir>

#include "core/text/ReadingOrder.h"
#include "core/text/RecognitionLanguages.h"
#include "core/text/TextRecognizer.h"

using namespace tarn;

namespace {

TextRegion region(std::string text, double x, double y)
{
    return {Uuid::random(), std::move(text), UnitRect(x, y, 0.1, 0.02), 0.9f};
}

std::string texts(const std::vector<TextRegion> &regions)
{
    std::string joined;
    for (const auto &r : regions)
        joined += r.text + ' ';
    return joined;
}

} // namespace

TEST(ReadingOrder, linesWithinTheRowToleranceReadLeftToRightOtherwiseTopToBottom)
{
    std::vector<TextRegion> sameRow{region("right", 0.6, 0.300), region("left", 0.1, 0.305)};
    sortIntoReadingOrder(sameRow);
    EXPECT_EQ(texts(sameRow), "left right ");

    std::vector<TextRegion> twoRows{region("lower-left", 0.1, 0.31), region("upper-right", 0.6, 0.30)};
    sortIntoReadingOrder(twoRows);
    EXPECT_EQ(texts(twoRows), "upper-right lower-left ");

    std::vector<TextRegion> page{region("c", 0.1, 0.5), region("b", 0.5, 0.1), region("a", 0.1, 0.102),
                                 region("d", 0.5, 0.5)};
    sortIntoReadingOrder(page);
    EXPECT_EQ(texts(page), "a b c d ");
}

TEST(ReadingOrder, regionsNeitherOfWhichReadsFirstKeepTheRecognizersOrder)
{
    // Two positions, interleaved, so that the merge passes meet ties at every run boundary.
    std::vector<TextRegion> regions;
    std::string upper, lower;
    for (int i = 0; i < 37; ++i) {
        const bool isUpper = (i * 7) % 3 != 0;
        regions.push_back(region(std::to_string(i), isUpper ? 0.2 : 0.5, isUpper ? 0.1 : 0.4));
        (isUpper ? upper : lower) += std::to_string(i) + ' ';
    }
    sortIntoReadingOrder(regions);
    EXPECT_EQ(texts(regions), upper + lower);
}

// Tops that chain within the tolerance make the rule intransitive (a before c, c before b,
// b before a). The sort must still finish with every region exactly once; std::sort with
// this rule is undefined behaviour and can read out of bounds.
TEST(ReadingOrder, anIntransitiveChainOfTopsStillGivesEveryRegionOnce)
{
    std::mt19937 random(7);
    for (int round = 0; round < 50; ++round) {
        std::vector<TextRegion> regions;
        const int count = 1 + int(random() % 200);
        for (int i = 0; i < count; ++i)
            regions.push_back(region(std::to_string(i), (random() % 1000) / 1000.0, 0.007 * (random() % 40) / 2));
        std::set<Uuid> before;
        for (const auto &r : regions)
            before.insert(r.id);
        sortIntoReadingOrder(regions);
        std::set<Uuid> after;
        for (const auto &r : regions)
            after.insert(r.id);
        ASSERT_EQ(regions.size(), size_t(count));
        ASSERT_EQ(before, after);
        // Regions a full row apart never come out inverted.
        for (size_t i = 1; i < regions.size(); ++i)
            for (size_t j = 0; j < i; ++j)
                ASSERT_FALSE(regions[i].rect.y + 0.1 < regions[j].rect.y);
    }
    std::vector<TextRegion> none;
    sortIntoReadingOrder(none);
    EXPECT_TRUE(none.empty());
}

TEST(RecognitionResult, textJoinsTheRegionsWithLineFeeds)
{
    RecognitionResult result;
    EXPECT_EQ(result.text(), "");
    result.regions = {region("a", 0, 0), region("b", 0, 0.1), region("c", 0, 0.2)};
    EXPECT_EQ(result.text(), "a\nb\nc");
}

TEST(RecognitionResult, linesBecomeRegionsBlankOnesKeptEmptyOnesDropped)
{
    const std::vector<RecognizedLine> lines{
        {"second row", QRect(50, 300, 200, 20), 0.8f}, {"", QRect(0, 0, 10, 10), 0.9f},
        {" ", QRect(400, 100, 30, 20), 0.5f},          {"  untrimmed ", QRect(10, 102, 100, 20), 1.3f},
        {"beyond", QRect(900, 350, 400, 100), -0.01f},
    };
    const auto regions = regionsFromLines(lines, QSize(1000, 400));
    ASSERT_EQ(regions.size(), 4u);
    EXPECT_EQ(regions[0].text, "  untrimmed ");
    EXPECT_EQ(regions[1].text, " ");
    EXPECT_EQ(regions[2].text, "second row");
    EXPECT_EQ(regions[3].text, "beyond");
    EXPECT_DOUBLE_EQ(regions[2].rect.x, 0.05);
    EXPECT_DOUBLE_EQ(regions[2].rect.y, 0.75);
    EXPECT_DOUBLE_EQ(regions[2].rect.width, 0.2);
    EXPECT_DOUBLE_EQ(regions[2].rect.height, 0.05);
    EXPECT_NEAR(regions[3].rect.width, 0.1, 1e-12); // clamped into the image
    EXPECT_NEAR(regions[3].rect.height, 0.125, 1e-12);
    EXPECT_EQ(regions[0].confidence, 1.0f);
    EXPECT_EQ(regions[3].confidence, 0.0f);
    EXPECT_NE(regions[0].id, regions[1].id);
    EXPECT_NE(regionsFromLines(lines, QSize(1000, 400))[0].id, regions[0].id);
}

TEST(RecognitionLanguages, preferredLanguagesAreKeptInPreferenceOrderWhenSupported)
{
    using List = std::vector<std::string>;
    EXPECT_EQ(recognitionLanguages({"en-US"}), List{"en-US"});
    EXPECT_EQ(recognitionLanguages({"ja-JP", "en-US", "ko-KR"}), (List{"ko-KR", "en-US"}));
    EXPECT_EQ(recognitionLanguages({"ko", "en-us", "de-DE"}), List{});
    EXPECT_EQ(tesseractLanguages({"ko-KR", "en-US"}), "kor+eng");
    EXPECT_EQ(tesseractLanguages({"en-US"}), "eng");
    EXPECT_EQ(tesseractLanguages({}), "");

    QTemporaryDir dir;
    const std::filesystem::path folder = dir.path().toStdString();
    EXPECT_EQ(installedRecognitionLanguages(folder), List{});
    QFile(dir.filePath(QStringLiteral("kor.traineddata"))).open(QIODevice::WriteOnly); // empty: not a model
    QFile fra(dir.filePath(QStringLiteral("fra.traineddata")));
    fra.open(QIODevice::WriteOnly);
    fra.write("x");
    fra.close();
    EXPECT_EQ(installedRecognitionLanguages(folder), List{});
    EXPECT_EQ(installedRecognitionLanguages(folder / "missing"), List{});
}
