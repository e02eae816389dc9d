// SPDX-License-Identifier: GPL-3.0-or-later
// The benchmark as the real program runs it: the report's shape and its files, never its times.
#include <algorithm>

#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "app/devmodes/Benchmarks.h"
#include "support/ProgramRun.h"

namespace tarn {
namespace {

using TestSupport::ProgramOutcome;

// Without a display: the benchmark must choose the offscreen platform by itself.
ProgramOutcome runBenchmark(const QString &output)
{
    return TestSupport::runProgram({QStringLiteral("--benchmark"), output},
                                   TestSupport::displayVariables() << QStringLiteral("XDG_RUNTIME_DIR"), {},
                                   std::chrono::minutes(4));
}

TEST(Benchmarks, MedianIsTheUpperMiddleAndP95TheLargestWhileSamplesKeepTheirOrder)
{
    struct Case {
        std::vector<double> samples;
        double median, p95;
    };
    const Case cases[] = {
        {{9, 1, 8, 2, 7, 3, 6, 4, 5}, 5, 9},
        {{3, 1, 2}, 2, 3},
        {{4, 1, 3, 2}, 3, 4}, // even count: the upper middle, no averaging
        {{7}, 7, 7},
    };
    for (const Case &c : cases) {
        const Benchmarks::Measurement m = Benchmarks::measurement(QStringLiteral("m"), c.samples);
        EXPECT_EQ(m.iterations, int64_t(c.samples.size()));
        EXPECT_EQ(m.medianMilliseconds, c.median);
        EXPECT_EQ(m.p95Milliseconds, c.p95);
        EXPECT_EQ(m.samplesMilliseconds, c.samples);
    }
}

TEST(Benchmarks, RunWritesTheRenderAndAReportOfEveryKeyAndPrintsOnlyTheReport)
{
    QTemporaryDir dir;
    const QString output = dir.filePath(QStringLiteral("nested/bench"));
    const ProgramOutcome outcome = runBenchmark(output);
    ASSERT_EQ(outcome.status, 0) << outcome.err.toStdString();
    EXPECT_EQ(outcome.err, QByteArray());

    QFile file(output + QStringLiteral("/benchmark.json"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray json = file.readAll();
    EXPECT_EQ(outcome.out, json + "\n");

    const QJsonObject report = QJsonDocument::fromJson(json).object();
    const QStringList keys{QStringLiteral("build"),
                           QStringLiteral("comparison"),
                           QStringLiteral("exportedPNGBytes"),
                           QStringLiteral("generatedAt"),
                           QStringLiteral("input"),
                           QStringLiteral("measurements"),
                           QStringLiteral("operatingSystem"),
                           QStringLiteral("physicalMemoryBytes"),
                           QStringLiteral("processorCount"),
                           QStringLiteral("recognizedRegionCount")};
    EXPECT_EQ(report.keys(), keys);
    for (const char *key : {"build", "comparison", "input", "operatingSystem"})
        EXPECT_FALSE(report[QLatin1String(key)].toString().isEmpty()) << key;
    EXPECT_NE(report[QLatin1String("build")].toString(), QStringLiteral("release (-O)"))
        << "the configuration is named as built";
    EXPECT_TRUE(QDateTime::fromString(report[QLatin1String("generatedAt")].toString(), Qt::ISODate).isValid());
    EXPECT_TRUE(report[QLatin1String("generatedAt")].toString().endsWith(QLatin1Char('Z')));
    EXPECT_GT(report[QLatin1String("exportedPNGBytes")].toInteger(), 0);
    EXPECT_GT(report[QLatin1String("processorCount")].toInteger(), 0);
    EXPECT_GT(report[QLatin1String("physicalMemoryBytes")].toInteger(), 0);
    EXPECT_GT(report[QLatin1String("recognizedRegionCount")].toInteger(), 0);

    const QJsonArray measurements = report[QLatin1String("measurements")].toArray();
    const std::pair<const char *, int> expected[] = {
        {"render_4k_32_annotations", 9}, {"png_encode_4k", 9}, {"thumbnail_720px", 9}, {"vision_ocr_1600px", 3}};
    ASSERT_EQ(measurements.size(), 4);
    for (int i = 0; i < 4; ++i) {
        const QJsonObject m = measurements[i].toObject();
        EXPECT_EQ(
            m.keys(),
            (QStringList{QStringLiteral("iterations"), QStringLiteral("medianMilliseconds"), QStringLiteral("name"),
                         QStringLiteral("p95Milliseconds"), QStringLiteral("samplesMilliseconds")}));
        EXPECT_EQ(m[QLatin1String("name")].toString(), QLatin1String(expected[i].first));
        EXPECT_EQ(m[QLatin1String("iterations")].toInteger(), expected[i].second);
        std::vector<double> samples;
        for (const QJsonValue &v : m[QLatin1String("samplesMilliseconds")].toArray())
            samples.push_back(v.toDouble(-1));
        ASSERT_EQ(int(samples.size()), expected[i].second);
        EXPECT_TRUE(std::all_of(samples.begin(), samples.end(), [](double v) { return v >= 0; }));
        std::sort(samples.begin(), samples.end());
        EXPECT_EQ(m[QLatin1String("medianMilliseconds")].toDouble(), samples[samples.size() / 2]);
        EXPECT_EQ(m[QLatin1String("p95Milliseconds")].toDouble(), samples.back());
    }
    EXPECT_EQ(QImage(output + QStringLiteral("/render-4k-redacted.png")).size(), QSize(3840, 2160));

    // A second run into the same folder replaces both files.
    EXPECT_EQ(runBenchmark(output).status, 0);
}

TEST(Benchmarks, AnOutputThatIsAFileFailsWithStatusOneAndWritesNothing)
{
    QTemporaryDir dir;
    const QString blocker = dir.filePath(QStringLiteral("plain-file"));
    QFile file(blocker);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const ProgramOutcome outcome = runBenchmark(blocker);
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.out, QByteArray());
    EXPECT_TRUE(outcome.err.startsWith("Benchmark failed: ")) << outcome.err.toStdString();
    EXPECT_TRUE(outcome.err.endsWith("\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
              QStringList{QStringLiteral("plain-file")});
}

} // namespace
} // namespace tarn
