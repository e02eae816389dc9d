// SPDX-License-Identifier: GPL-3.0-or-later
// The recording service's states, timers and errors, over a scripted backend.
#include <QPointer>
#include <QPromise>
#include <QTest>
#include <gtest/gtest.h>

#include <qcoro/qcorotask.h>

#include "app/capture/RecordingService.h"
#include "core/base/AppError.h"
#include "core/base/ImageFailure.h"
#include "support/Await.h"

using namespace tarn;
using State = RecordingService::State;
using namespace std::chrono_literals;

namespace {

using TestSupport::await;

// A future the test resolves by hand.
struct Pending {
    QPromise<QString> promise;
    Pending() { promise.start(); }
    void resolve(const QString &message = {})
    {
        promise.addResult(message);
        promise.finish();
    }
};

class FakeSession : public RecorderSession {
public:
    explicit FakeSession(RecorderRequest request) : request(std::move(request)) { }
    QFuture<QString> startCapture() override { return started.promise.future(); }
    QFuture<QString> stopCapture() override
    {
        ++stopCalls;
        return stopped.promise.future();
    }
    void abort() override { ++aborts; }
    bool isClosed() const override { return closedNow; }
    double recordedSeconds() const override { return seconds; }
    int64_t recordedBytes() const override { return bytes; }

    void close()
    {
        closedNow = true;
        Q_EMIT closed();
    }

    RecorderRequest request;
    Pending started, stopped;
    int stopCalls = 0, aborts = 0;
    bool closedNow = false;
    double seconds = 0;
    int64_t bytes = 0;
};

class FakeBackend : public RecorderBackend {
public:
    QFuture<bool> checkMicrophone() override
    {
        ++microphoneChecks;
        microphone = std::make_shared<QPromise<bool>>();
        microphone->start();
        return microphone->future();
    }
    std::unique_ptr<RecorderSession> createSession(const RecorderRequest &request) override
    {
        auto session = std::make_unique<FakeSession>(request);
        sessions.push_back(session.get());
        return session;
    }
    FakeSession *last() const { return sessions.empty() ? nullptr : sessions.back().data(); }
    // The service deletes a session once it has closed; one a test never closed goes here.
    ~FakeBackend() override
    {
        for (const QPointer<FakeSession> &session : sessions)
            delete session.data();
    }

    int microphoneChecks = 0;
    std::shared_ptr<QPromise<bool>> microphone;
    std::vector<QPointer<FakeSession>> sessions;
};

struct Report {
    State stateSeen;
    int code; // 0 for an error that is not an AppError
    QString text;

    bool operator==(const Report &) const = default;
    friend void PrintTo(const Report &r, std::ostream *out)
    {
        *out << "code " << r.code << " in state " << int(r.stateSeen) << ": " << r.text.toStdString();
    }
};

class RecordingServiceTest : public ::testing::Test {
protected:
    RecordingServiceTest() : backend(std::make_shared<FakeBackend>()), service(backend)
    {
        // Short waits where a test waits for them to pass, a long one where a test checks
        // that its report has not come yet.
        service.setTimings({20ms, 150ms, 150ms, 60s});
        QObject::connect(&service, &RecordingService::finished, &service,
                         [this](const QString &file) { finished << file; });
        QObject::connect(&service, &RecordingService::failed, &service, [this](const Failure &error) {
            const auto *app = dynamic_cast<const AppError *>(&error);
            reports.push_back({service.state(), app ? app->code() : 0, error.description()});
        });
        filter.displayID = 7;
        filter.nativeRect = QRect(1920, 0, 3840, 2160);
        filter.scale = 2;
    }

    // Starts with the backend answering at once; the state is then `starting`.
    void startRecording(RecordingSettings settings = {}, std::optional<QRectF> region = {})
    {
        QCoro::Task<void> task = service.start(filter, region, settings, path);
        ASSERT_TRUE(QTest::qWaitFor([&] { return backend->last() != nullptr; }, 5000));
        backend->last()->started.resolve();
        await(std::move(task));
    }

    void startAndRun()
    {
        startRecording();
        Q_EMIT backend->last()->recordingStarted();
        ASSERT_EQ(service.state(), State::recording);
    }

