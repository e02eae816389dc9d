// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/recorder/AudioCapture.h"

#include <cstring>
#include <string>

#include <pulse/pulseaudio.h>

#include "platform/RecorderBackend.h"

namespace tarn {

namespace {

QString serverUnavailable()
{
    return QStringLiteral(
        "소리 서버에 연결할 수 없어 소리를 녹음할 수 없습니다. 소리 설정을 확인하거나 소리를 끄고 녹화하세요.");
}

// Connects `context` on a started, locked `loop`; false when the server is not there.
bool connectContext(pa_threaded_mainloop *loop, pa_context *context)
{
    if (pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
        return false;
    for (;;) {
        const pa_context_state_t state = pa_context_get_state(context);
        if (state == PA_CONTEXT_READY)
            return true;
        if (!PA_CONTEXT_IS_GOOD(state))
            return false;
        pa_threaded_mainloop_wait(loop);
    }
}

void signalLoop(pa_context *, void *loop) { pa_threaded_mainloop_signal(static_cast<pa_threaded_mainloop *>(loop), 0); }

} // namespace

AudioCapture::AudioCapture(bool systemAudio, bool microphone, Sink sink, ErrorSink onError)
    : sink_(std::move(sink)),
      onError_(std::move(onError))
{
    loop_ = pa_threaded_mainloop_new();
    context_ = pa_context_new(pa_threaded_mainloop_get_api(loop_), "Tarnwick");
    pa_context_set_state_callback(context_, &AudioCapture::onContextState, this);
    pa_threaded_mainloop_start(loop_);
    pa_threaded_mainloop_lock(loop_);
    const bool connected = connectContext(loop_, context_);
    pa_threaded_mainloop_unlock(loop_);
    if (!connected) {
        stop();
        throw RecorderFailure(serverUnavailable());
    }
    try {
        if (systemAudio)
            openStream(system, "@DEFAULT_MONITOR@");
        if (microphone)
            openStream(AudioCapture::microphone, "@DEFAULT_SOURCE@");
    } catch (...) {
        stop();
        throw;
    }
}

AudioCapture::~AudioCapture() { stop(); }

void AudioCapture::openStream(Source source, const char *device)
{
    auto reader = std::make_unique<Reader>();
    reader->owner = this;
    reader->source = source;
    const pa_sample_spec spec{PA_SAMPLE_FLOAT32LE, uint32_t(sampleRate), uint8_t(channels)};
    pa_buffer_attr attributes;
    attributes.maxlength = uint32_t(-1);
    attributes.tlength = uint32_t(-1);
    attributes.prebuf = uint32_t(-1);
    attributes.minreq = uint32_t(-1);
    // Small pieces, and the source (an output's monitor included) asked to work in 20 ms
    // periods: with the server's defaults the sound arrives in blocks of up to two seconds.
    attributes.fragsize = uint32_t(pa_usec_to_bytes(20'000, &spec));

    pa_threaded_mainloop_lock(loop_);
    reader->stream = pa_stream_new(context_, source == system ? "system" : "microphone", &spec, nullptr);
    bool ok = reader->stream != nullptr;
    if (ok) {
        pa_stream_set_read_callback(reader->stream, &AudioCapture::onRead, reader.get());
        pa_stream_set_state_callback(reader->stream, &AudioCapture::onStreamState, reader.get());
        ok = pa_stream_connect_record(reader->stream, device, &attributes, PA_STREAM_ADJUST_LATENCY) == 0;
        while (ok) {
            const pa_stream_state_t state = pa_stream_get_state(reader->stream);
            if (state == PA_STREAM_READY)
                break;
            if (!PA_STREAM_IS_GOOD(state))
                ok = false;
            else
                pa_threaded_mainloop_wait(loop_);
        }
    }
    Reader *raw = reader.get();
    readers_.push_back(std::move(reader));
    pa_threaded_mainloop_unlock(loop_);
    if (!ok) {
        (void)raw;
        throw RecorderFailure(
            source == system
                ? QStringLiteral("시스템 소리를 녹음할 수 없습니다. 소리 출력 장치를 확인하세요.")
                : QStringLiteral("마이크를 열 수 없습니다. 마이크 연결을 확인하거나 마이크를 끄고 녹화하세요."));
    }
}

void AudioCapture::stop()
{
    if (!loop_)
        return;
    pa_threaded_mainloop_lock(loop_);
    stopping_ = true;
    for (auto &reader : readers_) {
        if (reader->stream) {
            pa_stream_set_read_callback(reader->stream, nullptr, nullptr);
            pa_stream_set_state_callback(reader->stream, nullptr, nullptr);
            pa_stream_disconnect(reader->stream);
            pa_stream_unref(reader->stream);
            reader->stream = nullptr;
        }
    }
    if (context_) {
        pa_context_set_state_callback(context_, nullptr, nullptr);
        pa_context_disconnect(context_);
        pa_context_unref(context_);
        context_ = nullptr;
    }
    pa_threaded_mainloop_unlock(loop_);
    pa_threaded_mainloop_stop(loop_);
    pa_threaded_mainloop_free(loop_);
    loop_ = nullptr;
    readers_.clear();
}

void AudioCapture::onRead(pa_stream *stream, size_t, void *user)
{
    auto *reader = static_cast<Reader *>(user);
    const auto arrival = std::chrono::steady_clock::now();
    const void *data = nullptr;
    size_t bytes = 0;
    while (pa_stream_readable_size(stream) > 0) {
        if (pa_stream_peek(stream, &data, &bytes) < 0 || bytes == 0)
            return;
        const size_t frames = bytes / (sizeof(float) * channels);
        if (data) {
            reader->owner->sink_(reader->source, static_cast<const float *>(data), frames, arrival);
        } else {
            // A hole in the stream: silence of that length keeps the timeline.
            std::vector<float> silence(frames * channels, 0.0f);
            reader->owner->sink_(reader->source, silence.data(), frames, arrival);
        }
        pa_stream_drop(stream);
    }
}

void AudioCapture::onStreamState(pa_stream *stream, void *user)
{
    auto *reader = static_cast<Reader *>(user);
    AudioCapture *self = reader->owner;
    const pa_stream_state_t state = pa_stream_get_state(stream);
    if (!PA_STREAM_IS_GOOD(state) && !self->stopping_ && !self->reportedError_ && self->onError_) {
        self->reportedError_ = true;
        self->onError_(QStringLiteral("소리 녹음이 중단되었습니다. 소리 장치가 분리되었거나 소리 서버가 멈췄습니다."));
    }
    pa_threaded_mainloop_signal(self->loop_, 0);
}

void AudioCapture::onContextState(pa_context *context, void *user)
{
    auto *self = static_cast<AudioCapture *>(user);
    const pa_context_state_t state = pa_context_get_state(context);
    if (state == PA_CONTEXT_FAILED && !self->stopping_ && !self->reportedError_ && self->onError_ &&
        !self->readers_.empty()) {
        self->reportedError_ = true;
        self->onError_(QStringLiteral("소리 서버와의 연결이 끊겨 소리 녹음이 중단되었습니다."));
    }
    pa_threaded_mainloop_signal(self->loop_, 0);
}

bool AudioCapture::canOpenMicrophone()
{
    struct Query {
        pa_threaded_mainloop *loop = nullptr;
        std::string defaultSource;
        bool answered = false;
        bool usable = false;
    } query;
    query.loop = pa_threaded_mainloop_new();
    pa_context *context = pa_context_new(pa_threaded_mainloop_get_api(query.loop), "Tarnwick");
    pa_context_set_state_callback(context, &signalLoop, query.loop);
    pa_threaded_mainloop_start(query.loop);
    pa_threaded_mainloop_lock(query.loop);

    auto waitFor = [&](pa_operation *operation) {
        if (!operation)
            return;
        while (pa_operation_get_state(operation) == PA_OPERATION_RUNNING)
            pa_threaded_mainloop_wait(query.loop);
        pa_operation_unref(operation);
    };
    if (connectContext(query.loop, context)) {
        waitFor(pa_context_get_server_info(
            context,
            [](pa_context *, const pa_server_info *info, void *user) {
                auto *q = static_cast<Query *>(user);
                if (info && info->default_source_name)
                    q->defaultSource = info->default_source_name;
                pa_threaded_mainloop_signal(q->loop, 0);
            },
            &query));
        if (!query.defaultSource.empty()) {
            waitFor(pa_context_get_source_info_by_name(
                context, query.defaultSource.c_str(),
                [](pa_context *, const pa_source_info *info, int eol, void *user) {
                    auto *q = static_cast<Query *>(user);
                    if (info && eol == 0)
                        q->usable = info->monitor_of_sink == PA_INVALID_INDEX;
                    pa_threaded_mainloop_signal(q->loop, 0);
                },
                &query));
        }
    }
    pa_context_set_state_callback(context, nullptr, nullptr);
    pa_context_disconnect(context);
    pa_context_unref(context);
    pa_threaded_mainloop_unlock(query.loop);
    pa_threaded_mainloop_stop(query.loop);
    pa_threaded_mainloop_free(query.loop);
    return query.usable;
}

} // namespace tarn
