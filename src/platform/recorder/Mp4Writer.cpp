// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/recorder/Mp4Writer.h"

#include <algorithm>
#include <cerrno>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include <QFile>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include "platform/MediaError.h"
#include "platform/RecorderBackend.h"

namespace tarn {

namespace {

[[noreturn]] void failWrite(int error)
{
    if (error == AVERROR(ENOSPC))
        throw RecorderFailure(QStringLiteral("디스크 공간이 부족해 녹화 파일을 더 쓸 수 없습니다."));
    throw RecorderFailure(
        QStringLiteral("녹화 파일을 쓰는 중 오류가 발생했습니다 (%1).").arg(MediaError::reason(error)));
}

[[noreturn]] void failEncoder()
{
    throw RecorderFailure(QStringLiteral("동영상을 인코딩하는 중 오류가 발생했습니다."));
}

void noRelease(void *, uint8_t *) { }

// Large frames, or many of them, convert on several threads; 1080p at 30 frames per second
// converts comfortably on one.
int conversionThreads(QSize size, int frameRate)
{
    if (int64_t(size.width()) * size.height() * frameRate <= int64_t(1920) * 1200 * 30)
        return 1;
    return int(std::clamp(std::thread::hardware_concurrency() / 2, 2u, 6u));
}

// The header waits for the first packets (see below), so nothing is written when a recording
// starts. Whether the file can grow at all (a full disk, a size limit) is found out by
// writing a few kilobytes and taking them back: the start fails then, not the recording a
// second later with an empty file left for recovery.
void checkRoom(const QByteArray &path)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return;
    const std::vector<char> zeros(4096, 0);
    int error = 0;
    for (size_t done = 0; done < zeros.size() && !error;) {
        const ssize_t written = ::pwrite(fd, zeros.data() + done, zeros.size() - done, off_t(done));
        if (written > 0)
            done += size_t(written);
        else
            error = written < 0 ? errno : ENOSPC;
    }
    const bool emptied = ::ftruncate(fd, 0) == 0;
    ::close(fd);
    if (error)
        failWrite(AVERROR(error));
    if (!emptied)
        failWrite(AVERROR(EIO));
}

} // namespace