    // Calls stop() and lets the backend answer `message` (empty = success).
    void stopWith(const QString &message = {})
    {
        QCoro::Task<void> task = service.stop();
        backend->last()->stopped.resolve(message);
        await(std::move(task));
    }

    std::shared_ptr<FakeBackend> backend;
    RecordingService service;
    ContentFilter filter;
    const QString path = QStringLiteral("/library/Recordings/a.mp4");
    QStringList finished;
    std::vector<Report> reports;
};

} // namespace

TEST_F(RecordingServiceTest, RunsThroughItsStatesAndReportsTheFinishedFileOnce)
{
    std::vector<State> states;
    QObject::connect(&service, &RecordingService::stateChanged, [&](State s) { states.push_back(s); });
    startRecording();
    EXPECT_EQ(service.state(), State::starting);
    FakeSession *session = backend->last();
    EXPECT_EQ(session->request.path, path);

    Q_EMIT session->recordingStarted();
    session->seconds = std::numeric_limits<double>::quiet_NaN();
    session->bytes = 1000;
    ASSERT_TRUE(QTest::qWaitFor([&] { return service.byteCount() == 1000; }, 5000));
    EXPECT_EQ(service.seconds(), 0); // a non-finite duration is never published
    session->seconds = 2.5;
    session->bytes = 5000;
    ASSERT_TRUE(QTest::qWaitFor([&] { return service.seconds() == 2.5; }, 5000));

    stopWith();
    EXPECT_EQ(service.state(), State::stopping);
    Q_EMIT session->recordingFinished();
    EXPECT_EQ(service.state(), State::idle);
    EXPECT_EQ(finished, QStringList{path});
    QTest::qWait(250); // past the finalization time-out: nothing more comes
    EXPECT_TRUE(reports.empty());
    EXPECT_EQ(finished.size(), 1);
    // The counters keep their last values until the next start.
    EXPECT_EQ(service.seconds(), 2.5);
    EXPECT_EQ(service.byteCount(), 5000);
    EXPECT_EQ(states, (std::vector<State>{State::starting, State::recording, State::stopping, State::idle}));
}

TEST_F(RecordingServiceTest, StartIsRefusedWithAnErrorWhileARecordingIsUnderWay)
{
    auto refused = [&] {
        try {
            await(service.start(filter, {}, RecordingSettings{}, QStringLiteral("/other.mp4")));
        } catch (const AppError &error) {
            return error.code() == 1 && !error.description().isEmpty();
        }
        return false;
    };
    startRecording();
    EXPECT_TRUE(refused());
    Q_EMIT backend->last()->recordingStarted();
    EXPECT_TRUE(refused());
    QCoro::Task<void> stopping = service.stop();
    EXPECT_TRUE(refused());
    EXPECT_EQ(service.state(), State::stopping);
    EXPECT_EQ(backend->sessions.size(), 1u);
    backend->last()->stopped.resolve();
    await(std::move(stopping));
}

TEST_F(RecordingServiceTest, MicrophoneIsAskedOnlyWhenOnAndARefusalLeavesIdleWithZeroCounters)
{
    RecordingSettings settings;
    settings.systemAudio = true;
    startRecording(settings);
    EXPECT_EQ(backend->microphoneChecks, 0);
    EXPECT_TRUE(backend->last()->request.systemAudio);
    Q_EMIT backend->last()->recordingStarted();
    backend->last()->bytes = 77;
    ASSERT_TRUE(QTest::qWaitFor([&] { return service.byteCount() == 77; }, 5000));
    stopWith();
    Q_EMIT backend->last()->recordingFinished();

    settings.microphone = true;
    QCoro::Task<void> task = service.start(filter, {}, settings, path);
    EXPECT_EQ(backend->microphoneChecks, 1);
    EXPECT_EQ(service.byteCount(), 0);
    backend->microphone->addResult(false);
    backend->microphone->finish();
    try {
        await(std::move(task));
        FAIL() << "a refused microphone must fail the start";
    } catch (const Failure &error) {
        EXPECT_EQ(error.description(),
                  QStringLiteral("마이크를 사용할 수 없습니다. 입력 장치가 없거나 열 수 없습니다. 마이크를 끄거나 입력 "
                                 "장치를 연결하세요."));
    }
    EXPECT_EQ(service.state(), State::idle);
    EXPECT_EQ(service.seconds(), 0);
    EXPECT_EQ(service.byteCount(), 0);
    EXPECT_EQ(backend->sessions.size(), 1u);
}

