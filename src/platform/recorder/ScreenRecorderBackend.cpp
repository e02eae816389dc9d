// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/recorder/ScreenRecorderBackend.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include <QPromise>

#include "platform/recorder/AudioCapture.h"
#include "platform/recorder/AudioMixer.h"
#include "platform/recorder/Mp4Writer.h"
#include "platform/x11/ShmScreenGrabber.h"

namespace tarn {

namespace {

using Clock = std::chrono::steady_clock;

// Frames that may wait for the encoder: enough to ride out a busy moment of the machine,
// within about 128 MiB of shared memory (three at least). One more buffer is being grabbed
// and one being converted.
int queueDepthFor(QSize size)
{
    const int64_t bytes = int64_t(size.width()) * size.height() * 4;
    return int(std::clamp<int64_t>((int64_t(128) << 20) / std::max<int64_t>(bytes, 1), 3, 8));
}

// A promise that resolves once with a message (empty for success).
class Outcome {
public:
    Outcome() { promise_.start(); }
    QFuture<QString> future() { return promise_.future(); }
    void resolve(const QString &message)
    {
        std::lock_guard lock(mutex_);
        if (done_)
            return;
        done_ = true;
        promise_.addResult(message);
        promise_.finish();
    }

private:
    std::mutex mutex_;
    QPromise<QString> promise_;
    bool done_ = false;
};

// One recording. Threads: the writer thread (opens everything, encodes, writes, owns the
// capture thread), the capture thread (grabs on schedule) and the sound server's thread
// (hands samples to the mixer). They share the queues below under one mutex and only post
// events to the GUI thread.
class ScreenRecorderSession final : public RecorderSession {
public:
    explicit ScreenRecorderSession(const RecorderRequest &request)
        : request_(request),
          queueDepth_(queueDepthFor(request.sourceRect.size()))
    { }

    ~ScreenRecorderSession() override
    {
        abort();
        if (writerThread_.joinable())
            writerThread_.join();
    }

    QFuture<QString> startCapture() override
    {
        if (!writerThread_.joinable())
            writerThread_ = std::thread([this] { runWriter(); });
        return started_.future();
    }

    QFuture<QString> stopCapture() override
    {
        {
            std::lock_guard lock(mutex_);
            stopRequested_ = true;
        }
        wake_.notify_all();
        if (!writerThread_.joinable())
            captureEnded_.resolve(QString());
        return captureEnded_.future();
    }

    void abort() override
    {
        {
            std::lock_guard lock(mutex_);
            aborted_ = true;
            stopRequested_ = true;
        }
        wake_.notify_all();
        if (!writerThread_.joinable() && !closed_.exchange(true))
            post([this] { Q_EMIT closed(); });
    }

    bool isClosed() const override { return closed_; }
    double recordedSeconds() const override { return seconds_; }
    int64_t recordedBytes() const override { return bytes_; }

private:
    struct Frame {
        int buffer;
        int64_t index;
    };

    template <typename F> void post(F &&f)
    {
        QMetaObject::invokeMethod(this, std::forward<F>(f), Qt::QueuedConnection);
    }

    // The capture ended by itself (screen or sound lost): report once, then finish the file
    // as a stop would.
    void streamLost(const QString &message)
    {
        {
            std::lock_guard lock(mutex_);
            if (stopRequested_ || streamLost_)
                return;
            streamLost_ = true;
            stopRequested_ = true;
        }
        wake_.notify_all();
        post([this, message] { Q_EMIT streamStopped(message); });
    }

