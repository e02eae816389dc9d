// SPDX-License-Identifier: GPL-3.0-or-later
// The screen recorder against ffmpeg's x11grab, in one run on the same X display: a
// full-screen moving pattern (its own process) recorded for 10 s with libx264 preset veryfast
// (GOP of 2 s on both sides), first by our recorder, then by `ffmpeg -f x11grab`, twice each,
// alternating. Cases: the 1920 x 1080 test desktop at 30 and 60 frames per second, and a
// 3840 x 2160 display (a private Xvfb this program starts) at 30 and 60, unscaled and scaled to
// a 1920 long edge (bilinear on both sides), and once with system audio from the sound server.
// TARN_BENCH_SECONDS and TARN_BENCH_ROUNDS shorten a run on a busy machine. Each recorder runs as a child process whose
// CPU time (user + system) comes from wait4(). Reported: frames in each file and the time they
// span (read back with libavformat), frames per recorded second ours / ffmpeg's (goal >= 0.98),
// CPU seconds per recorded second for each, and their ratio (goal <= 1.1). Needs an X display
// (bench/run.sh starts one).
//
// Also: the per-frame colour conversion and encoding cost at 1080p and 4K, in-process.
#include <benchmark/benchmark.h>

#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <QElapsedTimer>
#include <QPainter>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include "platform/recorder/Mp4Writer.h"
#include "platform/recorder/ScreenRecorderBackend.h"

#include "RecordingBench.h"

