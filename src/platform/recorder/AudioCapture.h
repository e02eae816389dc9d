// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <vector>

#include <QString>

struct pa_threaded_mainloop;
struct pa_context;
struct pa_stream;
struct pa_sink_input_info;

namespace tarn {

// Records the sound server's audio for the recorder as 48 kHz stereo float samples in 20 ms
// pieces, one numbered stream per sound: the system's sound is what the other applications
// play, each playback stream followed on its own (also those that start later), so that
// Tarnwick's own sound (its video player) stays out; the microphone is the default input.
// While nothing plays, the default output's monitor gives the system's silence a clock.
// The callbacks run on the sound server's thread.
class AudioCapture {
public:
    static constexpr int sampleRate = 48000;
    static constexpr int channels = 2;

    // Interleaved samples of stream `stream` (numbered from 0 in the order they open), with the
    // time the last of them was made as the sound server's timing tells (the time they arrived
    // until the server has reported it).
    using Sink = std::function<void(int stream, const float *samples, size_t frames,
                                    std::chrono::steady_clock::time_point arrival)>;
    using ErrorSink = std::function<void(const QString &message)>;

    // Connects and starts recording the chosen sources. Throws RecorderFailure when the sound
    // server or a source cannot be opened.
    AudioCapture(bool systemAudio, bool microphone, Sink sink, ErrorSink onError);
    ~AudioCapture();
    AudioCapture(const AudioCapture &) = delete;
    AudioCapture &operator=(const AudioCapture &) = delete;

    // Stops recording; no callback runs after it returns.
    void stop();

    // True when the default input exists and is a real input (not an output's monitor).
    // Blocks while it asks the sound server.
    static bool canOpenMicrophone();

private:
    enum class Kind { clock, playback, microphone };
    struct Reader {
        AudioCapture *owner = nullptr;
        Kind kind = Kind::clock;
        int number = 0;
        uint32_t sinkInput = 0; // the followed playback stream
        pa_stream *stream = nullptr;
        // The least time lately between a piece's end by the server's timing and its arrival
        // (seconds), and when it was last brought up to date.
        std::optional<double> delivery;
        std::chrono::steady_clock::time_point deliveryAt;
    };

    Reader &addReader(Kind kind, const char *name);
    void openStream(Kind kind, const char *device);
    void followPlayback();
    void consider(const pa_sink_input_info &info);
    void openPlayback(uint32_t sinkInput, const char *monitor);
    bool following(uint32_t sinkInput) const;
    static std::chrono::steady_clock::time_point placed(Reader &reader, std::chrono::steady_clock::time_point now,
                                                        std::chrono::steady_clock::time_point ended);
    static void onRead(pa_stream *stream, size_t bytes, void *user);
    static void onStreamState(pa_stream *stream, void *user);
    static void onContextState(pa_context *context, void *user);

    pa_threaded_mainloop *loop_ = nullptr;
    pa_context *context_ = nullptr;
    std::vector<std::unique_ptr<Reader>> readers_;
    std::set<uint32_t> joining_; // playback streams being looked up before they are followed
    Sink sink_;
    ErrorSink onError_;
    bool stopping_ = false;
    bool reportedError_ = false;
};

} // namespace tarn
