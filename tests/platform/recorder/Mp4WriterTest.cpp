// SPDX-License-Identifier: GPL-3.0-or-later
// The writer's file read back with libavformat as a player reads it: picture and sound that
// were given the same moment are shown and heard together.
#include <cmath>
#include <optional>
#include <set>
#include <vector>

#include <QTemporaryDir>
#include <gtest/gtest.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include "platform/recorder/Mp4Writer.h"

namespace tarn {
namespace {

// When the first white picture is shown and the first loud sample heard, in seconds; and
// whether every stream's packets come in strictly increasing decoding order, each with a
// presentation time of its own, none to be discarded.
struct Moments {
    std::optional<double> flash, click;
    bool increasing = true;
};

Moments readMoments(const QString &path)
{
    Moments moments;
    AVFormatContext *format = nullptr;
    if (avformat_open_input(&format, path.toUtf8().constData(), nullptr, nullptr) < 0)
        return moments;
    avformat_find_stream_info(format, nullptr);
    std::vector<AVCodecContext *> decoders(format->nb_streams, nullptr);
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        const AVCodec *codec = avcodec_find_decoder(format->streams[i]->codecpar->codec_id);
        decoders[i] = avcodec_alloc_context3(codec);
        avcodec_parameters_to_context(decoders[i], format->streams[i]->codecpar);
        avcodec_open2(decoders[i], codec, nullptr);
    }
    AVPacket *packet = av_packet_alloc();
    AVFrame *frame = av_frame_alloc();
    std::vector<int64_t> lastDts(format->nb_streams, INT64_MIN);
    std::vector<std::set<int64_t>> shown(format->nb_streams);
    const auto take = [&](int index) {
        const double unit = av_q2d(format->streams[index]->time_base);
        while (avcodec_receive_frame(decoders[size_t(index)], frame) >= 0) {
            const double at = double(frame->best_effort_timestamp) * unit;
            if (frame->format == AV_SAMPLE_FMT_FLTP) {
                const auto *left = reinterpret_cast<const float *>(frame->data[0]);
                for (int s = 0; s < frame->nb_samples && !moments.click; ++s)
                    if (std::abs(left[s]) > 0.2f)
                        moments.click = at + double(s) / frame->sample_rate;
            } else if (!moments.flash && frame->data[0][frame->linesize[0] * frame->height / 2] > 200) {
                moments.flash = at;
            }
        }
    };
    while (av_read_frame(format, packet) >= 0) {
        int64_t &last = lastDts[size_t(packet->stream_index)];
        moments.increasing = moments.increasing && packet->dts > last && !(packet->flags & AV_PKT_FLAG_DISCARD) &&
            shown[size_t(packet->stream_index)].insert(packet->pts).second;
        last = packet->dts;
        avcodec_send_packet(decoders[size_t(packet->stream_index)], packet);
        take(packet->stream_index);
        av_packet_unref(packet);
    }
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        avcodec_send_packet(decoders[i], nullptr);
        take(int(i));
        avcodec_free_context(&decoders[i]);
    }
    av_frame_free(&frame);
    av_packet_free(&packet);
    avformat_close_input(&format);
    return moments;
}

struct Recording {
    int frameRate;
    int64_t soundStart; // samples
    int seconds;
    int gapEvery; // every so many slots one stays empty (a late grab); 0 for none
};

// Writes as the recorder does: a frame, then the sound up to that frame's time. The picture
// turns white at 1 s and a 1 kHz tone starts at 1 s.
void write(const Mp4Writer::Settings &settings, const Recording &r)
{
    std::vector<uint32_t> pixels(size_t(settings.sourceSize.width() * settings.sourceSize.height()));
    std::vector<float> sound(size_t(Mp4Writer::audioFrameSize) * 2);
    Mp4Writer writer(settings);
    int64_t position = r.soundStart;
    for (int64_t slot = 0; slot < int64_t(r.seconds) * r.frameRate; ++slot) {
        if (r.gapEvery && slot % r.gapEvery == r.gapEvery - 1)
            continue;
        std::fill(pixels.begin(), pixels.end(), slot >= r.frameRate ? 0xffffffffu : 0xff202020u);
        writer.addVideo(reinterpret_cast<const uint8_t *>(pixels.data()), settings.sourceSize.width() * 4, slot);
        for (; position < (slot + 1) * Mp4Writer::audioSampleRate / r.frameRate;
             position += Mp4Writer::audioFrameSize) {
            for (int s = 0; s < Mp4Writer::audioFrameSize; ++s) {
                const int64_t t = position + s - Mp4Writer::audioSampleRate;
                sound[size_t(2 * s)] = sound[size_t(2 * s + 1)] =
                    t >= 0 ? 0.5f * float(std::sin(2 * M_PI * 1000 * double(t) / 48000)) : 0.0f;
            }
            writer.addAudio(sound.data(), position);
        }
    }
    writer.finish();
}

// Sound may begin late, as a sound server does that starts after the screen; frames may be
// missing where a grab came late; the fragments of picture and sound end at different times.
TEST(Mp4Writer, PictureAndSoundOfTheSameMomentPlayTogether)
{
    for (const Recording r :
         {Recording{30, 0, 2, 0}, Recording{60, 0, 2, 0}, Recording{30, 24'000, 2, 0}, Recording{30, 0, 20, 7}}) {
        SCOPED_TRACE(testing::Message() << r.frameRate << " fps, sound from sample " << r.soundStart << ", "
                                        << r.seconds << " s, a gap every " << r.gapEvery << " slots");
        QTemporaryDir dir;
        Mp4Writer::Settings settings;
        settings.path = dir.filePath(QStringLiteral("together.mp4"));
        settings.sourceSize = settings.outputSize = QSize(320, 240);
        settings.frameRate = r.frameRate;
        settings.audio = true;
        settings.encoderThreads = 1; // the packets' order, and so the fragments, the same on every machine
        write(settings, r);
        const Moments moments = readMoments(settings.path);
        ASSERT_TRUE(moments.flash && moments.click);
        EXPECT_NEAR(*moments.flash, 1.0, 0.001);
        EXPECT_NEAR(*moments.click, 1.0, 0.002);
        EXPECT_TRUE(moments.increasing);
    }
}

} // namespace
} // namespace tarn