namespace {

using namespace tarn;

constexpr int frameRate = 30;
std::string self;

const int seconds = bench::fromEnvironment("TARN_BENCH_SECONDS", 10);
const int rounds = bench::fromEnvironment("TARN_BENCH_ROUNDS", 2);

// Records the screen's top-left source width x height to `path` for `seconds`, as the
// application would. Arguments after the path: rate, source width and height, output width and
// height, 1 for system audio.
int runRecording(int argc, char **argv, const char *path)
{
    const auto number = [&](int index, int fallback) { return argc > index ? std::atoi(argv[index]) : fallback; };
    QCoreApplication app(argc, argv);
    ScreenRecorderBackend backend;
    RecorderRequest request;
    request.sourceRect = QRect(0, 0, number(4, 1920), number(5, 1080));
    request.outputSize = QSize(number(6, 1920), number(7, 1080));
    request.frameRate = number(3, frameRate);
    request.systemAudio = number(8, 0) != 0;
    request.path = QString::fromLocal8Bit(path);
    auto session = backend.createSession(request);
    int status = 1;
    QObject::connect(session.get(), &RecorderSession::recordingFinished, &app, [&] {
        status = 0;
        app.quit();
    });
    QObject::connect(session.get(), &RecorderSession::recordingFailed, &app, [&](const QString &m) {
        std::fprintf(stderr, "%s\n", m.toUtf8().constData());
        app.quit();
    });
    session->startCapture();
    QTimer::singleShot(seconds * 1000, &app, [&] { session->stopCapture(); });
    app.exec();
    return status;
}

// A display of the given size for one case: the test desktop when it is 1920 x 1080, else a
// private Xvfb (DISPLAY points at it until the case ends).
class CaseDisplay {
public:
    CaseDisplay(int width, int height)
    {
        const char *current = std::getenv("DISPLAY");
        saved_ = current ? current : "";
        if (width == 1920 && height == 1080) {
            name_ = saved_;
            return;
        }
        int ready[2];
        if (pipe(ready) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, ready[1], 1);
        const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
        std::vector<std::string> arguments{"Xvfb", "-displayfd", "1", "-screen", "0", screen, "-nolisten", "tcp"};
        std::vector<char *> argv;
        for (std::string &a : arguments)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        const bool spawned = posix_spawnp(&server_, "Xvfb", &actions, nullptr, argv.data(), environ) == 0;
        posix_spawn_file_actions_destroy(&actions);
        close(ready[1]);
        std::string number;
        char c = 0;
        while (spawned && read(ready[0], &c, 1) == 1 && c != '\n')
            number += c;
        close(ready[0]);
        if (number.empty())
            return;
        name_ = ":" + number;
        setenv("DISPLAY", name_.c_str(), 1);
    }
    ~CaseDisplay()
    {
        setenv("DISPLAY", saved_.c_str(), 1);
        if (server_ > 0) {
            kill(server_, SIGTERM);
            waitpid(server_, nullptr, 0);
        }
    }
    const std::string &name() const { return name_; }

private:
    std::string saved_, name_;
    pid_t server_ = 0;
};

// Arguments: frame rate, display width (height 9/16 of it), output width, system audio.
void recordAgainstFfmpeg(benchmark::State &state)
{
    const int rate = int(state.range(0));
    const int width = int(state.range(1)), height = width * 9 / 16;
    const int outWidth = int(state.range(2)), outHeight = outWidth * 9 / 16;
    const bool audio = state.range(3) != 0;
    if (!std::getenv("DISPLAY")) {
        state.SkipWithError("needs an X display");
        return;
    }
    CaseDisplay display(width, height);
    if (display.name().empty()) {
        state.SkipWithError("Xvfb did not start");
        return;
    }
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString();
    const pid_t pattern = bench::spawn({self, "--pattern"});
    usleep(1'500'000);

    std::vector<std::string> ffmpegInput{"ffmpeg",
                                         "-nostdin",
                                         "-loglevel",
                                         "error",
                                         "-y",
                                         "-f",
                                         "x11grab",
                                         "-framerate",
                                         std::to_string(rate),
                                         "-video_size",
                                         std::to_string(width) + "x" + std::to_string(height),
                                         "-draw_mouse",
                                         "1",
                                         "-i",
                                         display.name() + "+0,0"};
    if (audio)
        ffmpegInput.insert(ffmpegInput.end(), {"-f", "pulse", "-i", "tarn_null.monitor", "-c:a", "aac"});
    if (outWidth != width)
        ffmpegInput.insert(
            ffmpegInput.end(),
            {"-vf", "scale=" + std::to_string(outWidth) + ":" + std::to_string(outHeight) + ":flags=bilinear"});
    ffmpegInput.insert(ffmpegInput.end(),
                       {"-t", std::to_string(seconds), "-c:v", "libx264", "-preset", "veryfast", "-g",
                        std::to_string(2 * rate), "-pix_fmt", "yuv420p", "-fps_mode", "passthrough"});

    double oursCpu = 0, ffmpegCpu = 0, oursSpan = 0, ffmpegSpan = 0;
    int64_t oursFrames = 0, ffmpegFrames = 0;
    for (auto _ : state) {
        for (int round = 0; round < rounds; ++round) {
            const std::string ours = folder + "/ours" + std::to_string(round) + ".mp4";
            const std::string theirs = folder + "/ffmpeg" + std::to_string(round) + ".mp4";
            const bench::Usage a = bench::runMeasured(
                {self, "--record", ours, std::to_string(rate), std::to_string(width), std::to_string(height),
                 std::to_string(outWidth), std::to_string(outHeight), audio ? "1" : "0"});
            std::vector<std::string> ffmpegArgs = ffmpegInput;
            ffmpegArgs.push_back(theirs);
            const bench::Usage b = bench::runMeasured(ffmpegArgs);
            if (a.status != 0 || b.status != 0) {
                state.SkipWithError("a recorder failed");
                break;
            }
            oursCpu += a.cpu;
            ffmpegCpu += b.cpu;
            const bench::Delivered mine = bench::countFrames(ours), peer = bench::countFrames(theirs);
            oursFrames += mine.frames;
            oursSpan += mine.span;
            ffmpegFrames += peer.frames;
            ffmpegSpan += peer.span;
        }
    }
    bench::endProcess(pattern);

    // Frames per second of recorded time: each recorder's start-up delay is its own, and
    // ffmpeg stops after exactly `seconds` of timestamps while ours stops that long after it
    // was asked.
    const double oursRate = oursSpan > 0 ? double(oursFrames) / oursSpan : 0;
    const double ffmpegRate = ffmpegSpan > 0 ? double(ffmpegFrames) / ffmpegSpan : 0;
    const double frameRatio = ffmpegRate > 0 ? oursRate / ffmpegRate : 0;
    const double oursCpuRate = oursSpan > 0 ? oursCpu / oursSpan : 0;
    const double ffmpegCpuRate = ffmpegSpan > 0 ? ffmpegCpu / ffmpegSpan : 0;
    const double cpuRatio = ffmpegCpuRate > 0 ? oursCpuRate / ffmpegCpuRate : 0;
    state.counters["ours_frames"] = double(oursFrames) / rounds;
    state.counters["ffmpeg_frames"] = double(ffmpegFrames) / rounds;
    state.counters["ours_fps"] = oursRate;
    state.counters["ffmpeg_fps"] = ffmpegRate;
    state.counters["frame_ratio"] = frameRatio;
    state.counters["ours_cpu_per_s"] = oursCpuRate;
    state.counters["ffmpeg_cpu_per_s"] = ffmpegCpuRate;
    state.counters["cpu_ratio"] = cpuRatio;
    std::printf("recorder vs ffmpeg x11grab, %dx%d -> %dx%d at %d fps%s, about %d s (mean of %d rounds):\n"
                "  frames      ours %.1f in %.2f s  ffmpeg %.1f in %.2f s\n"
                "  frames/s    ours %.2f  ffmpeg %.2f  ratio %.3f (goal >= 0.98)\n"
                "  cpu s/s     ours %.3f  ffmpeg %.3f  ratio %.3f (goal <= 1.1)\n",
                width, height, outWidth, outHeight, rate, audio ? " with system audio" : "", seconds, rounds,
                double(oursFrames) / rounds, oursSpan / rounds, double(ffmpegFrames) / rounds, ffmpegSpan / rounds,
                oursRate, ffmpegRate, frameRatio, oursCpuRate, ffmpegCpuRate, cpuRatio);
    std::fflush(stdout);
}
BENCHMARK(recordAgainstFfmpeg)
    ->ArgNames({"fps", "display", "output", "audio"})
    ->Args({30, 1920, 1920, 0})
    ->Args({60, 1920, 1920, 0})
    ->Args({30, 3840, 3840, 0})
    ->Args({30, 3840, 1920, 0})
    ->Args({60, 3840, 1920, 0})
    ->Args({60, 3840, 3840, 0})
    ->Args({30, 3840, 1920, 1})
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

// Converting and encoding one grabbed frame (a busy synthetic screen), per frame: the writer
// thread's share of the work (x264's own threads run beside it).
void encodeFrame(benchmark::State &state)
{
    const QSize size(int(state.range(0)), int(state.range(1)));
    QImage screen(size, QImage::Format_RGB32);
    {
        QPainter p(&screen);
        QLinearGradient gradient(0, 0, size.width(), size.height());
        gradient.setColorAt(0, Qt::darkCyan);
        gradient.setColorAt(1, Qt::darkMagenta);
        p.fillRect(screen.rect(), gradient);
    }
    QTemporaryDir dir;
    Mp4Writer::Settings settings;
    settings.path = dir.filePath(QStringLiteral("frames.mp4"));
    settings.sourceSize = size;
    settings.outputSize = size;
    settings.frameRate = frameRate;
    settings.conversionThreads = int(state.range(2));
    Mp4Writer writer(settings);
    int64_t index = 0;
    for (auto _ : state) {
        // A moving band keeps the encoder working on every frame.
        auto *row = reinterpret_cast<uint32_t *>(screen.scanLine(int(index * 7 % size.height())));
        std::fill(row, row + size.width(), 0xffffffffu);
        writer.addVideo(screen.constBits(), int(screen.bytesPerLine()), index++);
    }
    writer.finish();
}
// The third argument is the number of colour-conversion threads (0: the recorder's choice).
BENCHMARK(encodeFrame)
    ->Args({1920, 1080, 0})
    ->Args({3840, 2160, 1})
    ->Args({3840, 2160, 0})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    self = argv[0];
    if (argc >= 2 && std::strcmp(argv[1], "--pattern") == 0)
        return bench::runMovingScreen(argc, argv);
    if (argc >= 3 && std::strcmp(argv[1], "--record") == 0)
        return runRecording(argc, argv, argv[2]);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
