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

#include <pthread.h>

#include <QPromise>

#include "platform/recorder/AudioCapture.h"
#include "platform/recorder/AudioMixer.h"
#include "platform/recorder/Mp4Writer.h"
#include "platform/recorder/RecorderMemory.h"
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

// What a thread of the recorder says when something other than its own errors ends it: an
// allocation that failed, a thread that could not be started. The exception is caught at the
// thread's top, where nothing may escape (it would end the process).
QString unexpectedFailure(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const RecorderFailure &failure) {
        return failure.description();
    } catch (const std::bad_alloc &) {
        return QStringLiteral("메모리가 부족해 녹화를 계속할 수 없습니다.");
    } catch (const std::exception &other) {
        return QStringLiteral("녹화 중 예기치 않은 오류가 발생했습니다 (%1).")
            .arg(QString::fromLocal8Bit(other.what()));
    } catch (...) {
        return QStringLiteral("녹화 중 예기치 않은 오류가 발생했습니다.");
    }
}

// Names the calling thread, as tools (top, gdb) show it.
void nameThread(const char *name) { pthread_setname_np(pthread_self(), name); }

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
        if (!writerThread_.joinable()) {
            try {
                writerThread_ = std::thread([this] { runWriter(); });
            } catch (...) {
                started_.resolve(unexpectedFailure(std::current_exception()));
                captureEnded_.resolve(QString());
                finishThread();
            }
        }
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
    // While the screen is grabbed the film is as long as the time since its first slot; what the
    // encoder has written lags that by its look-ahead (about a second), and a display of it would too.
    double recordedSeconds() const override
    {
        const Clock::rep start = filmStart_;
        return start != 0
            ? std::chrono::duration<double>(Clock::now() - Clock::time_point(Clock::duration(start))).count()
            : seconds_.load();
    }
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
        // Whatever this start creates goes again if the start fails, a file the writer made
        // before failing included: an empty file would be offered for recovery later. A file
        // that cannot even be looked at is left alone.
        bool existed = true;
        try {
            existed = std::filesystem::exists(std::filesystem::path(request_.path.toStdString()));
            grabber_ = std::make_unique<ShmScreenGrabber>(request_.sourceRect.size(), queueDepth_ + 2);
            Mp4Writer::Settings settings;
            settings.path = request_.path;
            settings.sourceSize = request_.sourceRect.size();
            settings.outputSize = request_.outputSize;
            settings.frameRate = request_.frameRate;
            settings.audio = request_.systemAudio || request_.microphone;
            writer_ = std::make_unique<Mp4Writer>(settings);
            start_ = Clock::now();
            if (settings.audio) {
                // A source may lag half a second behind before it counts as silent; a piece
                // 100 ms later than expected marks a pause in that source. Each stream of the
                // sound server is one source of the mix.
                mixer_.emplace(1, Mp4Writer::audioSampleRate / 2, Mp4Writer::audioSampleRate / 10);
                // The sound track starts with the picture, silent until the first sound (the
                // sound server hands out nothing while no application plays): a track that
                // begins seconds late stops the player of the video window part-way.
                mixer_->beginAt(0);
                audio_ = std::make_unique<AudioCapture>(
                    request_.systemAudio, request_.microphone,
                    [this](int stream, const float *samples, size_t frames, Clock::time_point arrival) {
                        addSound(stream, samples, frames, arrival);
                    },
                    [this](const QString &message) { streamLost(message); });
            }
            return true;
        } catch (...) {
            failStart(unexpectedFailure(std::current_exception()), existed);
            return false;
        }
    }

    // Closes whatever the start had opened, removes the file it created, and reports.
    void failStart(const QString &message, bool fileExisted)
    {
        audio_.reset();
        if (writer_)
            writer_->close();
        writer_.reset();
        grabber_.reset();
        if (!fileExisted)
            std::remove(request_.path.toLocal8Bit().constData());
        started_.resolve(message);
    }

    void addSound(int source, const float *samples, size_t frames, Clock::time_point arrival)
    {
        const auto since = std::chrono::duration<double>(arrival - start_).count();
        const int64_t start = int64_t(since * Mp4Writer::audioSampleRate) - int64_t(frames);
        try {
            std::lock_guard lock(mutex_);
            mixer_->push(source, start, samples, frames);
        } catch (...) {
            // On the sound server's thread: nothing may escape.
            streamLost(unexpectedFailure(std::current_exception()));
        }
        wake_.notify_all();
    }

    void runWriter()
    {
        nameThread("tarn-recorder");
        RecorderMemory::beforeRecording();
        record();
        giveBackMemory();
        finishThread();
    }

    void record()
    {
        if (!open()) {
            captureEnded_.resolve(QString());
            return;
        }
        for (int i = 0; i < queueDepth_ + 2; ++i)
            free_.push_back(i);
        try {
            captureThread_ = std::thread([this] { runCapture(); });
        } catch (...) {
            failStart(unexpectedFailure(std::current_exception()), false);
            captureEnded_.resolve(QString());
            return;
        }
        started_.resolve(QString());

        std::optional<QString> failure;
        try {
            encodeUntilStopped();
        } catch (...) {
            failure = unexpectedFailure(std::current_exception());
        }
        {
            std::lock_guard lock(mutex_);
            stopRequested_ = true;
        }
        wake_.notify_all();
        captureThread_.join();
        try {
            finishFile(failure);
        } catch (...) {
            writer_->close();
            post([this, message = unexpectedFailure(std::current_exception())] { Q_EMIT recordingFailed(message); });
        }
    }

    // Once every other thread of the recording has ended, what it used goes back to the system.
    void giveBackMemory()
    {
        audio_.reset(); // no sound arrives for the mixer from here on
        mixer_.reset();
        writer_.reset();
        grabber_.reset();
        RecorderMemory::afterRecording();
    }

    // Sound first: a piece takes a fraction of a millisecond to encode, and sound held back
    // behind a backlog of frames would pile up in the mixer and keep the file's header (which
    // waits for both tracks) from being written.
    void encodeUntilStopped()
    {
        std::vector<float> piece(size_t(Mp4Writer::audioFrameSize) * AudioMixer::channels);
        std::unique_lock lock(mutex_);
        for (;;) {
            if (aborted_)
                return;
            const bool ended = captureDone_;
            if (mixer_) {
                if (const auto at = mixer_->pull(piece.size() / 2, piece.data(), ended)) {
                    lock.unlock();
                    writer_->addAudio(piece.data(), *at);
                    lock.lock();
                    continue;
                }
            }
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

    // The capture thread: whatever ends the grabbing, the sound stops, a loss is reported and
    // the writer is told that no frame follows.
    void runCapture()
    {
        nameThread("tarn-capture");
        filmStart_ = start_.time_since_epoch().count();
        QString lost;
        try {
            lost = grabOnSchedule();
        } catch (...) {
            lost = unexpectedFailure(std::current_exception());
        }
        filmStart_ = 0; // from here on the film is what was written
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

    // Grabs one frame per period of the frame rate until a stop; returns why the screen could
    // no longer be read, or nothing. Each frame is stamped with the slot of the moment it was
    // grabbed, as the sound is stamped with the moment it arrived: a grab that comes late (a
    // busy machine, or the encoder still holding every buffer) takes its own slot and the
    // slots it missed stay empty, so the picture never runs ahead of the sound.
    QString grabOnSchedule()
    {
        const std::chrono::duration<double> period(1.0 / request_.frameRate);
        const auto slotTime = [&](int64_t slot) {
            return start_ + std::chrono::duration_cast<Clock::duration>(period * double(slot));
        };
        int64_t next = 0;
        for (;;) {
            std::this_thread::sleep_until(slotTime(next));
            int buffer = -1;
            {
                std::unique_lock lock(mutex_);
                wake_.wait(lock,
                           [this] { return stopRequested_ || (!free_.empty() && int(ready_.size()) < queueDepth_); });
                if (stopRequested_)
                    return {};
                buffer = free_.back();
                free_.pop_back();
            }
            const int64_t slot = std::max(next, int64_t(std::llround((Clock::now() - start_) / period)));
            QString lost;
            try {
                lost = grabber_->grab(buffer, request_.sourceRect.topLeft(), true);
            } catch (...) {
                returnBuffer(buffer);
                throw;
            }
            {
                std::lock_guard lock(mutex_);
                if (lost.isEmpty())
                    ready_.push_back({buffer, slot});
                else
                    free_.push_back(buffer);
            }
            wake_.notify_all();
            if (!lost.isEmpty())
                return lost;
            next = slot + 1;
        }
    }

    void returnBuffer(int buffer)
    {
        std::lock_guard lock(mutex_);
        free_.push_back(buffer);
    }

    const RecorderRequest request_;
    const int queueDepth_;
    std::thread writerThread_;
    std::thread captureThread_;
    std::unique_ptr<ShmScreenGrabber> grabber_;
    std::unique_ptr<Mp4Writer> writer_;
    std::unique_ptr<AudioCapture> audio_;
    Clock::time_point start_;

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
    std::atomic<Clock::rep> filmStart_{0}; // start_ while the capture thread grabs, else 0
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