TEST_F(RecordingServiceTest, StopDuringTheMicrophoneCheckIsHonoured)
{
    RecordingSettings settings;
    settings.microphone = true;
    QCoro::Task<void> task = service.start(filter, {}, settings, path);
    await(service.stop());
    EXPECT_EQ(service.state(), State::starting);
    backend->microphone->addResult(true);
    backend->microphone->finish();
    await(std::move(task));
    EXPECT_EQ(service.state(), State::idle);
    EXPECT_TRUE(backend->sessions.empty());
    EXPECT_TRUE(finished.isEmpty());
    EXPECT_TRUE(reports.empty());
}

TEST_F(RecordingServiceTest, RegionIsCutToTheDisplayEvenAndCappedAtTheLongEdge)
{
    // 1920 x 1080 points at scale 2; a region half off the right edge.
    startRecording({60, 1920, false, false}, QRectF(1000.25, 100, 2000, 500));
    const RecorderRequest &request = backend->last()->request;
    EXPECT_EQ(request.sourceRect, QRect(1920 + 2000, 200, 1840, 1000));
    EXPECT_EQ(request.outputSize, QSize(1838, 1000)); // 919.75 x 500 pt at 2x, even
    EXPECT_EQ(request.frameRate, 60);
    Q_EMIT backend->last()->recordingFinished();

    startRecording({30, 1920, false, false});
    EXPECT_EQ(backend->last()->request.sourceRect, filter.nativeRect);
    EXPECT_EQ(backend->last()->request.outputSize, QSize(1920, 1080));
    Q_EMIT backend->last()->recordingFinished();

    // Wholly outside: nothing to record, and no session is made.
    EXPECT_THROW(await(service.start(filter, QRectF(5000, 0, 10, 10), RecordingSettings{}, path)), ImageFailure);
    EXPECT_EQ(service.state(), State::idle);
    EXPECT_EQ(backend->sessions.size(), 2u);
}

TEST_F(RecordingServiceTest, BackendStartFailureIsThrownAndLeavesIdle)
{
    QCoro::Task<void> task = service.start(filter, {}, RecordingSettings{}, path);
    ASSERT_TRUE(QTest::qWaitFor([&] { return backend->last() != nullptr; }, 5000));
    backend->last()->started.resolve(QStringLiteral("X 디스플레이에 연결할 수 없습니다."));
    EXPECT_THROW(await(std::move(task)), RecorderFailure);
    EXPECT_EQ(service.state(), State::idle);
}

TEST_F(RecordingServiceTest, StopWhileStartingIsAllowedAndASecondStopSendsNothing)
{
    startRecording();
    QCoro::Task<void> first = service.stop();
    QCoro::Task<void> second = service.stop();
    EXPECT_EQ(service.state(), State::stopping);
    backend->last()->stopped.resolve();
    await(std::move(first));
    await(std::move(second));
    EXPECT_EQ(backend->last()->stopCalls, 1);
    await(service.stop()); // still stopping: no effect
    EXPECT_EQ(backend->last()->stopCalls, 1);
}

TEST_F(RecordingServiceTest, FailedStopShutsTheCaptureDownBeforeReportingCode3)
{
    startAndRun();
    FakeSession *session = backend->last();
    stopWith(QStringLiteral("캡처를 멈출 수 없습니다."));
    // The capture is being shut down: no report yet, and no new recording may start.
    EXPECT_EQ(session->aborts, 1);
    EXPECT_TRUE(reports.empty());
    EXPECT_NE(service.state(), State::idle);
    EXPECT_THROW(await(service.start(filter, {}, RecordingSettings{}, path)), AppError);

    session->close();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0], (Report{State::idle, 3, QStringLiteral("캡처를 멈출 수 없습니다.\n복구 파일: ") + path}));
}

