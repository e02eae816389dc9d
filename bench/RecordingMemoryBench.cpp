// SPDX-License-Identifier: GPL-3.0-or-later
// Memory given back after recordings: one process records the whole test desktop (a moving
// full-screen pattern, another process) twenty times in a row through the recording service
// with its HUD, as the application does, 3 s each at 60 frames per second with system audio
// (noise played into the test sound server). Once each recording has finished and the service
// has been idle for two seconds, the process reads its resident size. Printed for every
// recording: that size beside the one after the first recording (goal: the twentieth within
// 60 MiB of the first), the frames per recorded second beside the requested 60 (read back with
// libavformat), the CPU seconds per recorded second and the time from the stop to the finished
// file. TARN_BENCH_RECORDINGS and TARN_BENCH_SECONDS change the count and the length. Needs an
// X display and the sound server (scripts/with-desktop.sh starts both).
//
// Two runs on the shared 8-core machine, idle resident size in MiB after recordings 1, 2, 5, 10
// and 20, with the mean frames per second of the twenty (of 60):
//   while glibc kept what recordings had freed: 71.9, 100.4, 188.4, 187.2, 193.4 (58.2 fps) and
//                                               72.0, 108.4, 211.7, 215.7, 211.9 (59.3 fps);
//   with the recorder giving it back:           66.7,  67.9,  67.4,  66.4,  67.4 (59.0 fps) and
//                                               67.2,  67.5,  68.0,  66.5,  66.4 (59.1 fps).
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>

#include <qcoro/qcorotask.h>

#include "app/capture/RecordingService.h"
#include "app/floating/FloatingWindows.h"

#include "RecordingBench.h"

