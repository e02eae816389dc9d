// SPDX-License-Identifier: GPL-3.0-or-later
// A still capture of the 1920 x 1080 display: our MIT-SHM grab (alone, with the pointer drawn
// in, and through ScreenCaptureService) beside Qt's QScreen::grabWindow and ImageMagick's
// `import -window root`, in one run, with the ratios printed at the end. Needs an X display
// (bench/run.sh provides one).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

#include <QApplication>
#include <QProcess>
#include <QScreen>

#include "app/capture/ScreenCaptureService.h"
#include "platform/ScreenSource.h"

using namespace tarn;

namespace {

const QRect fullHD(0, 0, 1920, 1080);

ScreenSource &source()
{
    static const std::unique_ptr<ScreenSource> desktop = makeX11ScreenSource();
    return *desktop;
}

void shmGrab1080p(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(source().grab(fullHD, false));
}
BENCHMARK(shmGrab1080p)->Unit(benchmark::kMillisecond)->UseRealTime();

void shmGrab1080pWithPointer(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(source().grab(fullHD, true));
}
BENCHMARK(shmGrab1080pWithPointer)->Unit(benchmark::kMillisecond)->UseRealTime();

// The whole still-capture call: content, filter, size checks and the grab.
void serviceCapture1080p(benchmark::State &state)
{
    ScreenCaptureService service;
    const ShareableContent content = QCoro::waitFor(service.availableContent());
    const ContentFilter filter = QCoro::waitFor(service.displayFilter(content.displays.front().displayID));
    for (auto _ : state)
        benchmark::DoNotOptimize(QCoro::waitFor(service.capture(filter, std::nullopt, false)));
}
BENCHMARK(serviceCapture1080p)->Unit(benchmark::kMillisecond)->UseRealTime();

void qtGrabWindow1080p(benchmark::State &state)
{
    QScreen *screen = QGuiApplication::primaryScreen();
    for (auto _ : state)
        benchmark::DoNotOptimize(screen->grabWindow(0).toImage());
}
BENCHMARK(qtGrabWindow1080p)->Unit(benchmark::kMillisecond)->UseRealTime();

// ImageMagick's screen grab as a whole command, writing raw pixels so no encoder is timed.
void importWindowRoot1080p(benchmark::State &state)
{
    for (auto _ : state) {
        const int status = QProcess::execute(QStringLiteral("import"),
                                             {QStringLiteral("-silent"), QStringLiteral("-window"),
                                              QStringLiteral("root"), QStringLiteral("rgb:/dev/null")});
        if (status != 0) {
            state.SkipWithError("import failed");
            break;
        }
    }
}
BENCHMARK(importWindowRoot1080p)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

// Remembers each benchmark's real time so the ratios can be printed after the table.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> milliseconds;
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs)
            if (!run.error_occurred && run.run_type == Run::RT_Iteration)
                milliseconds[run.run_name.function_name] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
};

void printRatio(const RatioReporter &reporter, const char *peer, const char *ours)
{
    const auto p = reporter.milliseconds.find(peer);
    const auto o = reporter.milliseconds.find(ours);
    if (p == reporter.milliseconds.end() || o == reporter.milliseconds.end() || o->second <= 0)
        return;
    std::printf("%-24s / %-22s = %6.1fx (%.2f ms vs %.2f ms)\n", peer, ours, p->second / o->second, p->second,
                o->second);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (!source().isAvailable()) {
        std::fprintf(stderr, "bench_CaptureBench needs an X display\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    std::printf("\nStill capture of 1920 x 1080, peer time / our time:\n");
    printRatio(reporter, "qtGrabWindow1080p", "shmGrab1080p");
    printRatio(reporter, "importWindowRoot1080p", "shmGrab1080p");
    printRatio(reporter, "qtGrabWindow1080p", "serviceCapture1080p");
    printRatio(reporter, "importWindowRoot1080p", "serviceCapture1080p");
    return 0;
}
