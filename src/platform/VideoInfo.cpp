// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/VideoInfo.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include <QPromise>
#include <QTransform>
#include <QtConcurrent/QtConcurrentRun>

#include <unistd.h>

#include "core/base/AppError.h"
#include "core/base/Descriptor.h"
#include "core/base/FileFailure.h"
#include "core/base/RegularFile.h"
#include "platform/MediaError.h"
#include "platform/VideoFailure.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/display.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

namespace tarn {

namespace {

struct FormatCloser {
    void operator()(AVFormatContext *context) const { avformat_close_input(&context); }
};
struct CodecFreer {
    void operator()(AVCodecContext *context) const { avcodec_free_context(&context); }
};
struct FrameFreer {
    void operator()(AVFrame *frame) const { av_frame_free(&frame); }
};
struct PacketFreer {
    void operator()(AVPacket *packet) const { av_packet_free(&packet); }
};
struct ScalerFreer {
    void operator()(SwsContext *context) const { sws_freeContext(context); }
};
using Format = std::unique_ptr<AVFormatContext, FormatCloser>;
using Codec = std::unique_ptr<AVCodecContext, CodecFreer>;
using Frame = std::unique_ptr<AVFrame, FrameFreer>;
using Packet = std::unique_ptr<AVPacket, PacketFreer>;

constexpr int scalerBlock = 32; // pixels; more than the widest block the scaler writes at once

AppError noVideoTrack()
{
    return AppError(VideoInfo::noVideoTrackCode, QStringLiteral("재생 가능한 영상 트랙이 없습니다."));
}

// Owns a descriptor until the end of the scope.
int openRegularFile(const QString &path)
{
    try {
        return RegularFile::openForReading(path);
    } catch (const FileFailure &failure) {
        throw VideoFailure(VideoFailure::Case::unreadable, failure.cause());
    }
}

// The media libraries open the file again by a name of the already opened one, so they read
// the regular file that was checked and never a pipe or device put in its place.
Format open(const QString &path)
{
    const Descriptor file(openRegularFile(path));
    AVFormatContext *raw = nullptr;
    const int status =
        avformat_open_input(&raw, RegularFile::descriptorPath(file.get()).toUtf8().constData(), nullptr, nullptr);
    if (status < 0)
        throw VideoFailure(VideoFailure::Case::unreadable, MediaError::reason(status));
    Format format(raw);
    if (const int found = avformat_find_stream_info(raw, nullptr); found < 0)
        throw VideoFailure(VideoFailure::Case::unreadable, MediaError::reason(found));
    return format;
}

// The container's duration, else the longest stream's; NaN when neither is known.
double durationSeconds(const AVFormatContext &format)
{
    if (format.duration != AV_NOPTS_VALUE)
        return double(format.duration) / AV_TIME_BASE;
    double longest = NAN;
    for (unsigned i = 0; i < format.nb_streams; ++i) {
        const AVStream *stream = format.streams[i];
        if (stream->duration != AV_NOPTS_VALUE) {
            const double seconds = stream->duration * av_q2d(stream->time_base);
            longest = std::isnan(longest) ? seconds : std::max(longest, seconds);
        }
    }
    return longest;
}

// The first stream that carries moving pictures; cover art attached to audio does not count.
AVStream *firstVideoStream(const AVFormatContext &format)
{
    for (unsigned i = 0; i < format.nb_streams; ++i) {
        AVStream *stream = format.streams[i];
        if (stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO && !(stream->disposition & AV_DISPOSITION_ATTACHED_PIC))
            return stream;
    }
    return nullptr;
}

// The track's display matrix as an affine transform of sizes (translation dropped); the
// identity when the file stores none.
QTransform displayTransform(const AVStream &stream)
{
    size_t size = 0;
    const uint8_t *data = av_stream_get_side_data(&stream, AV_PKT_DATA_DISPLAYMATRIX, &size);
    if (!data || size < 9 * sizeof(int32_t))
        return {};
    const auto *matrix = reinterpret_cast<const int32_t *>(data);
    constexpr double unit = 65536.0;
    return QTransform(matrix[0] / unit, matrix[1] / unit, matrix[3] / unit, matrix[4] / unit, 0, 0);
}

Codec openDecoder(const AVStream &stream)
{
    const AVCodec *decoder = avcodec_find_decoder(stream.codecpar->codec_id);
    if (!decoder)
        throw VideoFailure(VideoFailure::Case::undecodable,
                           QStringLiteral("%1 코덱을 지원하지 않습니다")
                               .arg(QString::fromUtf8(avcodec_get_name(stream.codecpar->codec_id))));
    Codec codec(avcodec_alloc_context3(decoder));
    if (!codec)
        throw VideoFailure(VideoFailure::Case::undecodable, MediaError::reason(AVERROR(ENOMEM)));
    int status = avcodec_parameters_to_context(codec.get(), stream.codecpar);
    if (status >= 0)
        status = avcodec_open2(codec.get(), decoder, nullptr);
    if (status < 0)
        throw VideoFailure(VideoFailure::Case::undecodable, MediaError::reason(status));
    return codec;
}

// Decodes from the key frame before `seconds` up to the first frame at or after it; a clip that
// ends earlier gives its last frame.
Frame decodeFrameAt(AVFormatContext &format, AVStream &stream, double seconds)
{
    Codec codec = openDecoder(stream);
    const int64_t target = stream.start_time == AV_NOPTS_VALUE
        ? llround(seconds / av_q2d(stream.time_base))
        : stream.start_time + llround(seconds / av_q2d(stream.time_base));
    av_seek_frame(&format, stream.index, target, AVSEEK_FLAG_BACKWARD);
    Packet packet(av_packet_alloc());
    Frame frame(av_frame_alloc());
    Frame best;
    int status = 0;
    bool draining = false;
    while (true) {
        if (!draining) {
            status = av_read_frame(&format, packet.get());
            if (status < 0) {
                draining = true;
                avcodec_send_packet(codec.get(), nullptr);
            } else if (packet->stream_index == stream.index) {
                avcodec_send_packet(codec.get(), packet.get());
                av_packet_unref(packet.get());
            } else {
                av_packet_unref(packet.get());
                continue;
            }
        }
        while ((status = avcodec_receive_frame(codec.get(), frame.get())) >= 0) {
            best.reset(av_frame_clone(frame.get()));
            av_frame_unref(frame.get());
            const int64_t time = best->best_effort_timestamp;
            if (time == AV_NOPTS_VALUE || time >= target)
                return best;
        }
        if (status == AVERROR_EOF || (draining && status == AVERROR(EAGAIN)))
            break;
    }
    if (!best)
        throw VideoFailure(VideoFailure::Case::undecodable, MediaError::reason(status));
    return best;
}

// Scales the frame into RGBA so that it fits `bounds` in stored orientation.
QImage toImage(const AVFrame &frame, QSize bounds)
{
    const QSize stored(frame.width, frame.height);
    const QSize size = stored.width() > bounds.width() || stored.height() > bounds.height()
        ? stored.scaled(bounds, Qt::KeepAspectRatio).expandedTo(QSize(1, 1))
        : stored;
    std::unique_ptr<SwsContext, ScalerFreer> scaler(
        sws_getContext(frame.width, frame.height, AVPixelFormat(frame.format), size.width(), size.height(),
                       AV_PIX_FMT_RGBA, SWS_AREA, nullptr, nullptr, nullptr));
    if (!scaler)
        throw VideoFailure(VideoFailure::Case::undecodable, QStringLiteral("지원하지 않는 픽셀 형식입니다"));
    // The scaler writes whole blocks of pixels, past the end of a row whose width is no multiple
    // of its block (a 920-pixel region recording): wider rows take that spill, which would
    // otherwise run past the image's last row into the heap.
    QImage padded(FFALIGN(size.width(), scalerBlock), size.height(), QImage::Format_RGBA8888);
    uint8_t *planes[4] = {padded.bits(), nullptr, nullptr, nullptr};
    int strides[4] = {int(padded.bytesPerLine()), 0, 0, 0};
    sws_scale(scaler.get(), frame.data, frame.linesize, 0, frame.height, planes, strides);
    return padded.copy(QRect(QPoint(0, 0), size));
}

} // namespace

VideoInfo VideoInfo::load(const QString &path)
{
    Format format = open(path);
    const double duration = durationSeconds(*format);
    if (!std::isfinite(duration) || duration <= 0)
        throw noVideoTrack();
    AVStream *stream = firstVideoStream(*format);
    if (!stream)
        throw noVideoTrack();

    const QTransform transform = displayTransform(*stream);
    const double naturalWidth = stream->codecpar->width;
    const double naturalHeight = stream->codecpar->height;
    const double shownWidth = std::abs(transform.m11() * naturalWidth + transform.m21() * naturalHeight);
    const double shownHeight = std::abs(transform.m12() * naturalWidth + transform.m22() * naturalHeight);
    // A size that cannot be turned into pixels counts as no playable track.
    if (!std::isfinite(shownWidth) || !std::isfinite(shownHeight) || shownWidth < 1 || shownHeight < 1 ||
        shownWidth > 1e9 || shownHeight > 1e9)
        throw noVideoTrack();

    const double posterTime = std::min(0.5 * duration, 0.1);
    Frame frame = decodeFrameAt(*format, *stream, posterTime);
    QImage poster = toImage(*frame, QSize(maximumPosterSide, maximumPosterSide));
    if (!transform.isIdentity())
        poster = poster.transformed(transform, Qt::SmoothTransformation);

    VideoInfo info;
    info.thumbnail = poster.convertToFormat(QImage::Format_RGBA8888_Premultiplied);
    info.width = int(shownWidth);
    info.height = int(shownHeight);
    info.duration = duration;
    return info;
}

QFuture<VideoInfo> VideoInfo::loadAsync(const QString &path)
{
    return QtConcurrent::run([path](QPromise<VideoInfo> &promise) {
        try {
            promise.addResult(load(path));
        } catch (...) {
            promise.setException(std::current_exception());
        }
    });
}

} // namespace tarn
