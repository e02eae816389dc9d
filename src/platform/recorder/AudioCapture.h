// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <vector>

#include <QString>

struct pa_threaded_mainloop;
struct pa_context;
struct pa_stream;

namespace tarn {

// Records the sound server's audio for the recorder: the default output's monitor (the
// system's sound) and/or the default input (the microphone), as 48 kHz stereo float samples
// in 20 ms pieces. The callbacks run on the sound server's thread.
class AudioCapture {
public:
    enum Source { system = 0, microphone = 1 };
    static constexpr int sampleRate = 48000;
    static constexpr int channels = 2;

    // Interleaved samples of one source, with the time they arrived.
    using Sink = std::function<void(Source source, const float *samples, size_t frames,
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
    void openStream(Source source, const char *device);
    static void onRead(pa_stream *stream, size_t bytes, void *user);
    static void onStreamState(pa_stream *stream, void *user);
    static void onContextState(pa_context *context, void *user);

    struct Reader {
        AudioCapture *owner = nullptr;
        Source source = system;
        pa_stream *stream = nullptr;
    };

    pa_threaded_mainloop *loop_ = nullptr;
    pa_context *context_ = nullptr;
    std::vector<std::unique_ptr<Reader>> readers_;
    Sink sink_;
    ErrorSink onError_;
    bool stopping_ = false;
    bool reportedError_ = false;
};

} // namespace tarn
