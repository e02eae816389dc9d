// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include <QSize>
#include <QString>

struct AVFormatContext;
struct AVCodecContext;
struct AVStream;
struct AVFrame;
struct AVPacket;
struct SwsContext;

namespace tarn {

// Writes a recording: BGRX screen frames converted with libswscale (sliced over threads for
// large frames) and encoded with libx264 (preset veryfast), optional stereo float audio
// encoded as AAC, muxed by libavformat into a fragmented MP4 of about one-second fragments,
// so that a recording cut off midway is still playable. One thread uses one writer.
// Every error is thrown as RecorderFailure with a Korean description.
class Mp4Writer {
public:
    struct Settings {
        QString path;
        QSize sourceSize; // size of the grabbed frames
        QSize outputSize; // size of the encoded video (even sides)
        int frameRate = 30;
        bool audio = false;        // 48 kHz stereo
        int conversionThreads = 0; // 0: chosen from the frame size
        int encoderThreads = 0;    // 0: the encoder's own choice from the processor count
    };
    static constexpr int audioSampleRate = 48000;
    static constexpr int audioFrameSize = 1024;

    // Creates the file and writes its header.
    explicit Mp4Writer(const Settings &settings);
    ~Mp4Writer(); // closes the file as it is when finish() was not called
    Mp4Writer(const Mp4Writer &) = delete;
    Mp4Writer &operator=(const Mp4Writer &) = delete;

    // Encodes one frame shown at `frameIndex` / frameRate seconds (indices only increase).
    void addVideo(const uint8_t *bgrx, int stride, int64_t frameIndex);
    // Encodes audioFrameSize interleaved stereo frames at sample position `position`.
    void addAudio(const float *interleaved, int64_t position);
    // Drains the encoders, writes the trailer and closes the file.
    void finish();
    // Closes the file without draining (what was written so far stays playable).
    void close();

    int64_t videoPacketsWritten() const { return videoPackets_; }
    double writtenSeconds() const { return writtenSeconds_; }
    int64_t bytesWritten() const;

private:
    void openVideo();
    void openAudio();
    void send(AVCodecContext *codec, AVStream *stream, const AVFrame *frame);
    void write(AVPacket *packet);
    void writeHeaderWithoutSound();
    void release();

    Settings settings_;
    AVFormatContext *format_ = nullptr;
    AVCodecContext *video_ = nullptr;
    AVCodecContext *audio_ = nullptr;
    AVStream *videoStream_ = nullptr;
    AVStream *audioStream_ = nullptr;
    SwsContext *scaler_ = nullptr;
    AVFrame *source_ = nullptr;
    AVFrame *picture_ = nullptr;
    AVFrame *sound_ = nullptr;
    AVPacket *packet_ = nullptr;
    AVPacket *heldVideo_ = nullptr; // written once the next video packet is out
    int64_t videoPackets_ = 0;
    int64_t audioPackets_ = 0;
    bool headerForced_ = false;
    double writtenSeconds_ = 0;
    bool headerWritten_ = false;
};

} // namespace tarn
