// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

#include <QObject>
#include <QPointer>
#include <QRectF>
#include <QString>
#include <QTimer>

#include <qcoro/qcorotask.h>

#include "core/base/Failure.h"
#include "platform/ContentFilter.h"
#include "platform/RecorderBackend.h"

namespace tarn {

// The recording preferences as one value, read when a recording starts.
struct RecordingSettings {
    int frameRate = 60;           // 30 or 60
    int recordingLongEdge = 3840; // 1920 or 3840
    bool systemAudio = false;
    bool microphone = false;
};

// Records a display, or a rectangle of it, to an H.264 MP4 file. Lives on the GUI thread;
// the backend's threads only post events to it. Publishes its state and progress for the HUD,
// the status item and the quit check, and reports the finished file or a failure through
// `finished` / `failed`.
class RecordingService : public QObject {
    Q_OBJECT
    Q_PROPERTY(State state READ state NOTIFY stateChanged)
    Q_PROPERTY(double seconds READ seconds NOTIFY secondsChanged)
    Q_PROPERTY(qint64 byteCount READ byteCount NOTIFY byteCountChanged)
public:
    enum class State { idle, starting, recording, stopping };
    Q_ENUM(State)

    // The waits of the service; tests shorten them.
    struct Timings {
        std::chrono::milliseconds progressInterval{500};
        std::chrono::milliseconds finalizationTimeout{20'000};
        std::chrono::milliseconds watchdog{10'000};
        // How long a given-up session may take to close before the failure is reported anyway.
        std::chrono::milliseconds closeWait{5'000};
    };

    // Without a backend the FFmpeg/X11/PulseAudio recorder is used.
    explicit RecordingService(std::shared_ptr<RecorderBackend> backend = nullptr, QObject *parent = nullptr);
    ~RecordingService() override;

    // Starts recording `filter`'s content, or the part of `region` (points, origin at the
    // content's top-left) that lies on it, into `destination`. Returns once capture runs, with
    // the state still `starting`. Throws CaptureFailure::microphonePermission, the image-size
    // errors, a RecorderFailure from the backend, or AppError code 1 when a recording is
    // already under way. A stop() that arrives before capture runs is honoured: start then
    // returns with the state back at `idle`, nothing recorded and nothing reported.
    QCoro::Task<void> start(ContentFilter filter, std::optional<QRectF> region, RecordingSettings settings,
                            QString destination);
    // Stops the recording; never throws, failures go to `failed`. After a failed stop or a
    // time-out the capture is shut down and the file closed before `failed` is emitted and
    // before the state returns to `idle`. A session that does not close within
    // Timings::closeWait (a writer stuck on a hung disk) is reported anyway; start then keeps
    // refusing with code 1 until that session has really closed.
    QCoro::Task<void> stop();

    State state() const { return state_; }
    double seconds() const { return seconds_; }
    qint64 byteCount() const { return byteCount_; }

    void setTimings(Timings timings) { timings_ = timings; }

Q_SIGNALS:
    // The recording is complete in `file`; the state is back at `idle`, and `stateChanged` says so
    // right after this signal.
    void finished(const QString &file);
    // A start, stop or running recording failed (an AppError or a RecorderFailure).
    void failed(const tarn::Failure &error);
    void stateChanged(tarn::RecordingService::State state);
    void secondsChanged(double seconds);
    void byteCountChanged(qint64 byteCount);
    // A start is about to ask for the microphone (the preference is on).
    void microphoneAccessRequested();

private:
    void setState(State state);
    void setProgress(double seconds, qint64 bytes);
    void attach(RecorderSession *session);
    void onStarted(RecorderSession *session);
    void scheduleProgress();
    void onFinished(RecorderSession *session);
    void onDiscarded(RecorderSession *session, const QString &message);
    QCoro::Task<void> onFailed(RecorderSession *session, QString message);
    void onStreamStopped(RecorderSession *session, QString message);
    void armTimeout(std::chrono::milliseconds delay, std::function<void()> fire);
    void shutDownThenReport(int code, QString message);
    void dispose(std::unique_ptr<RecorderSession> session);
    // Ends the session and returns to idle; without `announce` the change is left to the caller.
    void clear(bool announce = true);
    QString path() const { return destination_; }

    std::shared_ptr<RecorderBackend> backend_;
    Timings timings_;
    State state_ = State::idle;
    double seconds_ = 0;
    qint64 byteCount_ = 0;
    std::unique_ptr<RecorderSession> session_; // the stream and its recording output in one
    QPointer<RecorderSession> closing_;        // given up but not yet closed
    QString destination_;
    QTimer *timer_ = nullptr;   // the progress timer while recording
    QTimer *timeout_ = nullptr; // the finalization time-out or the watchdog
    bool stopRequested_ = false;
};

} // namespace tarn
