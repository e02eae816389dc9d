// SPDX-License-Identifier: GPL-3.0-or-later
// One minute of recording as the application records: the recording service with its HUD on
// screen, in a process of its own, records the whole test desktop (the moving pattern, another
// process) with system audio from the test sound server, where the pattern process plays a
// 60 ms tone every three seconds. Printed beside their goals:
// - timestamps strictly increasing, video and audio, read back with libavformat;
// - A/V: the audio's end against the video's, and the drift over the run: every frame shows
//   the pattern's clock (the strip at the bottom left), so each tone's place in the audio can
//   be set against the frames recorded at the same moment;
// - resident memory of the recording process at 5 s and at the end;
// - stop to a closed file that decodes whole;
// - lateness of the HUD's half-second progress timer (the service's own timer, observed on
//   the GUI thread of the recording process), 99th percentile.
// TARN_BENCH_SECONDS shortens the minute; TARN_KEEP_RECORDING=<path> keeps the file. Needs an
// X display and the sound server (scripts/with-desktop.sh starts both).
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <qcoro/qcorotask.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include "app/capture/RecordingService.h"
#include "app/floating/FloatingWindows.h"

#include "RecordingBench.h"

namespace {

using namespace tarn;
using Clock = std::chrono::steady_clock;

std::string self;

const int seconds = bench::fromEnvironment("TARN_BENCH_SECONDS", 60);

// The tones, on the pattern process's clock (milliseconds).
constexpr int audioStart = 300;   // the first sample is written
constexpr int firstTone = 1300;   // the first tone starts
constexpr int tonePeriod = 3000;  // one tone every three seconds
constexpr int toneLength = 60;    // 1 kHz at half scale
constexpr int sampleRate = 48000; // what the player writes and the recorder reads

// The tones, played through `pacat` into the test sound server. Written in 10 ms pieces on
// the pattern's clock, so sample n is written at audioStart + n / 48 kHz and plays a constant
// latency later.
class TonePlayer {
public:
    TonePlayer()
    {
        int ends[2];
        if (pipe(ends) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, ends[0], 0);
        posix_spawn_file_actions_addclose(&actions, ends[1]);
        std::vector<std::string> arguments{"pacat",
                                           "--playback",
                                           "--raw",
                                           "--format=float32le",
                                           "--rate=48000",
                                           "--channels=2",
                                           "--latency-msec=20",
                                           "--stream-name=tones"};
        std::vector<char *> argv;
        for (std::string &a : arguments)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        if (posix_spawnp(&player_, "pacat", &actions, nullptr, argv.data(), environ) != 0)
            player_ = 0;
        posix_spawn_file_actions_destroy(&actions);
        close(ends[0]);
        input_ = ends[1];
        fcntl(input_, F_SETPIPE_SZ, 4096); // the pipe holds no more than a piece or two
        writer_ = std::thread([this] { run(); });
    }
    ~TonePlayer()
    {
        stop_ = true;
        if (writer_.joinable())
            writer_.join();
        if (input_ >= 0)
            close(input_);
        bench::endProcess(player_);
    }

private:
    void run()
    {
        constexpr int piece = sampleRate / 100;
        const int64_t first = int64_t(firstTone - audioStart) * sampleRate / 1000;
        const int64_t period = int64_t(tonePeriod) * sampleRate / 1000;
        const int64_t length = int64_t(toneLength) * sampleRate / 1000;
        std::vector<float> samples(piece * 2);
        const auto due = [](int64_t n) {
            return bench::MovingScreen::startTime() + std::chrono::milliseconds(audioStart + n * 10);
        };
        for (int64_t n = 0; !stop_; ++n) {
            // The pieces follow the clock: a piece whose time has passed while the player was
            // not reading (its start-up) is left out rather than played late.
            while (due(n + 1) < Clock::now())
                ++n;
            std::this_thread::sleep_until(due(n));
            for (int i = 0; i < piece; ++i) {
                const int64_t s = n * piece + i - first;
                const int64_t within = s >= 0 ? s % period : length;
                const float v =
                    within < length ? 0.5f * float(std::sin(2 * M_PI * 1000 * double(within) / sampleRate)) : 0;
                samples[size_t(2 * i)] = samples[size_t(2 * i + 1)] = v;
            }
            const auto *bytes = reinterpret_cast<const char *>(samples.data());
            for (size_t left = samples.size() * sizeof(float); left > 0;) {
                const ssize_t written = write(input_, bytes, left);
                if (written <= 0)
                    return;
                bytes += written;
                left -= size_t(written);
            }
        }
    }

