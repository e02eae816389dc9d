// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/recorder/AudioCapture.h"

#include <cstring>
#include <optional>
#include <string>

#include <unistd.h>

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

// Waits, with the loop locked, until the operation is done.
void await(pa_threaded_mainloop *loop, pa_operation *operation)
{
    if (!operation)
        return;
    while (pa_operation_get_state(operation) == PA_OPERATION_RUNNING)
        pa_threaded_mainloop_wait(loop);
    pa_operation_unref(operation);
}

void forget(pa_operation *operation)
{
    if (operation)
        pa_operation_unref(operation);
}

const pa_sample_spec sampleSpec{PA_SAMPLE_FLOAT32LE, uint32_t(AudioCapture::sampleRate),
                                uint8_t(AudioCapture::channels)};

// Small pieces, and the source (an output's monitor included) asked to work in 20 ms periods:
// with the server's defaults the sound arrives in blocks of up to two seconds.
pa_buffer_attr smallPieces()
{
    pa_buffer_attr attributes;
    attributes.maxlength = uint32_t(-1);
    attributes.tlength = uint32_t(-1);
    attributes.prebuf = uint32_t(-1);
    attributes.minreq = uint32_t(-1);
    attributes.fragsize = uint32_t(pa_usec_to_bytes(20'000, &sampleSpec));
    return attributes;
}

// Recording streams keep the server's timing up to date, so that every piece can be given the
// time its sound was made (see onRead).
constexpr pa_stream_flags_t timedRecording =
    pa_stream_flags_t(PA_STREAM_ADJUST_LATENCY | PA_STREAM_AUTO_TIMING_UPDATE | PA_STREAM_INTERPOLATE_TIMING);

// The time the first sample of the piece about to be read was made, from the stream's own
// timing: the server counts what waits in its buffers and in ours. An output's monitor hears a
// sample before it is played, hence a negative latency. Nothing until the first timing report.
std::optional<std::chrono::steady_clock::time_point> madeAt(pa_stream *stream,
                                                            std::chrono::steady_clock::time_point now)
{
    pa_usec_t latency = 0;
    int negative = 0;
    if (pa_stream_get_latency(stream, &latency, &negative) != 0 || latency > 2'000'000)
        return std::nullopt;
    const auto age = std::chrono::microseconds(latency);
    return negative ? now + age : now - age;
}

// The process that plays a stream, from the stream's or else its client's properties.
std::optional<int64_t> processOf(const pa_proplist *properties)
{
    const char *value = properties ? pa_proplist_gets(properties, PA_PROP_APPLICATION_PROCESS_ID) : nullptr;
    if (!value)
        return std::nullopt;
    try {
        return std::stoll(value);
    } catch (...) {
        return std::nullopt;
    }
}

// The steps of looking up one playback stream before it is followed.
struct Joining {
    AudioCapture *capture;
    uint32_t sinkInput;
    uint32_t sink;
    bool ours;
};

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
        if (systemAudio) {
            openStream(Kind::clock, "@DEFAULT_MONITOR@");
            pa_threaded_mainloop_lock(loop_);
            followPlayback();
            pa_threaded_mainloop_unlock(loop_);
        }
        if (microphone)
            openStream(Kind::microphone, "@DEFAULT_SOURCE@");
    } catch (...) {
        stop();
        throw;
    }
}

AudioCapture::~AudioCapture() { stop(); }

AudioCapture::Reader &AudioCapture::addReader(Kind kind, const char *name)
{
    auto reader = std::make_unique<Reader>();
    reader->owner = this;
    reader->kind = kind;
    reader->number = int(readers_.size());
    reader->stream = pa_stream_new(context_, name, &sampleSpec, nullptr);
    if (reader->stream) {
        pa_stream_set_read_callback(reader->stream, &AudioCapture::onRead, reader.get());
        pa_stream_set_state_callback(reader->stream, &AudioCapture::onStreamState, reader.get());
    }
    readers_.push_back(std::move(reader));
    return *readers_.back();
}