namespace {

using namespace tarn;

constexpr int frameRate = 60;
constexpr int idleMilliseconds = 2000;
std::string self;

const int recordings = bench::fromEnvironment("TARN_BENCH_RECORDINGS", 20);
const int seconds = bench::fromEnvironment("TARN_BENCH_SECONDS", 3);

double cpuSeconds()
{
    rusage r{};
    getrusage(RUSAGE_SELF, &r);
    return double(r.ru_utime.tv_sec + r.ru_stime.tv_sec) + double(r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e6;
}

void idle(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

// One recording of `path`, the HUD shown while it runs, as the application's recording flow
// does. Returns false after an error, which is written to `out`.
bool recordOnce(RecordingService &service, FloatingWindows &floating, const QString &path, std::ostream &out)
{
    const auto [filter, settings] = bench::wholeScreen(frameRate);

    QEventLoop loop;
    bool finished = false;
    QElapsedTimer stopClock;
    QObject::connect(&service, &RecordingService::finished, &loop, [&] {
        finished = true;
        loop.quit();
    });
    QObject::connect(&service, &RecordingService::failed, &loop, [&](const Failure &error) {
        out << "error " << error.description().simplified().toStdString() << '\n';
        if (service.state() == RecordingService::State::idle)
            loop.quit();
    });
    const double cpuBefore = cpuSeconds();
    try {
        QCoro::waitFor(service.start(filter, std::nullopt, settings, path));
    } catch (const Failure &error) {
        out << "error " << error.description().simplified().toStdString() << '\n';
        return false;
    }
    floating.showRecording(&service, QGuiApplication::primaryScreen());
    QTimer::singleShot(seconds * 1000, &loop, [&] {
        stopClock.start();
        service.stop();
    });
    loop.exec();
    const double stopMilliseconds = double(stopClock.nsecsElapsed()) / 1e6;
    floating.recordingPanel.reset();
    idle(idleMilliseconds);
    // The CPU time includes the idle wait: whatever the recorder does after its file is
    // finished counts too.
    out << "recording " << bench::residentKiB() << ' ' << cpuSeconds() - cpuBefore << ' ' << stopMilliseconds << '\n';
    return finished;
}

// The recording process: `recordings` recordings into `folder` (0.mp4, 1.mp4, ...), results
// as "key value..." lines in `results`.
int runSeries(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QString folder = QString::fromLocal8Bit(argv[2]);
    std::ofstream out(argv[3]);
    RecordingService service;
    FloatingWindows floating;
    idle(idleMilliseconds);
    out << "before " << bench::residentKiB() << '\n';
    for (int i = 0; i < recordings; ++i)
        if (!recordOnce(service, floating, folder + QStringLiteral("/%1.mp4").arg(i), out))
            return 1;
    return 0;
}

struct Recording {
    double residentMiB = 0;
    double cpu = 0; // seconds, the recording and the idle wait after it
    double stopMilliseconds = 0;
    bench::Delivered delivered;
};

struct Series {
    double beforeMiB = 0;
    std::vector<Recording> recordings;
    std::vector<std::string> errors;
};

Series readSeries(const std::string &results, const std::string &folder)
{
    Series series;
    std::ifstream in(results);
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        std::string key;
        words >> key;
        if (key == "before") {
            words >> series.beforeMiB;
            series.beforeMiB /= 1024;
        } else if (key == "recording") {
            Recording r;
            words >> r.residentMiB >> r.cpu >> r.stopMilliseconds;
            r.residentMiB /= 1024;
            r.delivered = bench::countFrames(folder + "/" + std::to_string(series.recordings.size()) + ".mp4");
            series.recordings.push_back(r);
        } else if (key == "error") {
            series.errors.push_back(line.substr(6));
        }
    }
    return series;
}

void printSeries(const Series &series)
{
    std::printf("%d recordings of %d s in one process, the %s test desktop at %d fps with system audio, through "
                "the recording service with its HUD; resident size %d s after each (%.1f MiB before the first):\n",
                recordings, seconds, "1920x1080", frameRate, idleMilliseconds / 1000, series.beforeMiB);
    for (const std::string &error : series.errors)
        std::printf("  reported: %s\n", error.c_str());
    std::printf("  %-4s %-22s %-20s %-12s %s\n", "#", "idle RSS MiB (+first)", "frames/s (of 60)", "cpu s/s",
                "stop to file ms");
    const double first = series.recordings.empty() ? 0 : series.recordings.front().residentMiB;
    for (size_t i = 0; i < series.recordings.size(); ++i) {
        const Recording &r = series.recordings[i];
        const double span = r.delivered.span;
        std::printf("  %-4zu %7.1f (%+6.1f)        %6.2f (%lld frames)  %-12.3f %.0f\n", i + 1, r.residentMiB,
                    r.residentMiB - first, span > 0 ? double(r.delivered.frames) / span : 0,
                    (long long)r.delivered.frames, span > 0 ? r.cpu / span : 0, r.stopMilliseconds);
    }
    if (series.recordings.empty())
        return;
    const double growth = series.recordings.back().residentMiB - first;
    std::printf("  after recording %zu: %.1f MiB, %+.1f MiB against the first's %.1f MiB (goal within 60 MiB): %s\n",
                series.recordings.size(), series.recordings.back().residentMiB, growth, first,
                growth <= 60 ? "met" : "MISSED");
    std::fflush(stdout);
}

void recordInARow(benchmark::State &state)
{
    if (!std::getenv("DISPLAY")) {
        state.SkipWithError("needs an X display and the sound server (scripts/with-desktop.sh)");
        return;
    }
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString();
    const std::string results = dir.filePath(QStringLiteral("results.txt")).toStdString();
    bench::Usage usage;
    for (auto _ : state) {
        const pid_t pattern = bench::spawn({self, "--pattern"});
        // Something plays all the while, so the recorder follows a playback stream as well as
        // the output's monitor.
        const pid_t noise = bench::spawn(
            {"pacat", "--playback", "--raw", "--format=s16le", "--rate=48000", "--channels=2", "/dev/urandom"});
        usleep(1'500'000);
        usage = bench::runMeasured({self, "--series", folder, results});
        bench::endProcess(noise);
        bench::endProcess(pattern);
    }
    const Series series = readSeries(results, folder);
    printSeries(series);
    if (usage.status != 0 || series.recordings.empty()) {
        state.SkipWithError("a recording failed");
        return;
    }
    const double first = series.recordings.front().residentMiB, last = series.recordings.back().residentMiB;
    state.counters["rss_first_mib"] = first;
    state.counters["rss_last_mib"] = last;
    state.counters["rss_growth_mib"] = last - first;
}
BENCHMARK(recordInARow)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    self = argv[0];
    if (argc >= 2 && std::strcmp(argv[1], "--pattern") == 0)
        return bench::runMovingScreen(argc, argv);
    if (argc >= 4 && std::strcmp(argv[1], "--series") == 0)
        return runSeries(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
