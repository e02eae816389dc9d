// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the recording benchmarks share: the full-screen moving pattern they record (its own
// process), optionally with a clock strip that tells for every recorded frame when it was
// painted, a child process run to its end with its CPU time, the resident size, and the frames
// of a recorded file.
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include <QApplication>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QWidget>

extern "C" {
#include <libavformat/avformat.h>
}

#include "app/capture/RecordingService.h"

extern char **environ;

namespace tarn::bench {

// The clock strip: at the screen's bottom left, a white start block, 24 bits of the
// milliseconds since the pattern process started (most significant first, white for 1), an
// even-parity block and a black end block, each `clockBlock` pixels square on black.
constexpr int clockBlock = 40;
constexpr int clockBits = 24;
inline QPoint clockOrigin(QSize screen) { return {clockBlock, screen.height() - 3 * clockBlock}; }

// Full-screen content that changes everywhere every frame, like scrolling a busy page.
class MovingScreen : public QWidget {
public:
    explicit MovingScreen(bool clockStrip = false) : clockStrip_(clockStrip)
    {
        setWindowFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
        setGeometry(QGuiApplication::primaryScreen()->geometry());
        connect(&timer_, &QTimer::timeout, this, [this] {
            ++tick_;
            update();
        });
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.start(1000 / 60);
        show();
    }

    // The pattern process's own time line, which the clock strip shows: from the first call.
    static std::chrono::steady_clock::time_point startTime()
    {
        static const auto start = std::chrono::steady_clock::now();
        return start;
    }
    static int64_t millisecondsSinceStart()
    {
        return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - startTime())
            .count();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        const int64_t now = millisecondsSinceStart();
        QPainter p(this);
        QLinearGradient gradient(0, 0, width(), height());
        gradient.setColorAt(0, QColor::fromHsv(tick_ % 360, 140, 200));
        gradient.setColorAt(1, QColor::fromHsv((tick_ + 180) % 360, 140, 90));
        p.fillRect(rect(), gradient);
        const int shift = (tick_ * 4) % 80;
        for (int y = -80; y < height(); y += 80)
            for (int x = -80; x < width(); x += 80)
                if (((x + y) / 80) % 2 == 0)
                    p.fillRect(x + shift, y + shift, 40, 40, QColor(255, 255, 255, 90));
        p.setPen(Qt::black);
        p.setFont(QFont(QStringLiteral("Sans"), 28));
        for (int line = 0; line < 12; ++line)
            p.drawText(60, 80 + line * 80 - shift, QStringLiteral("Tarnwick frame %1 line %2").arg(tick_).arg(line));
        if (clockStrip_)
            paintClock(p, now);
    }

private:
    void paintClock(QPainter &p, int64_t now)
    {
        const QPoint origin = clockOrigin(size());
        p.fillRect(origin.x() - clockBlock / 2, origin.y() - clockBlock / 2, (clockBits + 4) * clockBlock,
                   2 * clockBlock, Qt::black);
        bool parity = false;
        const auto block = [&](int index, bool white) {
            if (white)
                p.fillRect(origin.x() + index * clockBlock, origin.y(), clockBlock, clockBlock, Qt::white);
        };
        block(0, true);
        for (int bit = 0; bit < clockBits; ++bit) {
            const bool one = (now >> (clockBits - 1 - bit)) & 1;
            parity ^= one;
            block(1 + bit, one);
        }
        block(clockBits + 1, parity);
    }

    QTimer timer_;
    int tick_ = 0;
    bool clockStrip_;
};

// A positive whole number from the environment, or `fallback`.
inline int fromEnvironment(const char *name, int fallback)
{
    const char *value = std::getenv(name);
    return value && std::atoi(value) > 0 ? std::atoi(value) : fallback;
}

// The pattern process: the moving screen until it is ended.
inline int runMovingScreen(int argc, char **argv)
{
    QApplication app(argc, argv);
    MovingScreen pattern;
    return app.exec();
}

struct Usage {
    double cpu = 0; // user + system seconds
    int status = -1;
};

inline pid_t spawn(const std::vector<std::string> &arguments)
{
    std::vector<char *> argv;
    for (const std::string &a : arguments)
        argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    return posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) == 0 ? pid : -1;
}

// Runs a program to its end; its CPU time comes from wait4().
inline Usage runMeasured(const std::vector<std::string> &arguments)
{
    Usage usage;
    const pid_t pid = spawn(arguments);
    if (pid <= 0)
        return usage;
    int status = 0;
    rusage r{};
    wait4(pid, &status, 0, &r);
    usage.cpu = double(r.ru_utime.tv_sec + r.ru_stime.tv_sec) + double(r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e6;
    usage.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return usage;
}

inline void endProcess(pid_t pid)
{
    if (pid <= 0)
        return;
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
}

// The resident size of this process.
inline int64_t residentKiB()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atoll(line.c_str() + 6);
    return 0;
}

// The video frames of a recorded file and the time they span, read back with libavformat.
struct Delivered {
    int64_t frames = 0;
    double span = 0; // seconds from the first frame's start to the last frame's end
};

inline Delivered countFrames(const std::string &path)
{
    AVFormatContext *format = nullptr;
    Delivered delivered;
    if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0)
        return delivered;
    if (avformat_find_stream_info(format, nullptr) >= 0) {
        const int video = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
        const double unit = av_q2d(format->streams[video]->time_base);
        int64_t first = INT64_MAX, last = INT64_MIN;
        AVPacket *packet = av_packet_alloc();
        while (av_read_frame(format, packet) >= 0) {
            if (packet->stream_index == video) {
                ++delivered.frames;
                first = std::min(first, packet->pts);
                last = std::max(last, packet->pts + std::max<int64_t>(packet->duration, 0));
            }
            av_packet_unref(packet);
        }
        av_packet_free(&packet);
        if (delivered.frames)
            delivered.span = double(last - first) * unit;
    }
    avformat_close_input(&format);
    return delivered;
}

// What the recording service is given to record the whole primary screen at `rate` frames a
// second, up to 4K, with the system's sound.
struct WholeScreen {
    ContentFilter filter;
    RecordingSettings settings;
};
inline WholeScreen wholeScreen(int rate)
{
    WholeScreen whole;
    whole.filter.displayID = 1;
    whole.filter.nativeRect = QGuiApplication::primaryScreen()->geometry();
    whole.settings.frameRate = rate;
    whole.settings.recordingLongEdge = 3840;
    whole.settings.systemAudio = true;
    return whole;
}

} // namespace tarn::bench