// Opens a stream and waits until it records.
void AudioCapture::openStream(Kind kind, const char *device)
{
    const pa_buffer_attr attributes = smallPieces();
    pa_threaded_mainloop_lock(loop_);
    Reader &reader = addReader(kind, kind == Kind::microphone ? "microphone" : "system clock");
    bool ok = reader.stream && pa_stream_connect_record(reader.stream, device, &attributes, timedRecording) == 0;
    while (ok) {
        const pa_stream_state_t state = pa_stream_get_state(reader.stream);
        if (state == PA_STREAM_READY)
            break;
        if (!PA_STREAM_IS_GOOD(state))
            ok = false;
        else
            pa_threaded_mainloop_wait(loop_);
    }
    pa_threaded_mainloop_unlock(loop_);
    if (!ok) {
        throw RecorderFailure(
            kind == Kind::microphone
                ? QStringLiteral("마이크를 열 수 없습니다. 마이크 연결을 확인하거나 마이크를 끄고 녹화하세요.")
                : QStringLiteral("시스템 소리를 녹음할 수 없습니다. 소리 출력 장치를 확인하세요."));
    }
}

// Follows every playback stream of another process, now and whenever one starts or moves
// (moving to another output ends its follower). Runs with the loop locked.
void AudioCapture::followPlayback()
{
    pa_context_set_subscribe_callback(
        context_,
        [](pa_context *context, pa_subscription_event_type_t type, uint32_t index, void *user) {
            const auto facility = type & PA_SUBSCRIPTION_EVENT_FACILITY_MASK;
            const auto kind = type & PA_SUBSCRIPTION_EVENT_TYPE_MASK;
            if (facility != PA_SUBSCRIPTION_EVENT_SINK_INPUT || kind == PA_SUBSCRIPTION_EVENT_REMOVE)
                return;
            forget(pa_context_get_sink_input_info(
                context, index,
                [](pa_context *, const pa_sink_input_info *info, int, void *user) {
                    if (info)
                        static_cast<AudioCapture *>(user)->consider(*info);
                },
                user));
        },
        this);
    forget(pa_context_subscribe(context_, PA_SUBSCRIPTION_MASK_SINK_INPUT, nullptr, nullptr));
    await(loop_,
          pa_context_get_sink_input_info_list(
              context_,
              [](pa_context *, const pa_sink_input_info *info, int, void *user) {
                  auto *self = static_cast<AudioCapture *>(user);
                  if (info)
                      self->consider(*info);
                  pa_threaded_mainloop_signal(self->loop_, 0);
              },
              this));
}

bool AudioCapture::following(uint32_t sinkInput) const
{
    if (joining_.count(sinkInput))
        return true;
    return std::any_of(readers_.begin(), readers_.end(), [sinkInput](const std::unique_ptr<Reader> &reader) {
        return reader->kind == Kind::playback && reader->sinkInput == sinkInput && reader->stream &&
            PA_STREAM_IS_GOOD(pa_stream_get_state(reader->stream));
    });
}

// A playback stream: followed unless this process plays it. Its process is named by the
// stream's properties or else by its client's; its output's monitor is where it is heard.
// Each lookup answers with its item and then once more at the end of the list.
void AudioCapture::consider(const pa_sink_input_info &info)
{
    if (stopping_ || following(info.index) || processOf(info.proplist) == int64_t(getpid()))
        return;
    joining_.insert(info.index);
    forget(pa_context_get_client_info(
        context_, info.client,
        [](pa_context *context, const pa_client_info *client, int eol, void *user) {
            auto *joining = static_cast<Joining *>(user);
            if (client) {
                joining->ours = processOf(client->proplist) == int64_t(getpid());
                return;
            }
            if (joining->ours || joining->capture->stopping_) {
                joining->capture->joining_.erase(joining->sinkInput);
                delete joining;
                return;
            }
            (void)eol; // a stream without a client (a module's) is followed as well
            forget(pa_context_get_sink_info_by_index(
                context, joining->sink,
                [](pa_context *, const pa_sink_info *sink, int, void *user) {
                    auto *joining = static_cast<Joining *>(user);
                    if (sink) {
                        if (!joining->capture->stopping_)
                            joining->capture->openPlayback(joining->sinkInput, sink->monitor_source_name);
                        return;
                    }
                    joining->capture->joining_.erase(joining->sinkInput);
                    delete joining;
                },
                joining));
        },
        new Joining{this, info.index, info.sink, false}));
}

