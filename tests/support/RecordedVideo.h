// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// For the tests that make real recordings under the test desktop: a moving pattern to record,
// and the written file read back with libavformat the way a player would.
#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRasterWindow>
#include <QTimer>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace tarn::TestSupport {

struct VideoFacts {
    int width = 0, height = 0;
    int64_t frames = 0;
    double duration = 0;
    bool audio = false;
    double audioLevel = 0;    // root mean square of the decoded samples
    double audioStart = 0;    // seconds from the file's start to the first sound packet
    std::vector<float> sound; // the first channel, decoded
};

// Decodes every audio packet of the open file's stream `index` into its first channel.
inline std::vector<float> firstChannel(AVFormatContext *format, int index)
{
    const AVCodecParameters *parameters = format->streams[index]->codecpar;
    const AVCodec *codec = avcodec_find_decoder(parameters->codec_id);
    AVCodecContext *decoder = avcodec_alloc_context3(codec);
    avcodec_parameters_to_context(decoder, parameters);
    std::vector<float> samples;
    if (avcodec_open2(decoder, codec, nullptr) >= 0) {
        av_seek_frame(format, -1, 0, AVSEEK_FLAG_BACKWARD);
        AVPacket *packet = av_packet_alloc();
        AVFrame *frame = av_frame_alloc();
        while (av_read_frame(format, packet) >= 0) {
            if (packet->stream_index == index && avcodec_send_packet(decoder, packet) >= 0)
                while (avcodec_receive_frame(decoder, frame) >= 0)
                    if (frame->format == AV_SAMPLE_FMT_FLTP)
                        samples.insert(samples.end(), reinterpret_cast<const float *>(frame->data[0]),
                                       reinterpret_cast<const float *>(frame->data[0]) + frame->nb_samples);
            av_packet_unref(packet);
        }
        av_frame_free(&frame);
        av_packet_free(&packet);
    }
    avcodec_free_context(&decoder);
    return samples;
}

// The amplitude of one frequency in 48 kHz samples (Goertzel).
inline double amplitudeAt(const std::vector<float> &samples, double frequency)
{
    const double w = 2 * M_PI * frequency / 48000, coefficient = 2 * std::cos(w);
    double previous = 0, beforePrevious = 0;
    for (float x : samples) {
        const double next = x + coefficient * previous - beforePrevious;
        beforePrevious = previous;
        previous = next;
    }
    const double power =
        previous * previous + beforePrevious * beforePrevious - coefficient * previous * beforePrevious;
    return samples.empty() ? 0 : 2 * std::sqrt(std::max(power, 0.0)) / double(samples.size());
}

// The root mean square of the samples.
inline double rms(const std::vector<float> &samples)
{
    double sum = 0;
    for (float v : samples)
        sum += double(v) * v;
    return samples.empty() ? 0 : std::sqrt(sum / double(samples.size()));
}

// Reads the file back the way a player would: every video packet counted.
inline std::optional<VideoFacts> readBack(const QString &path)
{
    AVFormatContext *format = nullptr;
    if (avformat_open_input(&format, path.toUtf8().constData(), nullptr, nullptr) < 0)
        return std::nullopt;
    VideoFacts facts;
    if (avformat_find_stream_info(format, nullptr) >= 0) {
        const int video = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
        const int sound = av_find_best_stream(format, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
        facts.audio = sound >= 0;
        if (video >= 0) {
            const AVStream *stream = format->streams[video];
            facts.width = stream->codecpar->width;
            facts.height = stream->codecpar->height;
            AVPacket *packet = av_packet_alloc();
            int64_t last = 0;
            while (av_read_frame(format, packet) >= 0) {
                if (packet->stream_index == video) {
                    ++facts.frames;
                    last = std::max(last, packet->pts + packet->duration);
                }
                av_packet_unref(packet);
            }
            av_packet_free(&packet);
            facts.duration = double(last) * av_q2d(stream->time_base);
        }
        if (sound >= 0) {
            const AVStream *stream = format->streams[sound];
            if (stream->start_time != AV_NOPTS_VALUE)
                facts.audioStart = double(stream->start_time) * av_q2d(stream->time_base);
            facts.sound = firstChannel(format, sound);
            facts.audioLevel = rms(facts.sound);
        }
    }
    avformat_close_input(&format);
    return facts;
}

// The video's frames as ffmpeg decodes them, scaled to `size`; `options` follow the input (say
// "-ss 2.5 -frames:v 1" for the frame at 2.5 s).
inline std::vector<QImage> decodedFrames(const QString &path, QSize size, const QStringList &options = {})
{
    QProcess ffmpeg;
    ffmpeg.start(
        QStringLiteral("ffmpeg"),
        QStringList{QStringLiteral("-i"), path} + options +
            QStringLiteral("-s %1x%2 -f rawvideo -pix_fmt rgb24 -").arg(size.width()).arg(size.height()).split(u' '));
    ffmpeg.waitForFinished(120'000);
    const QByteArray bytes = ffmpeg.readAllStandardOutput();
    std::vector<QImage> frames;
    for (qsizetype at = 0, n = size.width() * size.height() * 3; at + n <= bytes.size(); at += n)
        frames.push_back(QImage(reinterpret_cast<const uchar *>(bytes.constData() + at), size.width(), size.height(),
                                size.width() * 3, QImage::Format_RGB888)
                             .copy());
    return frames;
}

// A window whose content changes every frame: a bar sweeping across a gradient.
class MovingPattern : public QRasterWindow {
public:
    MovingPattern()
    {
        setFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
        setGeometry(0, 0, 640, 360);
        timer_.setInterval(16);
        QObject::connect(&timer_, &QTimer::timeout, this, [this] {
            ++tick_;
            update();
        });
        timer_.start();
        show();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        const QRect rect(QPoint(0, 0), size());
        p.fillRect(rect, QColor::fromHsv(tick_ * 3 % 360, 120, 160));
        p.fillRect((tick_ * 7) % width(), 0, 40, height(), Qt::white);
        p.drawText(20, 40, QString::number(tick_));
    }

private:
    QTimer timer_;
    int tick_ = 0;
};

inline bool haveSoundServer()
{
    QProcess pactl;
    pactl.start(QStringLiteral("pactl"), {QStringLiteral("info")});
    return pactl.waitForFinished() && pactl.exitStatus() == QProcess::NormalExit && pactl.exitCode() == 0;
}

inline bool haveDisplay() { return QGuiApplication::platformName() == QLatin1String("xcb"); }

} // namespace tarn::TestSupport