    pid_t player_ = 0;
    int input_ = -1;
    std::thread writer_;
    std::atomic<bool> stop_{false};
};

int runPattern(int argc, char **argv)
{
    bench::MovingScreen::startTime();
    QApplication app(argc, argv);
    bench::MovingScreen pattern(true);
    TonePlayer tones;
    return app.exec();
}

// What the recording process saw, written to the results file as "key value..." lines.
struct Observed {
    bool finished = false;
    QStringList errors;
    double stopMilliseconds = -1;
    int64_t residentEarly = 0, residentLate = 0; // KiB
    double earlySeconds = 0;
    std::vector<double> lateness; // ms, every tick of the progress timer after its due time
    std::vector<double> drift;    // ms, every tick after the timer's start + n * 500 ms
};

void writeResults(const std::string &path, const Observed &seen)
{
    std::ofstream out(path);
    out << "finished " << seen.finished << "\nstop_ms " << seen.stopMilliseconds << "\nrss_early_kib "
        << seen.residentEarly << "\nrss_late_kib " << seen.residentLate << "\nearly_s " << seen.earlySeconds
        << "\nlateness_ms";
    for (double late : seen.lateness)
        out << ' ' << late;
    out << "\ndrift_ms";
    for (double drift : seen.drift)
        out << ' ' << drift;
    out << '\n';
    for (const QString &error : seen.errors)
        out << "error " << error.simplified().toStdString() << '\n';
}

double steadyMilliseconds()
{
    return std::chrono::duration<double, std::milli>(Clock::now().time_since_epoch()).count();
}

// The recording process: the service and its HUD as the application shows them, the whole
// screen at `rate` with system audio, stopped after `length` seconds of recording.
int runRecording(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QString path = QString::fromLocal8Bit(argv[2]);
    const std::string results = argv[3];
    const int rate = std::atoi(argv[4]);
    const double length = std::atof(argv[5]);

    RecordingService service;
    FloatingWindows floating;
    floating.showRecording(&service, QGuiApplication::primaryScreen());
    Observed seen;
    seen.earlySeconds = std::min(5.0, length / 2);
    QElapsedTimer stopClock;
    double due = 0; // when the progress timer's next tick is due, ms on the steady clock
    QObject::connect(&service, &RecordingService::stateChanged, &app, [&](RecordingService::State state) {
        if (state != RecordingService::State::recording)
            return;
        // The progress timer starts right after this signal; it is the service's only
        // repeating timer. Each tick is set against the time the timer itself was due, as
        // Qt's dispatcher has it (a coarse timer moves its times by up to 5 % onto round
        // ones): the lateness is the GUI thread's alone.
        const double started = steadyMilliseconds();
        QTimer::singleShot(0, &app, [&, started] {
            for (QTimer *timer : service.findChildren<QTimer *>()) {
                if (!timer->isActive() || timer->isSingleShot())
                    continue;
                due = steadyMilliseconds() + timer->remainingTime();
                QObject::connect(timer, &QTimer::timeout, &app, [&, timer, started] {
                    const double now = steadyMilliseconds();
                    seen.lateness.push_back(now - due);
                    due = now + timer->remainingTime();
                    seen.drift.push_back(now - started - 500.0 * double(seen.drift.size() + 1));
                });
            }
        });
        QTimer::singleShot(int(seen.earlySeconds * 1000), &app, [&] { seen.residentEarly = bench::residentKiB(); });
        QTimer::singleShot(int(length * 1000), &app, [&] {
            seen.residentLate = bench::residentKiB();
            stopClock.start();
            service.stop();
        });
    });
    QObject::connect(&service, &RecordingService::finished, &app, [&] {
        seen.stopMilliseconds = double(stopClock.nsecsElapsed()) / 1e6;
        seen.finished = true;
        app.quit();
    });
    QObject::connect(&service, &RecordingService::failed, &app, [&](const Failure &error) {
        seen.errors << error.description();
        if (service.state() == RecordingService::State::idle)
            app.quit();
    });

    const auto [filter, settings] = bench::wholeScreen(rate);
    try {
        QCoro::waitFor(service.start(filter, std::nullopt, settings, path));
        app.exec();
    } catch (const Failure &error) {
        seen.errors << error.description();
    }
    writeResults(results, seen);
    return seen.finished ? 0 : 1;
}

std::map<std::string, std::vector<std::string>> readResults(const std::string &path)
{
    std::map<std::string, std::vector<std::string>> values;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        std::string key, word;
        words >> key;
        if (key == "error") {
            std::getline(words, word);
            values[key].push_back(word);
            continue;
        }
        while (words >> word)
            values[key].push_back(word);
    }
    return values;
}

