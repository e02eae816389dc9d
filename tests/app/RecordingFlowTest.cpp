// SPDX-License-Identifier: GPL-3.0-or-later
// The recording flow against the real store, recorder service, screen and video reader; only
// the recorder's capture backend is scripted, so a test decides when frames arrive and fail.
#include <QDir>
#include <QFile>
#include <QPromise>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "app/AppModel.h"
#include "app/capture/DesktopScreens.h"
#include "app/widgets/ErrorDescription.h"
#include "core/base/AppError.h"
#include "platform/VideoInfo.h"
#include "support/Await.h"
#include "support/FlowServices.h"
#include "support/MovieWriter.h"

namespace tarn {
namespace {

using State = RecordingService::State;

// A session that opens its file at once (as the real one does) and fails its start on request.
class ScriptedSession : public RecorderSession {
public:
    ScriptedSession(QString path, QString startError) : path_(std::move(path)), startError_(std::move(startError)) { }
    QFuture<QString> startCapture() override
    {
        QFile(path_).open(QIODevice::WriteOnly);
        return QtFuture::makeReadyFuture(startError_);
    }
    QFuture<QString> stopCapture() override { return QtFuture::makeReadyFuture(QString()); }
    void abort() override { }
    bool isClosed() const override { return true; }
    double recordedSeconds() const override { return 0; }
    int64_t recordedBytes() const override { return 0; }

private:
    QString path_;
    QString startError_;
};

class ScriptedBackend : public RecorderBackend {
public:
    QFuture<bool> checkMicrophone() override
    {
        microphone = std::make_shared<QPromise<bool>>();
        microphone->start();
        return microphone->future();
    }
    std::unique_ptr<RecorderSession> createSession(const RecorderRequest &request) override
    {
        path = request.path;
        auto created = std::make_unique<ScriptedSession>(request.path, startError);
        session = created.get();
        return created;
    }

    QString startError;
    QString path;
    ScriptedSession *session = nullptr;
    std::shared_ptr<QPromise<bool>> microphone;
};

class ExclusiveRecordingFlow : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto screen = std::make_unique<test::LoggedScreen>(log_);
        screen_ = screen.get();
        AppServices services;
        services.screenSource = std::move(screen);
        services.recorderBackend = backend_;
        services.timings = test::quickTimings();
        model_ = std::make_unique<AppModel>(dir_.filePath(QStringLiteral("library")), false, std::move(services));
        test::await(model_->load());
        model_->preferences().setCaptureDelay(5); // a recording always counts three
        model_->preferences().setRecordingRegion(false);
        model_->preferences().setMicrophone(false);
        library_.resize(500, 300);
        library_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&library_));
        model_->setMainWindow(&library_);
        logger_ = std::make_unique<test::WindowLogger>(log_, &library_);
        QObject::connect(model_.get(), &AppModel::statusChanged, model_.get(),
                         [this](const QString &status) { log_->add(QStringLiteral("status: ") + status); });
        display_ = DesktopScreens::displayID(QGuiApplication::primaryScreen());
    }

    QString recordings() const { return model_->repository().root() + QStringLiteral("/Recordings"); }
    QStringList takeLog() { return std::exchange(log_->entries, {}); }
    void waitUntilFree()
    {
        ASSERT_TRUE(QTest::qWaitFor([&] { return !model_->isBusy(); }, 20000))
            << log_->entries.join(u'|').toStdString();
    }

    QTemporaryDir dir_;
    std::shared_ptr<test::FlowLog> log_ = std::make_shared<test::FlowLog>();
    std::shared_ptr<ScriptedBackend> backend_ = std::make_shared<ScriptedBackend>();
    test::LoggedScreen *screen_ = nullptr;
    std::unique_ptr<AppModel> model_;
    QWidget library_;
    std::unique_ptr<test::WindowLogger> logger_;
    uint32_t display_ = 0;
};

