// Encoding and decoding a large library index: 5,000 items, each with about 2 KB of recognized
// text, 30 text regions and 10 marks.
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "core/CaptureItem.h"
#include "core/LibraryIndex.h"

using namespace tarn;
using json::Json;

namespace {

std::vector<CaptureItem> syntheticLibrary(int count)
{
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> unit(0, 1);
    const std::string words[] = {"로그인", "Sign", "in", "설정", "Settings", "메뉴", "파일", "Export", "캡처", "error"};
    std::vector<CaptureItem> items;
    items.reserve(count);
    for (int n = 0; n < count; ++n) {
        CaptureItem item;
        item.id = Uuid::random();
        item.title = "캡처 " + std::to_string(n);
        item.createdAt = Date{780'000'000.0 + n * 61.5};
        item.filename = item.id.toString() + ".png";
        item.thumbnailFilename = item.id.toString() + ".jpg";
        item.width = 2880;
        item.height = 1800;
        item.byteCount = 1'500'000 + n;
        item.tags = {"ui", "bug"};
        while (item.recognizedText.size() < 2048)
            item.recognizedText += words[rng() % 10] + (rng() % 6 == 0 ? "\n" : " ");
        for (int r = 0; r < 30; ++r)
            item.textRegions.push_back(TextRegion{Uuid::random(), words[rng() % 10] + " " + words[rng() % 10],
                                                  UnitRect(unit(rng), unit(rng), 0.2, 0.02),
                                                  static_cast<float>(unit(rng))});
        for (int a = 0; a < 10; ++a) {
            Annotation mark;
            mark.id = Uuid::random();
            mark.tool = allCases<MarkupTool>()[1 + a % 13];
            mark.points = {UnitPoint(unit(rng), unit(rng)), UnitPoint(unit(rng), unit(rng))};
            mark.weight = 6;
            mark.number = a + 1;
            if (mark.tool == MarkupTool::badge) {
                mark.badgeStyle = BadgeStyle::warning;
                mark.badgeRotation = 30;
            }
            item.edits.annotations.push_back(mark);
        }
        item.captureMilliseconds = 25.0;
        items.push_back(std::move(item));
    }
    return items;
}

// The library's own index codec, as every change and every start uses it.
QByteArray encodeIndex(const std::vector<CaptureItem> &items)
{
    return libraryIndex::encode(items);
}

std::vector<CaptureItem> decodeIndex(const QByteArray &bytes)
{
    return libraryIndex::decode(bytes);
}

const std::vector<CaptureItem> &library()
{
    static const auto items = syntheticLibrary(5000);
    return items;
}

void BM_EncodeIndex5000(benchmark::State &state)
{
    size_t bytes = 0;
    for (auto _ : state) {
        const QByteArray text = encodeIndex(library());
        bytes = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.counters["indexMB"] = static_cast<double>(bytes) / 1e6;
}
BENCHMARK(BM_EncodeIndex5000)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_DecodeIndex5000(benchmark::State &state)
{
    const QByteArray text = encodeIndex(library());
    for (auto _ : state) {
        auto items = decodeIndex(text);
        benchmark::DoNotOptimize(items.data());
    }
}
BENCHMARK(BM_DecodeIndex5000)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