Mp4Writer::Mp4Writer(const Settings &settings) : settings_(settings)
{
    // The libraries' own chatter (encoder statistics) is not for the user's terminal.
    if (av_log_get_level() > AV_LOG_ERROR)
        av_log_set_level(AV_LOG_ERROR);
    try {
        const QByteArray path = settings.path.toUtf8();
        if (avformat_alloc_output_context2(&format_, nullptr, "mp4", path.constData()) < 0)
            failEncoder();
        openVideo();
        if (settings.audio)
            openAudio();
        packet_ = av_packet_alloc();
        heldVideo_ = av_packet_alloc();
        const int opened = avio_open(&format_->pb, path.constData(), AVIO_FLAG_WRITE);
        if (opened < 0) {
            if (opened == AVERROR(ENOSPC))
                failWrite(opened);
            throw RecorderFailure(QStringLiteral("녹화 파일을 만들 수 없습니다: ") + settings.path);
        }
        // A screen recording is private, like every other file of the library.
        QFile::setPermissions(settings.path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        checkRoom(path);
        AVDictionary *options = nullptr;
        // Fragments of about a second, each written out at once: a file cut off by a crash
        // keeps every finished fragment. (+faststart would rewrite the whole file at the end.)
        // The header waits for the first packet of every track: only then can its edit lists
        // say where each track starts, the video behind its frame-reordering delay and the
        // sound behind the AAC encoder's priming. Written at once, each track would be moved
        // to start at zero on its own, and sound and picture would part by those delays.
        av_dict_set(&options, "movflags", "empty_moov+delay_moov+default_base_moof", 0);
        av_dict_set(&options, "frag_duration", "1000000", 0);
        av_dict_set(&options, "flush_packets", "1", 0);
        const int header = avformat_write_header(format_, &options);
        av_dict_free(&options);
        if (header < 0)
            failWrite(header);
        headerWritten_ = true;
    } catch (...) {
        release();
        throw;
    }
}

Mp4Writer::~Mp4Writer() { release(); }

void Mp4Writer::openVideo()
{
    const AVCodec *codec = avcodec_find_encoder_by_name("libx264");
    if (!codec)
        throw RecorderFailure(QStringLiteral("H.264 인코더(libx264)를 찾을 수 없습니다."));
    video_ = avcodec_alloc_context3(codec);
    video_->width = settings_.outputSize.width();
    video_->height = settings_.outputSize.height();
    video_->pix_fmt = AV_PIX_FMT_YUV420P;
    video_->time_base = AVRational{1, settings_.frameRate};
    video_->framerate = AVRational{settings_.frameRate, 1};
    video_->gop_size = 2 * settings_.frameRate;
    video_->color_range = AVCOL_RANGE_MPEG;
    video_->colorspace = AVCOL_SPC_SMPTE170M;
    video_->color_primaries = AVCOL_PRI_BT709;
    video_->color_trc = AVCOL_TRC_IEC61966_2_1;
    if (format_->oformat->flags & AVFMT_GLOBALHEADER)
        video_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    av_opt_set(video_->priv_data, "preset", "veryfast", 0);
    video_->thread_count = settings_.encoderThreads;
    if (avcodec_open2(video_, codec, nullptr) < 0)
        failEncoder();
    videoStream_ = avformat_new_stream(format_, nullptr);
    avcodec_parameters_from_context(videoStream_->codecpar, video_);
    videoStream_->time_base = video_->time_base;

    scaler_ = sws_alloc_context();
    av_opt_set_int(scaler_, "srcw", settings_.sourceSize.width(), 0);
    av_opt_set_int(scaler_, "srch", settings_.sourceSize.height(), 0);
    av_opt_set_int(scaler_, "src_format", AV_PIX_FMT_BGR0, 0);
    av_opt_set_int(scaler_, "dstw", video_->width, 0);
    av_opt_set_int(scaler_, "dsth", video_->height, 0);
    av_opt_set_int(scaler_, "dst_format", AV_PIX_FMT_YUV420P, 0);
    av_opt_set_int(scaler_, "sws_flags", SWS_BILINEAR, 0);
    const int threads = settings_.conversionThreads > 0 ? settings_.conversionThreads
                                                        : conversionThreads(settings_.sourceSize, settings_.frameRate);
    av_opt_set_int(scaler_, "threads", threads, 0);
    if (sws_init_context(scaler_, nullptr, nullptr) < 0)
        failEncoder();

    source_ = av_frame_alloc();
    source_->width = settings_.sourceSize.width();
    source_->height = settings_.sourceSize.height();
    source_->format = AV_PIX_FMT_BGR0;
    picture_ = av_frame_alloc();
    picture_->width = video_->width;
    picture_->height = video_->height;
    picture_->format = AV_PIX_FMT_YUV420P;
    picture_->color_range = video_->color_range;
    picture_->colorspace = video_->colorspace;
    if (av_frame_get_buffer(picture_, 0) < 0)
        failEncoder();
}

void Mp4Writer::openAudio()
{
    const AVCodec *codec = avcodec_find_encoder(AV_CODEC_ID_AAC);
    if (!codec)
        throw RecorderFailure(QStringLiteral("AAC 오디오 인코더를 찾을 수 없습니다."));
    audio_ = avcodec_alloc_context3(codec);
    audio_->sample_fmt = AV_SAMPLE_FMT_FLTP;
    audio_->sample_rate = audioSampleRate;
    av_channel_layout_default(&audio_->ch_layout, 2);
    audio_->bit_rate = 160'000;
    audio_->time_base = AVRational{1, audioSampleRate};
    if (format_->oformat->flags & AVFMT_GLOBALHEADER)
        audio_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (avcodec_open2(audio_, codec, nullptr) < 0)
        failEncoder();
    audioStream_ = avformat_new_stream(format_, nullptr);
    avcodec_parameters_from_context(audioStream_->codecpar, audio_);
    audioStream_->time_base = audio_->time_base;

    sound_ = av_frame_alloc();
    sound_->format = AV_SAMPLE_FMT_FLTP;
    sound_->sample_rate = audioSampleRate;
    av_channel_layout_default(&sound_->ch_layout, 2);
    sound_->nb_samples = audioFrameSize;
    if (av_frame_get_buffer(sound_, 0) < 0)
        failEncoder();
}

void Mp4Writer::addVideo(const uint8_t *bgrx, int stride, int64_t frameIndex)
{
    // The grabbed buffer is lent to the converter without a copy.
    const size_t bytes = size_t(stride) * size_t(settings_.sourceSize.height());
    source_->buf[0] =
        av_buffer_create(const_cast<uint8_t *>(bgrx), bytes, &noRelease, nullptr, AV_BUFFER_FLAG_READONLY);
    source_->data[0] = const_cast<uint8_t *>(bgrx);
    source_->linesize[0] = stride;
    if (av_frame_make_writable(picture_) < 0)
        failEncoder();
    const int converted = sws_scale_frame(scaler_, picture_, source_);
    av_buffer_unref(&source_->buf[0]);
    source_->data[0] = nullptr;
    if (converted < 0)
        failEncoder();
    picture_->pts = frameIndex;
    send(video_, videoStream_, picture_);
}

void Mp4Writer::addAudio(const float *interleaved, int64_t position)
{
    if (!audio_)
        return;
    if (av_frame_make_writable(sound_) < 0)
        failEncoder();
    auto *left = reinterpret_cast<float *>(sound_->data[0]);
    auto *right = reinterpret_cast<float *>(sound_->data[1]);
    for (int i = 0; i < audioFrameSize; ++i) {
        left[i] = interleaved[2 * i];
        right[i] = interleaved[2 * i + 1];
    }
    sound_->pts = position;
    send(audio_, audioStream_, sound_);
}

void Mp4Writer::send(AVCodecContext *codec, AVStream *stream, const AVFrame *frame)
{
    if (avcodec_send_frame(codec, frame) < 0)
        failEncoder();
    for (;;) {
        const int received = avcodec_receive_packet(codec, packet_);
        if (received == AVERROR(EAGAIN) || received == AVERROR_EOF)
            return;
        if (received < 0)
            failEncoder();
        av_packet_rescale_ts(packet_, codec->time_base, stream->time_base);
        packet_->stream_index = stream->index;
        if (codec != video_) {
            write(packet_);
            continue;
        }
        // A video sample lasts until the next one's decoding time, which the encoder does not
        // tell, and frames come at uneven times when a grab was late. Each packet is held
        // until the next one is out: the muxer starts every fragment where the durations of
        // the previous one end, and a guessed duration would move that fragment's first
        // picture to another time.
        std::swap(packet_, heldVideo_);
        if (packet_->data) {
            packet_->duration = heldVideo_->dts - packet_->dts;
            write(packet_);
        }
    }
}

void Mp4Writer::write(AVPacket *packet)
{
    const bool isVideo = packet->stream_index == videoStream_->index;
    const double end =
        double(packet->pts + packet->duration) * av_q2d(format_->streams[packet->stream_index]->time_base);
    const int written = av_write_frame(format_, packet);
    av_packet_unref(packet);
    if (written < 0)
        failWrite(written);
    if (format_->pb->error < 0)
        failWrite(format_->pb->error);
    if (isVideo) {
        ++videoPackets_;
        writtenSeconds_ = std::max(writtenSeconds_, end);
    } else {
        ++audioPackets_;
    }
    writeHeaderWithoutSound();
}

// Sound that has not begun after some seconds of video (a stalled sound server) must not hold
// the header back for the whole recording: the video would pile up in memory, and a crash
// would leave a file without a header. The fragments go out without the sound's start.
void Mp4Writer::writeHeaderWithoutSound()
{
    if (!audio_ || audioPackets_ > 0 || headerForced_ || videoPackets_ < 5 * int64_t(settings_.frameRate))
        return;
    headerForced_ = true;
    const int flushed = av_write_frame(format_, nullptr);
    if (flushed < 0)
        failWrite(flushed);
}

void Mp4Writer::finish()
{
    send(video_, videoStream_, nullptr);
    if (heldVideo_->data) {
        // The last picture is shown for one frame's time.
        heldVideo_->duration = av_rescale_q(1, video_->time_base, videoStream_->time_base);
        write(heldVideo_);
    }
    if (audio_)
        send(audio_, audioStream_, nullptr);
    const int trailer = av_write_trailer(format_);
    headerWritten_ = false;
    if (trailer < 0)
        failWrite(trailer);
    const int closed = avio_closep(&format_->pb);
    if (closed < 0)
        failWrite(closed);
    release();
}

void Mp4Writer::close() { release(); }

int64_t Mp4Writer::bytesWritten() const { return format_ && format_->pb ? avio_tell(format_->pb) : 0; }

void Mp4Writer::release()
{
    if (format_) {
        if (format_->pb) {
            avio_flush(format_->pb);
            avio_closep(&format_->pb);
        }
        avformat_free_context(format_);
        format_ = nullptr;
    }
    avcodec_free_context(&video_);
    avcodec_free_context(&audio_);
    sws_freeContext(scaler_);
    scaler_ = nullptr;
    av_frame_free(&source_);
    av_frame_free(&picture_);
    av_frame_free(&sound_);
    av_packet_free(&packet_);
    av_packet_free(&heldVideo_);
}

} // namespace tarn
