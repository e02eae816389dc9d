// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Writes small MPEG-4 movies with the FFmpeg libraries for the tests that read movies back.

#include <stdexcept>
#include <vector>

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QString>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/display.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

namespace tarn::TestSupport {

// One video track of a generated movie. Frame i shows a red left half and a blue right half
// under a grey strip (the top eighth) whose level is `stripStep` * i, so a decoded frame tells
// which frame it was.
struct VideoTrack {
    int width = 320;
    int height = 240;
    int frames = 10;
    int fps = 10;
    double rotation = 0; // the display matrix's angle, as av_display_rotation_set takes it
};

struct Movie {
    std::vector<VideoTrack> video;
    double audioSeconds = 0; // a silent AAC track when positive
};

inline constexpr int stripStep = 40;

// Writes the movie as MPEG-4 (MPEG-4 part 2 video, AAC audio).

namespace MovieDetail {

inline void check(int status, const char *what)
{
    if (status < 0) {
        char text[AV_ERROR_MAX_STRING_SIZE] = {};
        av_strerror(status, text, sizeof text);
        throw std::runtime_error(std::string(what) + ": " + text);
    }
}

struct Track {
    AVStream *stream = nullptr;
    AVCodecContext *codec = nullptr;
};

inline QImage picture(const VideoTrack &spec, int index)
{
    QImage image(spec.width, spec.height, QImage::Format_RGBA8888);
    QPainter painter(&image);
    painter.fillRect(0, 0, spec.width / 2, spec.height, QColor(255, 0, 0));
    painter.fillRect(spec.width / 2, 0, spec.width - spec.width / 2, spec.height, QColor(0, 0, 255));
    const int level = std::min(255, stripStep * index);
    painter.fillRect(0, 0, spec.width, spec.height / 8, QColor(level, level, level));
    return image;
}

inline void drain(AVFormatContext *format, Track &track, const AVFrame *frame)
{
    check(avcodec_send_frame(track.codec, frame), "send frame");
    AVPacket *packet = av_packet_alloc();
    while (avcodec_receive_packet(track.codec, packet) >= 0) {
        if (packet->duration == 0 && track.codec->codec_type == AVMEDIA_TYPE_VIDEO)
            packet->duration = 1; // one frame, so the last frame counts in the track's length
        av_packet_rescale_ts(packet, track.codec->time_base, track.stream->time_base);
        packet->stream_index = track.stream->index;
        check(av_interleaved_write_frame(format, packet), "write packet");
    }
    av_packet_free(&packet);
}

inline Track addVideo(AVFormatContext *format, const VideoTrack &spec)
{
    const AVCodec *encoder = avcodec_find_encoder(AV_CODEC_ID_MPEG4);
    Track track;
    track.stream = avformat_new_stream(format, nullptr);
    track.codec = avcodec_alloc_context3(encoder);
    track.codec->width = spec.width;
    track.codec->height = spec.height;
    track.codec->pix_fmt = AV_PIX_FMT_YUV420P;
    track.codec->time_base = AVRational{1, spec.fps};
    track.codec->framerate = AVRational{spec.fps, 1};
    track.codec->gop_size = 1;
    track.codec->flags |= AV_CODEC_FLAG_QSCALE | AV_CODEC_FLAG_GLOBAL_HEADER;
    track.codec->global_quality = FF_QP2LAMBDA * 2;
    check(avcodec_open2(track.codec, encoder, nullptr), "open video encoder");
    check(avcodec_parameters_from_context(track.stream->codecpar, track.codec), "video parameters");
    track.stream->time_base = track.codec->time_base;
    if (spec.rotation != 0) {
        auto *matrix = reinterpret_cast<int32_t *>(
            av_stream_new_side_data(track.stream, AV_PKT_DATA_DISPLAYMATRIX, 9 * sizeof(int32_t)));
        av_display_rotation_set(matrix, spec.rotation);
    }
    return track;
}

inline Track addAudio(AVFormatContext *format)
{
    const AVCodec *encoder = avcodec_find_encoder(AV_CODEC_ID_AAC);
    Track track;
    track.stream = avformat_new_stream(format, nullptr);
    track.codec = avcodec_alloc_context3(encoder);
    track.codec->sample_fmt = AV_SAMPLE_FMT_FLTP;
    track.codec->sample_rate = 48000;
    av_channel_layout_default(&track.codec->ch_layout, 1);
    track.codec->time_base = AVRational{1, 48000};
    track.codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    check(avcodec_open2(track.codec, encoder, nullptr), "open audio encoder");
    check(avcodec_parameters_from_context(track.stream->codecpar, track.codec), "audio parameters");
    track.stream->time_base = track.codec->time_base;
    return track;
}

inline void writeVideoFrames(AVFormatContext *format, Track &track, const VideoTrack &spec)
{
    SwsContext *scaler = sws_getContext(spec.width, spec.height, AV_PIX_FMT_RGBA, spec.width, spec.height,
                                        AV_PIX_FMT_YUV420P, SWS_BILINEAR, nullptr, nullptr, nullptr);
    AVFrame *frame = av_frame_alloc();
    frame->format = AV_PIX_FMT_YUV420P;
    frame->width = spec.width;
    frame->height = spec.height;
    check(av_frame_get_buffer(frame, 0), "frame buffer");
    for (int i = 0; i < spec.frames; ++i) {
        check(av_frame_make_writable(frame), "writable frame");
        const QImage image = picture(spec, i);
        const uint8_t *planes[1] = {image.constBits()};
        const int strides[1] = {int(image.bytesPerLine())};
        sws_scale(scaler, planes, strides, 0, spec.height, frame->data, frame->linesize);
        frame->pts = i;
        drain(format, track, frame);
    }
    drain(format, track, nullptr);
    av_frame_free(&frame);
    sws_freeContext(scaler);
}

inline void writeSilence(AVFormatContext *format, Track &track, double seconds)
{
    AVFrame *frame = av_frame_alloc();
    frame->format = track.codec->sample_fmt;
    frame->nb_samples = track.codec->frame_size;
    frame->sample_rate = track.codec->sample_rate;
    check(av_channel_layout_copy(&frame->ch_layout, &track.codec->ch_layout), "layout");
    check(av_frame_get_buffer(frame, 0), "audio buffer");
    const int64_t total = int64_t(seconds * track.codec->sample_rate);
    for (int64_t done = 0; done < total; done += frame->nb_samples) {
        check(av_frame_make_writable(frame), "writable audio");
        av_samples_set_silence(frame->data, 0, frame->nb_samples, 1, AV_SAMPLE_FMT_FLTP);
        frame->pts = done;
        drain(format, track, frame);
    }
    drain(format, track, nullptr);
    av_frame_free(&frame);
}

} // namespace MovieDetail

inline void writeMovie(const QString &path, const Movie &movie)
{
    using namespace MovieDetail;
    AVFormatContext *format = nullptr;
    const QByteArray file = path.toUtf8();
    check(avformat_alloc_output_context2(&format, nullptr, "mp4", file.constData()), "output");
    std::vector<Track> tracks;
    for (const VideoTrack &spec : movie.video)
        tracks.push_back(addVideo(format, spec));
    if (movie.audioSeconds > 0)
        tracks.push_back(addAudio(format));
    check(avio_open(&format->pb, file.constData(), AVIO_FLAG_WRITE), "open file");
    check(avformat_write_header(format, nullptr), "header");
    for (size_t i = 0; i < movie.video.size(); ++i)
        writeVideoFrames(format, tracks[i], movie.video[i]);
    if (movie.audioSeconds > 0)
        writeSilence(format, tracks.back(), movie.audioSeconds);
    check(av_write_trailer(format), "trailer");
    avio_closep(&format->pb);
    for (Track &track : tracks)
        avcodec_free_context(&track.codec);
    avformat_free_context(format);
}

} // namespace tarn::TestSupport