    bool open()
    {
        try {
            grabber_ = std::make_unique<ShmScreenGrabber>(request_.sourceRect.size(), queueDepth_ + 2);
            Mp4Writer::Settings settings;
            settings.path = request_.path;
            settings.sourceSize = request_.sourceRect.size();
            settings.outputSize = request_.outputSize;
            settings.frameRate = request_.frameRate;
            settings.audio = request_.systemAudio || request_.microphone;
            writer_ = std::make_unique<Mp4Writer>(settings);
            createdFile_ = true;
            start_ = Clock::now();
            if (settings.audio) {
                // A source may lag half a second behind before it counts as silent; a piece
                // 100 ms later than expected marks a pause in that source.
                mixer_.emplace(2, Mp4Writer::audioSampleRate / 2, Mp4Writer::audioSampleRate / 10);
                audio_ = std::make_unique<AudioCapture>(
                    request_.systemAudio, request_.microphone,
                    [this](AudioCapture::Source source, const float *samples, size_t frames,
                           Clock::time_point arrival) { addSound(source, samples, frames, arrival); },
                    [this](const QString &message) { streamLost(message); });
            }
            return true;
        } catch (const RecorderFailure &failure) {
            audio_.reset();
            if (writer_)
                writer_->close();
            writer_.reset();
            grabber_.reset();
            // Nothing was recorded yet: the empty file goes.
            if (createdFile_)
                std::remove(request_.path.toLocal8Bit().constData());
            started_.resolve(failure.description());
            return false;
        }
    }

    void addSound(AudioCapture::Source source, const float *samples, size_t frames, Clock::time_point arrival)
    {
        const auto since = std::chrono::duration<double>(arrival - start_).count();
        const int64_t start = int64_t(since * Mp4Writer::audioSampleRate) - int64_t(frames);
        {
            std::lock_guard lock(mutex_);
            mixer_->push(source, start, samples, frames);
        }
        wake_.notify_all();
    }

    void runWriter()
    {
        if (!open()) {
            captureEnded_.resolve(QString());
            finishThread();
            return;
        }
        for (int i = 0; i < queueDepth_ + 2; ++i)
            free_.push_back(i);
        captureThread_ = std::thread([this] { runCapture(); });
        started_.resolve(QString());

        std::optional<QString> failure;
        try {
            encodeUntilStopped();
        } catch (const RecorderFailure &error) {
            failure = error.description();
        }
        {
            std::lock_guard lock(mutex_);
            stopRequested_ = true;
        }
        wake_.notify_all();
        captureThread_.join();
        finishFile(failure);
        finishThread();
    }

    void encodeUntilStopped()
    {
        std::vector<float> piece(size_t(Mp4Writer::audioFrameSize) * AudioMixer::channels);
        std::unique_lock lock(mutex_);
        for (;;) {
            if (aborted_)
                return;
            if (!ready_.empty()) {
                const Frame frame = ready_.front();
                ready_.pop_front();
                lock.unlock();
                writer_->addVideo(grabber_->buffer(frame.buffer), grabber_->stride(), frame.index);
                ++framesAdded_;
                publishProgress();
                lock.lock();
                free_.push_back(frame.buffer);
                wake_.notify_all();
                continue;
            }
            const bool ended = captureDone_;
            if (mixer_) {
                if (const auto at = mixer_->pull(piece.size() / 2, piece.data(), ended)) {
                    lock.unlock();
                    writer_->addAudio(piece.data(), *at);
                    lock.lock();
                    continue;
                }
            }
            if (ended)
                return;
            wake_.wait(lock);
        }
    }

    void publishProgress()
    {
        seconds_ = writer_->writtenSeconds();
        bytes_ = writer_->bytesWritten();
        if (!reportedStart_ && writer_->videoPacketsWritten() > 0) {
            reportedStart_ = true;
            post([this] { Q_EMIT recordingStarted(); });
        }
    }

    void finishFile(const std::optional<QString> &failure)
    {
        bool aborted;
        {
            std::lock_guard lock(mutex_);
            aborted = aborted_;
        }
        if (aborted || failure) {
            writer_->close();
            if (failure && !aborted)
                post([this, message = *failure] { Q_EMIT recordingFailed(message); });
            return;
        }
        if (framesAdded_ == 0) {
            // Stopped before the first frame: a file without video is of no use to anyone.
            writer_->close();
            std::remove(request_.path.toLocal8Bit().constData());
            bytes_ = 0;
            post([this] {
                Q_EMIT recordingDiscarded(QStringLiteral("녹화가 시작되기 전에 중지되어 저장할 화면이 없습니다."));
            });
            return;
        }
        try {
            writer_->finish();
            std::error_code error;
            const auto size = std::filesystem::file_size(request_.path.toStdString(), error);
            if (!error)
                bytes_ = int64_t(size);
            post([this] { Q_EMIT recordingFinished(); });
        } catch (const RecorderFailure &error) {
            writer_->close();
            post([this, message = error.description()] { Q_EMIT recordingFailed(message); });
        }
    }