// The whole life of one recording: the sheet, three seconds of countdown, the HUD with the
// windows kept hidden and nothing busy, the stop, and the finished file imported as a video.
TEST_F(ExclusiveRecordingFlow, ARecordingCountsThreeRecordsAndIsImportedAsAVideo)
{
    model_->toggleRecording();
    EXPECT_EQ(model_->sheet(), AppSheet::recording);
    EXPECT_EQ(model_->recorder().state(), State::idle);

    model_->startRecording(display_);
    EXPECT_FALSE(model_->sheet());
    EXPECT_TRUE(model_->isBusy());
    waitUntilFree();
    EXPECT_EQ(takeLog(),
              (QStringList{QStringLiteral("hide"), QStringLiteral("countdown 3"), QStringLiteral("countdown 2"),
                           QStringLiteral("countdown 1"), QStringLiteral("status: 녹화 중 · Ctrl+Shift+4로 종료")}));
    EXPECT_EQ(model_->recorder().state(), State::starting);
    EXPECT_TRUE(model_->floating().recordingPanel);
    EXPECT_FALSE(model_->floating().countdownPanel);
    EXPECT_FALSE(library_.isVisible());
    model_->startRecording(display_); // the recorder is not idle
    QTest::qWait(100);
    EXPECT_TRUE(takeLog().isEmpty());

    Q_EMIT backend_->session->recordingStarted();
    EXPECT_EQ(model_->recorder().state(), State::recording);
    model_->toggleRecording();
    ASSERT_TRUE(QTest::qWaitFor([&] { return model_->recorder().state() == State::stopping; }, 5000));
    test::writeMovie(backend_->path, test::Movie{{test::VideoTrack{320, 240, 75, 1}}, 0});
    Q_EMIT backend_->session->recordingFinished();

    ASSERT_TRUE(QTest::qWaitFor([&] { return model_->items().size() == 1 && !model_->isBusy(); }, 20000));
    EXPECT_EQ(takeLog(), (QStringList{QStringLiteral("show"), QStringLiteral("status: 01:15 녹화를 저장했습니다.")}));
    const CaptureItem &video = model_->items().front();
    EXPECT_EQ(video.kind, CaptureKind::video);
    EXPECT_TRUE(QString::fromStdString(video.title).startsWith(QStringLiteral("화면 녹화 ")));
    EXPECT_EQ(model_->section(), LibrarySection::videos);
    EXPECT_FALSE(QFile::exists(backend_->path));
    EXPECT_EQ(model_->pendingRecordingCount(), 0);
    EXPECT_FALSE(model_->floating().recordingPanel);
    EXPECT_TRUE(library_.isVisible());
}

// Starts that end before anything records: the windows come back, nothing stays busy, and a
// file the recorder already opened is not left for recovery.
TEST_F(ExclusiveRecordingFlow, StartsThatDoNotRecordPutEverythingBack)
{
    const QString status = model_->status();
    const QStringList countdown{QStringLiteral("hide"), QStringLiteral("countdown 3"), QStringLiteral("countdown 2"),
                                QStringLiteral("countdown 1")};

    // The recorder fails after creating its file (a full disk).
    backend_->startError = QStringLiteral("디스크 공간이 부족해 녹화를 시작하지 못했습니다.");
    model_->startRecording(display_);
    waitUntilFree();
    EXPECT_EQ(takeLog(),
              countdown + (QStringList{QStringLiteral("show"), QStringLiteral("status: ") + backend_->startError}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !QFile::exists(backend_->path); }, 5000));
    EXPECT_EQ(model_->pendingRecordingCount(), 0);
    backend_->startError.clear();

    // A stop while the microphone check runs: start returns with the recorder idle.
    model_->preferences().setMicrophone(true);
    model_->startRecording(display_);
    ASSERT_TRUE(QTest::qWaitFor([&] { return backend_->microphone != nullptr; }, 10000));
    model_->toggleRecording();
    backend_->microphone->addResult(true);
    backend_->microphone->finish();
    waitUntilFree();
    EXPECT_EQ(takeLog(), countdown + (QStringList{QStringLiteral("show")}));
    EXPECT_FALSE(model_->floating().recordingPanel);
    EXPECT_EQ(model_->recorder().state(), State::idle);
    model_->preferences().setMicrophone(false);

    // The countdown's cancel button: silent.
    model_->startRecording(display_);
    ASSERT_TRUE(QTest::qWaitFor([&] { return log_->entries.contains(QStringLiteral("countdown 3")); }, 10000));
    Q_EMIT model_->floating().countdownCancelled();
    waitUntilFree();
    EXPECT_EQ(takeLog(), (QStringList{QStringLiteral("hide"), QStringLiteral("countdown 3"), QStringLiteral("show")}));

    // Escape in the region selector: silent.
    model_->preferences().setRecordingRegion(true);
    model_->startRecording(display_);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !model_->selector().panels().empty(); }, 10000));
    QTest::keyClick(model_->selector().panels().front(), Qt::Key_Escape);
    waitUntilFree();
    EXPECT_EQ(takeLog(), (QStringList{QStringLiteral("hide"), QStringLiteral("show")}));

    // Busy, or no screen access: no start at all.
    {
        const AppModel::BusyClaim busy = model_->claimBusy();
        model_->startRecording(display_);
    }
    screen_->available = false;
    model_->startRecording(display_);
    EXPECT_EQ(model_->sheet(), AppSheet::permissions);
    QTest::qWait(100);
    EXPECT_TRUE(takeLog().isEmpty());
    EXPECT_TRUE(model_->items().empty());
    EXPECT_TRUE(library_.isVisible());
}

