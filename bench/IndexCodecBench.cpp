// SPDX-License-Identifier: GPL-3.0-or-later
// Encoding and decoding a large library index: 5,000 items, each with about 2 KB of recognized
// text, 30 text regions and 10 marks, through the library's own index codec.
#include <benchmark/benchmark.h>

#include "SyntheticLibrary.h"
#include "core/library/LibraryIndex.h"
#include "core/model/CaptureItem.h"

using namespace tarn;

namespace {

const std::vector<CaptureItem> &library()
{
    static const auto items = Bench::syntheticLibrary(5000, 2048, 10);
    return items;
}

void BM_EncodeIndex5000(benchmark::State &state)
{
    size_t bytes = 0;
    for (auto _ : state) {
        const QByteArray text = LibraryIndex::encode(library());
        bytes = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.counters["indexMB"] = static_cast<double>(bytes) / 1e6;
}
BENCHMARK(BM_EncodeIndex5000)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_DecodeIndex5000(benchmark::State &state)
{
    const QByteArray text = LibraryIndex::encode(library());
    for (auto _ : state) {
        auto items = LibraryIndex::decode(text, QStringLiteral("library.json"));
        benchmark::DoNotOptimize(items.data());
    }
}
BENCHMARK(BM_DecodeIndex5000)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