// Records what one playback stream plays, from its output's monitor.
void AudioCapture::openPlayback(uint32_t sinkInput, const char *monitor)
{
    const pa_buffer_attr attributes = smallPieces();
    Reader &reader = addReader(Kind::playback, "application");
    reader.sinkInput = sinkInput;
    if (!reader.stream)
        return;
    if (pa_stream_set_monitor_stream(reader.stream, sinkInput) < 0 ||
        pa_stream_connect_record(reader.stream, monitor, &attributes,
                                 pa_stream_flags_t(timedRecording | PA_STREAM_DONT_MOVE)) < 0) {
        pa_stream_set_read_callback(reader.stream, nullptr, nullptr);
        pa_stream_set_state_callback(reader.stream, nullptr, nullptr);
        pa_stream_unref(reader.stream);
        reader.stream = nullptr;
    }
}

void AudioCapture::stop()
{
    if (!loop_)
        return;
    pa_threaded_mainloop_lock(loop_);
    stopping_ = true;
    if (context_)
        pa_context_set_subscribe_callback(context_, nullptr, nullptr);
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
    const void *data = nullptr;
    size_t bytes = 0;
    while (pa_stream_readable_size(stream) > 0) {
        const auto now = std::chrono::steady_clock::now();
        const auto made = madeAt(stream, now);
        if (pa_stream_peek(stream, &data, &bytes) < 0 || bytes == 0)
            return;
        const size_t frames = bytes / (sizeof(float) * channels);
        const auto arrival = made ? placed(*reader, now,
                                           *made +
                                               std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                                   std::chrono::duration<double>(double(frames) / sampleRate)))
                                  : now;
        if (data && reader->kind != Kind::clock) {
            reader->owner->sink_(reader->number, static_cast<const float *>(data), frames, arrival);
        } else {
            // The clock's silence, or a hole in the stream: silence of that length keeps the
            // timeline.
            std::vector<float> silence(frames * channels, 0.0f);
            reader->owner->sink_(reader->number, silence.data(), frames, arrival);
        }
        pa_stream_drop(stream);
    }
}

// The time a piece ends: as it arrives when the sound comes in time, and by the server's
// timing moved by the least delivery delay seen lately when it comes late, so that sound held
// up by a stall (of this process or of the server) and then delivered at once keeps its place
// instead of leaving a false pause. The least delay may rise by 20 ms a second, as the
// server's estimate wanders.
std::chrono::steady_clock::time_point AudioCapture::placed(Reader &reader, std::chrono::steady_clock::time_point now,
                                                           std::chrono::steady_clock::time_point ended)
{
    const double delay = std::chrono::duration<double>(now - ended).count();
    const double risen = reader.delivery
        ? *reader.delivery + 0.02 * std::chrono::duration<double>(now - reader.deliveryAt).count()
        : delay;
    reader.delivery = std::min(risen, delay);
    reader.deliveryAt = now;
    return ended +
        std::chrono::duration_cast<std::chrono::steady_clock::duration>(
               std::chrono::duration<double>(*reader.delivery));
}

void AudioCapture::onStreamState(pa_stream *stream, void *user)
{
    auto *reader = static_cast<Reader *>(user);
    AudioCapture *self = reader->owner;
    const pa_stream_state_t state = pa_stream_get_state(stream);
    // A followed playback stream ends when its application stops playing or moves it to
    // another output: no loss; a moved one is followed anew.
    if (!PA_STREAM_IS_GOOD(state) && reader->kind != Kind::playback && !self->stopping_ && !self->reportedError_ &&
        self->onError_) {
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