// A file that cannot be imported stays for recovery and is counted; an imported file that will
// not leave the folder is reported apart and no longer counted; a failed recording is counted
// once the recorder is idle.
TEST_F(ExclusiveRecordingFlow, ImportFailuresKeepTheFileAndCountWhatIsLeftForRecovery)
{
    const QString silent = recordings() + QStringLiteral("/voice.mp4");
    test::writeMovie(silent, test::Movie{{}, 1.0});
    Q_EMIT model_->recorder().finished(silent);
    ASSERT_TRUE(QTest::qWaitFor([&] { return model_->errorMessage().has_value() && !model_->isBusy(); }, 20000));
    QString reason;
    try {
        VideoInfo::load(silent);
    } catch (...) {
        reason = describe(std::current_exception());
    }
    EXPECT_EQ(*model_->errorMessage(),
              QStringLiteral("녹화 가져오기 실패: ") + reason + QStringLiteral("\n파일은 보존했습니다: ") + silent);
    EXPECT_TRUE(QFile::exists(silent));
    EXPECT_EQ(model_->pendingRecordingCount(), 1);
    EXPECT_TRUE(model_->items().empty());

    // A name the store refuses to remove (a backslash): imported once, then not offered again.
    const QString stuck = recordings() + QStringLiteral("/odd\\name.mp4");
    test::writeMovie(stuck, test::Movie{{test::VideoTrack{320, 240, 20, 10}}, 0});
    model_->setErrorMessage(std::nullopt);
    Q_EMIT model_->recorder().finished(stuck);
    ASSERT_TRUE(QTest::qWaitFor([&] { return model_->items().size() == 1 && !model_->isBusy(); }, 20000));
    EXPECT_EQ(model_->status(), QStringLiteral("00:02 녹화를 저장했습니다."));
    ASSERT_TRUE(model_->errorMessage());
    EXPECT_TRUE(model_->errorMessage()->startsWith(QStringLiteral("녹화는 라이브러리에 저장했지만")));
    EXPECT_TRUE(QFile::exists(stuck));
    EXPECT_EQ(model_->pendingRecordingCount(), 1);

    test::writeMovie(recordings() + QStringLiteral("/cut.mp4"), test::Movie{{test::VideoTrack{320, 240, 5, 10}}, 0});
    Q_EMIT model_->recorder().failed(AppError(4, QStringLiteral("녹화 파일을 쓰지 못했습니다.")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return model_->pendingRecordingCount() == 2; }, 10000));
}

} // namespace
} // namespace tarn