// One stream of the file as read back: its packets in file order.
struct StreamCheck {
    int64_t packets = 0;
    int64_t dtsNotIncreasing = 0; // decoding timestamps that do not rise over the previous one
    int64_t ptsRepeated = 0;      // presentation timestamps that occur more than once
    double start = 0, end = 0;    // seconds, first presentation to last presentation's end
    std::vector<int64_t> pts;
    int64_t lastDts = INT64_MIN;
    int64_t first = INT64_MAX, last = INT64_MIN;

    void add(const AVPacket &packet)
    {
        ++packets;
        if (packet.dts == AV_NOPTS_VALUE || packet.dts <= lastDts)
            ++dtsNotIncreasing;
        lastDts = packet.dts;
        pts.push_back(packet.pts);
        first = std::min(first, packet.pts);
        last = std::max(last, packet.pts + std::max<int64_t>(packet.duration, 0));
    }
    void close(AVRational unit)
    {
        std::sort(pts.begin(), pts.end());
        ptsRepeated = int64_t(pts.size()) - (std::unique(pts.begin(), pts.end()) - pts.begin());
        if (packets) {
            start = double(first) * av_q2d(unit);
            end = double(last) * av_q2d(unit);
        }
    }
    bool increasing() const { return packets > 0 && dtsNotIncreasing == 0 && ptsRepeated == 0; }
};

// The file read back and decoded whole.
struct Timeline {
    bool opened = false;
    int64_t decodeErrors = 0;
    StreamCheck video, audio;
    std::vector<std::pair<double, double>> videoLag; // (frame time, frame time - painted at), seconds
    int64_t framesWithoutClock = 0;
    std::vector<double> tones; // where each tone starts in the audio, seconds
};

// The pattern's clock in a decoded frame, in the pattern's milliseconds.
std::optional<int64_t> clockIn(const AVFrame &frame, QSize screen)
{
    const double scale = double(frame.width) / screen.width();
    const QPoint origin = bench::clockOrigin(screen);
    const auto white = [&](int index) {
        const int cx = int((origin.x() + index * bench::clockBlock + bench::clockBlock / 2) * scale);
        const int cy = int((origin.y() + bench::clockBlock / 2) * scale);
        const int half = std::max(1, int(bench::clockBlock / 8 * scale));
        int sum = 0, count = 0;
        for (int y = cy - half; y <= cy + half; ++y)
            for (int x = cx - half; x <= cx + half; ++x, ++count)
                sum += frame.data[0][y * frame.linesize[0] + x];
        return sum / count > 128;
    };
    if (!white(0) || white(bench::clockBits + 2))
        return std::nullopt;
    int64_t value = 0;
    bool parity = false;
    for (int bit = 0; bit < bench::clockBits; ++bit) {
        const bool one = white(1 + bit);
        parity ^= one;
        value = value << 1 | int64_t(one);
    }
    if (parity != white(bench::clockBits + 1))
        return std::nullopt;
    return value;
}

struct Decoder {
    AVCodecContext *context = nullptr;
    int stream = -1;
    ~Decoder() { avcodec_free_context(&context); }
    bool open(AVFormatContext *format, AVMediaType type)
    {
        stream = av_find_best_stream(format, type, -1, -1, nullptr, 0);
        if (stream < 0)
            return false;
        const AVCodecParameters *parameters = format->streams[stream]->codecpar;
        const AVCodec *codec = avcodec_find_decoder(parameters->codec_id);
        context = avcodec_alloc_context3(codec);
        avcodec_parameters_to_context(context, parameters);
        context->thread_count = 0;
        return avcodec_open2(context, codec, nullptr) >= 0;
    }
};

class TimelineReader {
public:
    TimelineReader(QSize screen) : screen_(screen) { }

