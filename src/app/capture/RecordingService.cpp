// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/capture/RecordingService.h"

#include <cmath>
#include <utility>

#include <qcoro/qcorofuture.h>

#include "app/capture/CaptureFailure.h"
#include "app/capture/ScreenCaptureService.h"
#include "core/base/AppError.h"
#include "core/image/ImageCodec.h"
#include "core/model/CaptureGeometry.h"
#include "platform/recorder/ScreenRecorderBackend.h"

namespace tarn {

namespace {

QString recoveryMessage(const QString &reason, const QString &path)
{
    return reason + QStringLiteral("\n복구 파일: ") + path;
}

// Timers are stopped at once but deleted later: one may be the sender of the running slot.
void dropTimer(QTimer *&timer)
{
    if (!timer)
        return;
    timer->stop();
    timer->disconnect();
    timer->deleteLater();
    timer = nullptr;
}

} // namespace

RecordingService::RecordingService(std::shared_ptr<RecorderBackend> backend, QObject *parent)
    : QObject(parent),
      backend_(std::move(backend))
{
    if (!backend_)
        backend_ = std::make_shared<ScreenRecorderBackend>();
}

RecordingService::~RecordingService()
{
    if (session_)
        session_->abort();
}

void RecordingService::setState(State state)
{
    if (state_ == state)
        return;
    state_ = state;
    Q_EMIT stateChanged(state);
}

void RecordingService::setProgress(double seconds, qint64 bytes)
{
    if (std::isfinite(seconds) && seconds != seconds_) {
        seconds_ = seconds;
        Q_EMIT secondsChanged(seconds);
    }
    if (bytes != byteCount_) {
        byteCount_ = bytes;
        Q_EMIT byteCountChanged(bytes);
    }
}

QCoro::Task<void> RecordingService::start(ContentFilter filter, std::optional<QRectF> region,
                                          RecordingSettings settings, QString destination)
{
    // Two recordings at once would fight over the encoder and the file: refuse, visibly.
    if (state_ != State::idle)
        throw AppError(1, QStringLiteral("이미 녹화가 진행 중입니다. 현재 녹화를 마친 후 다시 시도하세요."));
    // A given-up session still holds its file and threads (say a writer stuck on a hung disk).
    if (closing_)
        throw AppError(1, QStringLiteral("이전 녹화 파일을 아직 닫는 중입니다. 잠시 후 다시 시도하세요."));

    setState(State::starting);
    stopRequested_ = false;
    seconds_ = 0;
    byteCount_ = 0;
    Q_EMIT secondsChanged(0);
    Q_EMIT byteCountChanged(0);

    QPointer<RecordingService> self(this);
    if (settings.microphone) {
        Q_EMIT microphoneAccessRequested();
        const bool allowed = co_await backend_->checkMicrophone();
        if (!self)
            co_return;
        if (stopRequested_) {
            clear();
            co_return;
        }
        if (!allowed) {
            clear();
            throw CaptureFailure::microphonePermission();
        }
    }

    const QRectF content = filter.contentRect();
    const QRectF area = region ? region->intersected(content) : content;
    const QSizeF pixels = CaptureGeometry::pixelSize(area.size(), filter.scale, settings.recordingLongEdge, true);
    const auto width = static_cast<int64_t>(pixels.width());
    const auto height = static_cast<int64_t>(pixels.height());
    try {
        ImageCodec::validate(width, height);
    } catch (...) {
        clear();
        throw;
    }

    RecorderRequest request;
    // The area is read at the display's full resolution and scaled down by the encoder.
    const QSizeF native = CaptureGeometry::pixelSize(area.size(), filter.scale, std::nullopt, false);
    request.sourceRect = region ? nativeCaptureRect(filter, area, native.toSize()) : filter.nativeRect;
    request.outputSize = QSize(int(width), int(height));
    request.frameRate = settings.frameRate;
    request.systemAudio = settings.systemAudio;
    request.microphone = settings.microphone;
    request.path = destination;

    destination_ = destination;
    session_ = backend_->createSession(request);
    RecorderSession *session = session_.get();
    attach(session);

    const QString error = co_await session->startCapture();
    if (!self)
        co_return;
    if (!error.isEmpty() && session_.get() == session) {
        clear();
        throw RecorderFailure(error);
    }
}

void RecordingService::attach(RecorderSession *session)
{
    connect(session, &RecorderSession::recordingStarted, this, [this, session] { onStarted(session); });
    connect(session, &RecorderSession::recordingFinished, this, [this, session] { onFinished(session); });
    connect(session, &RecorderSession::recordingDiscarded, this,
            [this, session](const QString &message) { onDiscarded(session, message); });
    connect(session, &RecorderSession::recordingFailed, this,
            [this, session](const QString &message) { onFailed(session, message); });
    connect(session, &RecorderSession::streamStopped, this,
            [this, session](const QString &message) { onStreamStopped(session, message); });
}

QCoro::Task<void> RecordingService::stop()
{
    if (!session_) {
        // Still waiting for the microphone check: the start gives up when it returns.
        if (state_ == State::starting)
            stopRequested_ = true;
        co_return;
    }
    if (state_ != State::recording && state_ != State::starting)
        co_return;
    setState(State::stopping);

    QPointer<RecordingService> self(this);
    RecorderSession *session = session_.get();
    const QString error = co_await session->stopCapture();
    if (!self || session_.get() != session)
        co_return; // finished, failed or timed out meanwhile
    if (!error.isEmpty()) {
        shutDownThenReport(3, recoveryMessage(error, path()));
        co_return;
    }
    if (state_ == State::stopping) {
        armTimeout(timings_.finalizationTimeout, [this, session] {
            if (session_.get() != session || state_ != State::stopping)
                return;
            shutDownThenReport(2,
                               QStringLiteral("녹화 파일 마무리에 시간이 너무 오래 걸렸습니다. "
                                              "복구 파일을 보존했습니다: ") +
                                   path());
        });
    }
}

void RecordingService::onStarted(RecorderSession *session)
{
    if (session_.get() != session || state_ != State::starting)
        return;
    setState(State::recording);
    timer_ = new QTimer(this);
    timer_->setSingleShot(true);
    timer_->setTimerType(Qt::PreciseTimer);
    connect(timer_, &QTimer::timeout, this, [this] {
        if (!session_)
            return;
        setProgress(session_->recordedSeconds(), session_->recordedBytes());
        scheduleProgress();
    });
    scheduleProgress();
}

// The next tick comes just after the film's next whole interval, counted from the recorder's own
// start, so the seconds shown turn with the film's rather than up to an interval later.
void RecordingService::scheduleProgress()
{
    const double interval = std::chrono::duration<double>(timings_.progressInterval).count();
    const double seconds = session_->recordedSeconds();
    // No interval, or no time known yet: the next tick a whole interval on.
    const double left = interval > 0 && std::isfinite(seconds) ? interval - std::fmod(seconds, interval) : interval;
    timer_->start(std::chrono::milliseconds(int64_t(std::ceil(left * 1000)) + 1));
}

void RecordingService::onFinished(RecorderSession *session)
{
    if (session_.get() != session || destination_.isEmpty())
        return;
    const QString file = destination_;
    // The state is idle when the file is reported, but its change is announced only after the
    // report: whoever reacts to the return to idle (the quit decision) already sees the import
    // that the report has started, and never a moment with neither.
    clear(false);
    Q_EMIT finished(file);
    if (state_ == State::idle)
        Q_EMIT stateChanged(State::idle);
}

// A stop that came before the first frame: there is no file to import or recover, so the
// outcome is reported like a failed start.
void RecordingService::onDiscarded(RecorderSession *session, const QString &message)
{
    if (session_.get() != session)
        return;
    clear();
    Q_EMIT failed(RecorderFailure(message));
}

QCoro::Task<void> RecordingService::onFailed(RecorderSession *session, QString message)
{
    if (session_.get() != session)
        co_return;
    QPointer<RecordingService> self(this);
    co_await session->stopCapture(); // its error does not matter any more
    if (!self || session_.get() != session)
        co_return;
    const QString file = path();
    clear();
    Q_EMIT failed(AppError(4, recoveryMessage(message, file)));
}

void RecordingService::onStreamStopped(RecorderSession *session, QString message)
{
    if (session_.get() != session || state_ == State::idle)
        return;
    setState(State::stopping);
    QPointer<RecordingService> self(this);
    Q_EMIT failed(RecorderFailure(message));
    if (!self || session_.get() != session)
        return;
    armTimeout(timings_.watchdog, [this, session] {
        if (session_.get() != session)
            return;
        shutDownThenReport(5, QStringLiteral("녹화가 중단되었습니다. 복구 파일을 확인하세요: ") + path());
    });
}

void RecordingService::armTimeout(std::chrono::milliseconds delay, std::function<void()> fire)
{
    dropTimer(timeout_);
    timeout_ = new QTimer(this);
    timeout_->setSingleShot(true);
    connect(timeout_, &QTimer::timeout, this, std::move(fire));
    timeout_->start(delay);
}

// The session is given up: its threads are told to end and the file is closed as it is.
// The state stays where it is (so no new recording can start) until every thread has ended;
// only then does the service return to idle and report. A session that cannot end (a writer
// blocked in the file system) is reported after a bounded wait all the same, and start keeps
// refusing until it has closed.
void RecordingService::shutDownThenReport(int code, QString message)
{
    std::unique_ptr<RecorderSession> session = std::move(session_);
    session->disconnect(this);
    dropTimer(timeout_);
    dropTimer(timer_);

    RecorderSession *raw = session.release(); // deleted once closed
    raw->abort();
    auto reported = std::make_shared<bool>(false);
    auto report = [this, code, message, reported] {
        if (std::exchange(*reported, true))
            return;
        clear();
        Q_EMIT failed(AppError(code, message));
    };
    if (raw->isClosed()) {
        raw->deleteLater();
        report();
        return;
    }
    closing_ = raw;
    connect(raw, &RecorderSession::closed, raw, &QObject::deleteLater);
    connect(raw, &RecorderSession::closed, this, report);
    armTimeout(timings_.closeWait, report);
}

// A session that still runs is aborted and deleted once its threads have ended; the GUI
// thread never waits for them.
void RecordingService::dispose(std::unique_ptr<RecorderSession> session)
{
    if (!session)
        return;
    session->disconnect(this);
    RecorderSession *raw = session.release();
    if (raw->isClosed()) {
        raw->deleteLater();
        return;
    }
    connect(raw, &RecorderSession::closed, raw, &QObject::deleteLater);
    raw->abort();
}

void RecordingService::clear(bool announce)
{
    dropTimer(timer_);
    dropTimer(timeout_);
    dispose(std::move(session_));
    destination_.clear();
    if (announce)
        setState(State::idle);
    else
        state_ = State::idle;
}

} // namespace tarn