    void finishThread()
    {
        closed_ = true;
        post([this] { Q_EMIT closed(); });
    }

    // Grabs one frame per period of the frame rate, stamped with its slot on the clock. A late
    // grab is followed at once by the next one until the schedule is met again; frames are
    // dropped only when the encoder stays behind for half a second.
    void runCapture()
    {
        const auto period =
            std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / request_.frameRate));
        const auto patience = std::chrono::milliseconds(500);
        int64_t index = 0;
        QString lost;
        for (;;) {
            std::this_thread::sleep_until(start_ + index * period);
            int buffer = -1;
            {
                // A full queue holds the grab back (the missed slots are caught up later) for
                // at most half a second; then this slot's frame is dropped.
                std::unique_lock lock(mutex_);
                const auto available = [this] {
                    return stopRequested_ || (!free_.empty() && int(ready_.size()) < queueDepth_);
                };
                wake_.wait_until(lock, start_ + index * period + patience, available);
                if (stopRequested_)
                    break;
                if (available()) {
                    buffer = free_.back();
                    free_.pop_back();
                }
            }
            if (buffer >= 0) {
                lost = grabber_->grab(buffer, request_.sourceRect.topLeft(), true);
                {
                    std::lock_guard lock(mutex_);
                    if (lost.isEmpty())
                        ready_.push_back({buffer, index});
                    else
                        free_.push_back(buffer);
                }
                wake_.notify_all();
                if (!lost.isEmpty())
                    break;
            }
            // A late wake-up is made good by grabbing the missed slots at once; only after a
            // stall of more than half a second are slots given up.
            const int64_t due = int64_t((Clock::now() - start_) / period);
            index = due - index > request_.frameRate / 2 ? due : index + 1;
        }
        if (audio_)
            audio_->stop();
        if (!lost.isEmpty())
            streamLost(lost);
        {
            std::lock_guard lock(mutex_);
            captureDone_ = true;
        }
        wake_.notify_all();
        captureEnded_.resolve(QString());
    }

    const RecorderRequest request_;
    const int queueDepth_;
    std::thread writerThread_;
    std::thread captureThread_;
    std::unique_ptr<ShmScreenGrabber> grabber_;
    std::unique_ptr<Mp4Writer> writer_;
    std::unique_ptr<AudioCapture> audio_;
    Clock::time_point start_;
    bool createdFile_ = false;

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Frame> ready_;
    std::vector<int> free_;
    std::optional<AudioMixer> mixer_;
    bool stopRequested_ = false;
    bool aborted_ = false;
    bool captureDone_ = false;
    bool streamLost_ = false;

    Outcome started_;
    Outcome captureEnded_;
    bool reportedStart_ = false;
    int64_t framesAdded_ = 0; // writer thread only
    std::atomic<bool> closed_{false};
    std::atomic<double> seconds_{0};
    std::atomic<int64_t> bytes_{0};
};

} // namespace

QFuture<bool> ScreenRecorderBackend::checkMicrophone()
{
    auto promise = std::make_shared<QPromise<bool>>();
    promise->start();
    QFuture<bool> future = promise->future();
    std::thread([promise] {
        promise->addResult(AudioCapture::canOpenMicrophone());
        promise->finish();
    }).detach();
    return future;
}

std::unique_ptr<RecorderSession> ScreenRecorderBackend::createSession(const RecorderRequest &request)
{
    return std::make_unique<ScreenRecorderSession>(request);
}

} // namespace tarn