    Timeline read(const std::string &path)
    {
        AVFormatContext *format = nullptr;
        if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0)
            return timeline_;
        if (avformat_find_stream_info(format, nullptr) >= 0 && video_.open(format, AVMEDIA_TYPE_VIDEO)) {
            timeline_.opened = true;
            audio_.open(format, AVMEDIA_TYPE_AUDIO);
            AVPacket *packet = av_packet_alloc();
            frame_ = av_frame_alloc();
            while (av_read_frame(format, packet) >= 0) {
                if (packet->stream_index == video_.stream) {
                    timeline_.video.add(*packet);
                    decode(video_, format, packet);
                } else if (packet->stream_index == audio_.stream) {
                    timeline_.audio.add(*packet);
                    decode(audio_, format, packet);
                }
                av_packet_unref(packet);
            }
            decode(video_, format, nullptr);
            if (audio_.context)
                decode(audio_, format, nullptr);
            av_frame_free(&frame_);
            av_packet_free(&packet);
            timeline_.video.close(format->streams[video_.stream]->time_base);
            if (audio_.stream >= 0)
                timeline_.audio.close(format->streams[audio_.stream]->time_base);
        }
        avformat_close_input(&format);
        return timeline_;
    }

private:
    void decode(Decoder &decoder, AVFormatContext *format, const AVPacket *packet)
    {
        if (avcodec_send_packet(decoder.context, packet) < 0)
            ++timeline_.decodeErrors;
        const double unit = av_q2d(format->streams[decoder.stream]->time_base);
        for (;;) {
            const int received = avcodec_receive_frame(decoder.context, frame_);
            if (received == AVERROR(EAGAIN) || received == AVERROR_EOF)
                return;
            if (received < 0) {
                ++timeline_.decodeErrors;
                return;
            }
            const double at = double(frame_->best_effort_timestamp) * unit;
            if (&decoder == &video_)
                readClock(at);
            else
                findTones(at);
        }
    }

    void readClock(double at)
    {
        if (const auto painted = clockIn(*frame_, screen_))
            timeline_.videoLag.emplace_back(at, at - double(*painted) / 1000);
        else
            ++timeline_.framesWithoutClock;
    }

    // A tone starts where the first channel rises above 0.15 after half a second of quiet.
    void findTones(double at)
    {
        if (frame_->format != AV_SAMPLE_FMT_FLTP)
            return;
        const auto *samples = reinterpret_cast<const float *>(frame_->data[0]);
        for (int i = 0; i < frame_->nb_samples; ++i) {
            if (std::abs(samples[i]) < 0.15f)
                continue;
            const double t = at + double(i) / frame_->sample_rate;
            if (t - lastLoud_ > 0.5)
                timeline_.tones.push_back(t);
            lastLoud_ = t;
        }
    }

    QSize screen_;
    Timeline timeline_;
    Decoder video_, audio_;
    AVFrame *frame_ = nullptr;
    double lastLoud_ = -1e9;
};

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::nth_element(values.begin(), values.begin() + long(values.size() / 2), values.end());
    return values[values.size() / 2];
}

double percentile(std::vector<double> values, double fraction)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t rank = size_t(std::ceil(fraction * double(values.size())));
    return values[std::clamp<size_t>(rank, 1, values.size()) - 1];
}

// For each tone heard in the recording: (its time in the file, audio offset against the video
// of the same moment) in seconds. The audio's lag is the tone's time in the file less the time
// it was played (on the pattern's clock); the video's is the median of the frames' time less
// their painted time within a quarter second of the tone.
std::vector<std::pair<double, double>> toneOffsets(const Timeline &timeline)
{
    std::vector<double> lags;
    for (const auto &[at, lag] : timeline.videoLag)
        lags.push_back(lag);
    const double videoLag = median(lags);
    std::vector<std::pair<double, double>> offsets;
    for (const double tone : timeline.tones) {
        const double played = tone - videoLag; // on the pattern's clock, if in step
        const long index = std::lround((played * 1000 - firstTone) / tonePeriod);
        const double scheduled = (firstTone + double(index) * tonePeriod) / 1000;
        if (index < 0)
            continue;
        std::vector<double> near;
        for (const auto &[at, lag] : timeline.videoLag)
            if (std::abs(at - tone) <= 0.25)
                near.push_back(lag);
        if (!near.empty())
            offsets.emplace_back(tone, (tone - scheduled) - median(near));
    }
    return offsets;
}

double loadAverage()
{
    std::ifstream in("/proc/loadavg");
    double one = 0;
    in >> one;
    return one;
}

bool haveSoundServer()
{
    QProcess pactl;
    pactl.start(QStringLiteral("pactl"), {QStringLiteral("info")});
    return pactl.waitForFinished() && pactl.exitStatus() == QProcess::NormalExit && pactl.exitCode() == 0;
}

