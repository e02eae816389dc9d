// SPDX-License-Identifier: GPL-3.0-or-later
// The library store's hot paths: a favourite toggle, which rewrites the whole index with fsync,
// on a 5,000-item library; and one search keystroke over 10,000 items that carry 2 KB of
// recognized text each (goal: under 10 ms), with the folded text cached per item as the
// application keeps it, and without that cache for comparison.
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include <QTemporaryDir>

#include "SyntheticLibrary.h"
#include "core/library/LibraryIndex.h"
#include "core/library/LibraryStore.h"
#include "core/library/SearchQuery.h"

using namespace tarn;
using Bench::syntheticLibrary;

namespace {

// state.range(0): recognized-text bytes per item (0: captures without text).
void BM_FavoriteToggle5000(benchmark::State &state)
{
    QTemporaryDir folder;
    const std::vector<CaptureItem> items = syntheticLibrary(5000, static_cast<size_t>(state.range(0)));
    QFile index(folder.filePath(QStringLiteral("library.json")));
    index.open(QIODevice::WriteOnly);
    index.write(LibraryIndex::encode(items));
    index.close();
    LibraryStore store(folder.path());
    store.load();
    bool value = true;
    for (auto _ : state) {
        benchmark::DoNotOptimize(store.setFavorite(items[2500].id, value));
        value = !value;
    }
    state.counters["indexMB"] = static_cast<double>(QFileInfo(index).size()) / 1e6;
}
BENCHMARK(BM_FavoriteToggle5000)
    ->Arg(0)
    ->Arg(2048)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

const std::vector<CaptureItem> &searchLibrary()
{
    static const auto items = syntheticLibrary(10000, 2048);
    return items;
}

const std::vector<SearchText> &preparedTexts()
{
    static const auto prepared = [] {
        std::vector<SearchText> texts;
        for (const CaptureItem &item : searchLibrary())
            texts.push_back(SearchText::of(item));
        return texts;
    }();
    return prepared;
}

const char *const keystrokes[] = {"회의 자료", "\"오류가 발생\" -tag:home", "invoice type:image is:favorite", "결"};

void BM_SearchKeystroke10000(benchmark::State &state)
{
    const auto &items = searchLibrary();
    const auto &prepared = preparedTexts();
    const char *text = keystrokes[state.range(0)];
    size_t hits = 0;
    for (auto _ : state) {
        const SearchQuery query(text);
        hits = 0;
        for (size_t i = 0; i < items.size(); ++i)
            hits += query.matches(items[i], prepared[i]) ? 1 : 0;
        benchmark::DoNotOptimize(hits);
    }
    state.counters["hits"] = static_cast<double>(hits);
    state.SetLabel(text);
}
BENCHMARK(BM_SearchKeystroke10000)
    ->DenseRange(0, 3)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_SearchKeystroke10000Uncached(benchmark::State &state)
{
    const auto &items = searchLibrary();
    for (auto _ : state) {
        const SearchQuery query(keystrokes[0]);
        size_t hits = 0;
        for (const CaptureItem &item : items)
            hits += query.matches(item) ? 1 : 0;
        benchmark::DoNotOptimize(hits);
    }
}
BENCHMARK(BM_SearchKeystroke10000Uncached)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_PrepareSearchText10000(benchmark::State &state)
{
    const auto &items = searchLibrary();
    for (auto _ : state)
        for (const CaptureItem &item : items)
            benchmark::DoNotOptimize(SearchText::of(item));
}
BENCHMARK(BM_PrepareSearchText10000)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