TEST_F(RecordingServiceTest, FinalizationTimeOutClosesTheFileReportsCode2AndIgnoresALateFinish)
{
    startAndRun();
    FakeSession *session = backend->last();
    stopWith();
    ASSERT_TRUE(QTest::qWaitFor([&] { return session->aborts == 1; }, 5000));
    EXPECT_TRUE(reports.empty()); // not before the file is closed
    session->close();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(
        reports[0],
        (Report{State::idle, 2,
                QStringLiteral("녹화 파일 마무리에 시간이 너무 오래 걸렸습니다. 복구 파일을 보존했습니다: ") + path}));
    // The old session is no longer current (and is deleted once control returns to the event
    // loop): its finish changes nothing.
    Q_EMIT session->recordingFinished();
    EXPECT_TRUE(finished.isEmpty());
}

TEST_F(RecordingServiceTest, StreamStopReportsAtOnceThenAnOutputFailureGivesCode4AndNoCode5)
{
    startAndRun();
    FakeSession *session = backend->last();
    Q_EMIT session->streamStopped(QStringLiteral("화면을 더 이상 읽을 수 없습니다."));
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0], (Report{State::stopping, 0, QStringLiteral("화면을 더 이상 읽을 수 없습니다.")}));

    Q_EMIT session->recordingFailed(QStringLiteral("디스크 공간이 부족해 녹화 파일을 더 쓸 수 없습니다."));
    session->stopped.resolve();
    ASSERT_TRUE(QTest::qWaitFor([&] { return reports.size() == 2; }, 5000));
    EXPECT_EQ(reports[1],
              (Report{State::idle, 4,
                      QStringLiteral("디스크 공간이 부족해 녹화 파일을 더 쓸 수 없습니다.\n복구 파일: ") + path}));
    QTest::qWait(250);
    EXPECT_EQ(reports.size(), 2u);
}

TEST_F(RecordingServiceTest, StreamStopWithoutFollowUpGivesCode5AfterTheWatchdog)
{
    startAndRun();
    FakeSession *session = backend->last();
    session->closedNow = true; // its threads have ended already
    Q_EMIT session->streamStopped(QStringLiteral("소리 녹음이 중단되었습니다."));
    EXPECT_EQ(reports.size(), 1u); // the watchdog needs the event loop to run
    ASSERT_TRUE(QTest::qWaitFor([&] { return reports.size() == 2; }, 5000));
    EXPECT_EQ(reports[1].code, 5);
    EXPECT_EQ(reports[1].text, QStringLiteral("녹화가 중단되었습니다. 복구 파일을 확인하세요: ") + path);
    EXPECT_EQ(service.state(), State::idle);
}

// A writer stuck in the file system never closes: the failure is still reported after a
// bounded wait, so the HUD goes, but no new recording starts until the old one has closed.
TEST_F(RecordingServiceTest, SessionThatNeverClosesIsReportedAnywayAndBlocksStartsUntilItCloses)
{
    service.setTimings({20ms, 150ms, 150ms, 150ms});
    startAndRun();
    FakeSession *session = backend->last();
    stopWith();
    ASSERT_TRUE(QTest::qWaitFor([&] { return reports.size() == 1; }, 5000));
    EXPECT_EQ(session->aborts, 1);
    EXPECT_EQ(reports[0].code, 2);
    EXPECT_EQ(reports[0].stateSeen, State::idle);
    try {
        await(service.start(filter, {}, RecordingSettings{}, path));
        FAIL() << "a start must wait for the old session to close";
    } catch (const AppError &error) {
        EXPECT_EQ(error.code(), 1);
    }
    EXPECT_EQ(backend->sessions.size(), 1u);

    QPointer<RecorderSession> old(session);
    session->close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return old.isNull(); }, 5000));
    EXPECT_EQ(reports.size(), 1u); // the late close reports nothing more
    startRecording();
    EXPECT_EQ(service.state(), State::starting);
    EXPECT_EQ(backend->sessions.size(), 2u);
}

TEST_F(RecordingServiceTest, StopBeforeTheFirstFrameIsReportedLikeAFailedStartAndNeverAsAFile)
{
    startRecording();
    FakeSession *session = backend->last();
    stopWith();
    Q_EMIT session->recordingDiscarded(QStringLiteral("녹화가 시작되기 전에 중지되어 저장할 화면이 없습니다."));
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0],
              (Report{State::idle, 0, QStringLiteral("녹화가 시작되기 전에 중지되어 저장할 화면이 없습니다.")}));
    EXPECT_TRUE(finished.isEmpty());
    QTest::qWait(250); // past the finalization time-out: nothing more comes
    EXPECT_EQ(reports.size(), 1u);
}