const char *verdict(bool met) { return met ? "met" : "MISSED"; }

void recordOneMinute(benchmark::State &state)
{
    const int rate = int(state.range(0));
    if (!std::getenv("DISPLAY") || !haveSoundServer()) {
        state.SkipWithError("needs an X display and the sound server (scripts/with-desktop.sh)");
        return;
    }
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    QTemporaryDir dir;
    const std::string file = dir.filePath(QStringLiteral("minute.mp4")).toStdString();
    const std::string results = dir.filePath(QStringLiteral("results.txt")).toStdString();
    const double loadBefore = loadAverage();
    bench::Usage usage;
    for (auto _ : state) {
        const pid_t pattern = bench::spawn({self, "--pattern"});
        usleep(1'500'000);
        usage = bench::runMeasured({self, "--record", file, results, std::to_string(rate), std::to_string(seconds)});
        bench::endProcess(pattern);
    }
    const double loadAfter = loadAverage();
    if (const char *keep = std::getenv("TARN_KEEP_RECORDING"))
        QFile::copy(QString::fromStdString(file), QString::fromLocal8Bit(keep));
    auto seen = readResults(results);
    const Timeline timeline = TimelineReader(screen).read(file);
    const auto number = [&](const char *key) { return seen[key].empty() ? 0.0 : std::atof(seen[key][0].c_str()); };
    std::vector<double> lateness;
    for (const std::string &late : seen["lateness_ms"])
        lateness.push_back(std::atof(late.c_str()));
    const auto offsets = toneOffsets(timeline);

    const double endGap = (timeline.audio.end - timeline.video.end) * 1000;
    // The drift: the median offset of the last quarter of the tones against the first
    // quarter's, so that one tone measured on a stalled frame does not decide it.
    std::vector<double> early, late, all;
    const size_t quarter = (offsets.size() + 3) / 4;
    for (size_t i = 0; i < offsets.size(); ++i) {
        const double offset = offsets[i].second * 1000;
        all.push_back(offset);
        if (i < quarter)
            early.push_back(offset);
        if (i + quarter >= offsets.size())
            late.push_back(offset);
    }
    const double firstOffset = median(early), lastOffset = median(late);
    const double lowest = all.empty() ? 0 : *std::min_element(all.begin(), all.end());
    const double highest = all.empty() ? 0 : *std::max_element(all.begin(), all.end());
    std::vector<double> lags;
    for (const auto &[at, lag] : timeline.videoLag)
        lags.push_back(lag * 1000);
    const double growth = (number("rss_late_kib") - number("rss_early_kib")) / 1024;
    const double stop = number("stop_ms");
    const bool playable = timeline.opened && timeline.decodeErrors == 0 && timeline.video.packets > 0;
    const double p99 = percentile(lateness, 0.99);
    const double span = timeline.video.end - timeline.video.start;

    std::printf("%d s recording of the %dx%d test desktop at %d fps with system audio, through the recording "
                "service with its HUD (load average %.2f before, %.2f after):\n",
                seconds, screen.width(), screen.height(), rate, loadBefore, loadAfter);
    for (const std::string &error : seen["error"])
        std::printf("  reported:%s\n", error.c_str());
    std::printf("  %-44s %-30s %s\n", "check", "figure", "goal");
    std::printf("  %-44s %-30s %s  %s\n", "video timestamps strictly increasing",
                (std::to_string(timeline.video.dtsNotIncreasing) + " dts back, " +
                 std::to_string(timeline.video.ptsRepeated) + " pts repeated of " +
                 std::to_string(timeline.video.packets))
                    .c_str(),
                "none", verdict(timeline.video.increasing()));
    std::printf("  %-44s %-30s %s  %s\n", "audio timestamps strictly increasing",
                (std::to_string(timeline.audio.dtsNotIncreasing) + " dts back, " +
                 std::to_string(timeline.audio.ptsRepeated) + " pts repeated of " +
                 std::to_string(timeline.audio.packets))
                    .c_str(),
                "none", verdict(timeline.audio.increasing()));
    char figure[128];
    std::snprintf(figure, sizeof figure, "%+.1f ms (audio %.3f..%.3f s)", endGap, timeline.audio.start,
                  timeline.audio.end);
    std::printf("  %-44s %-30s %s  %s\n", "A/V end times, audio - video", figure, "within 40 ms",
                verdict(timeline.audio.packets > 0 && std::abs(endGap) <= 40));
    std::snprintf(figure, sizeof figure, "%+.1f ms (%zu tones)", lastOffset - firstOffset, offsets.size());
    std::printf("  %-44s %-30s %s  %s\n", "A/V drift, last quarter of tones - first", figure, "within 40 ms",
                verdict(offsets.size() >= 2 && std::abs(lastOffset - firstOffset) <= 40));
    std::snprintf(figure, sizeof figure, "%+.1f first, %+.1f last, %+.0f..%+.0f ms", firstOffset, lastOffset, lowest,
                  highest);
    std::printf("  %-44s %-30s %s\n", "A/V offset at the tones (incl. player latency)", figure, "(information)");
    std::snprintf(figure, sizeof figure, "%+.1f MiB (%.0f -> %.0f MiB)", growth, number("rss_early_kib") / 1024,
                  number("rss_late_kib") / 1024);
    std::printf("  %-44s %-30s %s  %s\n",
                ("resident memory growth, " + std::to_string(int(number("early_s"))) + " s to end").c_str(), figure,
                "within 64 MiB", verdict(number("rss_late_kib") > 0 && growth <= 64));
    std::snprintf(figure, sizeof figure, "%.0f ms, %s", stop, playable ? "decodes whole" : "NOT playable");
    std::printf("  %-44s %-30s %s  %s\n", "stop to a closed, playable file", figure, "within 1000 ms",
                verdict(stop >= 0 && stop <= 1000 && playable));
    std::snprintf(figure, sizeof figure, "%.1f ms p99 (max %.1f, %zu ticks)", p99,
                  lateness.empty() ? 0 : *std::max_element(lateness.begin(), lateness.end()), lateness.size());
    std::printf("  %-44s %-30s %s  %s\n", "HUD 0.5 s timer lateness", figure, "at most 50 ms",
                verdict(!lateness.empty() && p99 <= 50));
    std::vector<double> drift;
    for (const std::string &d : seen["drift_ms"])
        drift.push_back(std::atof(d.c_str()));
    std::snprintf(figure, sizeof figure, "%+.0f .. %+.0f ms",
                  drift.empty() ? 0 : *std::min_element(drift.begin(), drift.end()),
                  drift.empty() ? 0 : *std::max_element(drift.begin(), drift.end()));
    std::printf("  %-44s %-30s %s\n", "HUD ticks against start + n * 0.5 s", figure,
                "(information: Qt's coarse timer)");
    std::snprintf(figure, sizeof figure, "%.2f (%lld frames in %.2f s)",
                  span > 0 ? double(timeline.video.packets) / span : 0, (long long)timeline.video.packets, span);
    std::printf("  %-44s %-30s %s\n", "frames per recorded second", figure, "(information)");
    std::snprintf(figure, sizeof figure, "%.1f .. %.1f ms (median %.1f)",
                  lags.empty() ? 0 : *std::min_element(lags.begin(), lags.end()),
                  lags.empty() ? 0 : *std::max_element(lags.begin(), lags.end()), median(lags));
    std::printf("  %-44s %-30s %s\n", "video stamp - painted time (rel.)", figure, "(information)");
    std::printf("  A/V offset at each tone (s in the file: ms):");
    for (const auto &[at, offset] : offsets)
        std::printf(" %.1f:%+.0f", at, offset * 1000);
    std::printf("\n");
    std::printf("  %-44s %-30s %s\n", "frames whose clock could not be read",
                std::to_string(timeline.framesWithoutClock).c_str(), "(information)");
    std::snprintf(figure, sizeof figure, "%.3f", span > 0 ? usage.cpu / span : 0);
    std::printf("  %-44s %-30s %s\n", "CPU seconds per recorded second", figure, "(information)");
    std::fflush(stdout);

    state.counters["av_end_ms"] = endGap;
    state.counters["av_drift_ms"] = lastOffset - firstOffset;
    state.counters["rss_growth_mib"] = growth;
    state.counters["stop_ms"] = stop;
    state.counters["hud_late_p99_ms"] = p99;
}
BENCHMARK(recordOneMinute)->ArgName("fps")->Arg(30)->Arg(60)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    self = argv[0];
    if (argc >= 2 && std::strcmp(argv[1], "--pattern") == 0)
        return runPattern(argc, argv);
    if (argc >= 6 && std::strcmp(argv[1], "--record") == 0)
        return runRecording(argc, argv);
    // The benchmark itself asks the screen's size.
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
