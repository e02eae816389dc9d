// SPDX-License-Identifier: GPL-3.0-or-later
// The recording flow on the real store, recorder service, screen and video reader; only the
// recorder's capture backend is scripted, so a test decides when a start fails or ends.
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QPromise>
#include <QScopeGuard>

#include "app/capture/DesktopScreens.h"
#include "app/widgets/ErrorDescription.h"
#include "core/base/AppError.h"
#include "platform/VideoInfo.h"
#include "support/FlowServices.h"
#include "support/LockedFolder.h"
#include "support/MovieWriter.h"

namespace tarn {
namespace {

using State = RecordingService::State;

// A session that opens its file at once, as the real one does, and fails to start on request.
class ScriptedSession : public RecorderSession {
public:
    ScriptedSession(QString path, QString error) : path_(std::move(path)), error_(std::move(error)) { }
    QFuture<QString> startCapture() override
    {
        return QFile(path_).open(QIODevice::WriteOnly), QtFuture::makeReadyFuture(error_);
    }
    QFuture<QString> stopCapture() override { return QtFuture::makeReadyFuture(QString()); }
    void abort() override { }
    bool isClosed() const override { return true; }
    double recordedSeconds() const override { return 0; }
    int64_t recordedBytes() const override { return 0; }

private:
    QString path_, error_;
};

class ScriptedBackend : public RecorderBackend {
public:
    QFuture<bool> checkMicrophone() override { return microphone.start(), microphone.future(); }
    std::unique_ptr<RecorderSession> createSession(const RecorderRequest &request) override
    {
        path = request.path;
        auto created = std::make_unique<ScriptedSession>(request.path, startError);
        session = created.get();
        return created;
    }
    QString startError, path;
    ScriptedSession *session = nullptr;
    QPromise<bool> microphone;
};

using TestSupport::lockFolder;

class ExclusiveRecordingFlow : public TestSupport::FlowFixture {
protected:
    void SetUp() override
    {
        AppServices services;
        services.recorderBackend = backend;
        open(std::move(services));
        model->preferences().setCaptureDelay(5); // a recording counts three whatever it is
    }
    void start() { model->startRecording(DesktopScreens::displayID(QGuiApplication::primaryScreen())); }
    QString recordings() const { return model->repository().root() + QStringLiteral("/Recordings"); }
    void restart()
    {
        model.reset(); // the next model takes the library's writer lock
        AppServices services;
        services.recorderBackend = backend;
        open(std::move(services));
    }

    std::shared_ptr<ScriptedBackend> backend = std::make_shared<ScriptedBackend>();
    const QStringList countdown{QStringLiteral("hide"), QStringLiteral("countdown 3"), QStringLiteral("countdown 2"),
                                QStringLiteral("countdown 1")};
};

// The sheet, three seconds of countdown, the HUD with the windows kept hidden and nothing busy,
// a refused second start, the stop, and the finished file imported as a video.
TEST_F(ExclusiveRecordingFlow, ARecordingCountsThreeRecordsAndIsImportedAsAVideo)
{
    model->toggleRecording();
    EXPECT_EQ(model->sheet(), AppSheet::recording);
    start();
    EXPECT_FALSE(model->sheet());
    waitUntilFree();
    EXPECT_EQ(takeLog(), countdown + (QStringList{QStringLiteral("status: 녹화 중 · Ctrl+Shift+4로 종료")}));
    EXPECT_TRUE(model->floating().recordingPanel);
    EXPECT_FALSE(library.isVisible());
    start(); // the recorder is not idle
    Q_EMIT backend->session->recordingStarted();
    model->toggleRecording();
    ASSERT_TRUE(QTest::qWaitFor([&] { return model->recorder().state() == State::stopping; }, 5000));
    TestSupport::writeMovie(backend->path, TestSupport::Movie{{TestSupport::VideoTrack{320, 240, 75, 1}}, 0});
    Q_EMIT backend->session->recordingFinished();
    ASSERT_TRUE(QTest::qWaitFor([&] { return model->items().size() == 1 && !model->isBusy(); }, 20000));
    EXPECT_EQ(takeLog(),
              (QStringList{QStringLiteral("show"), QStringLiteral("insert"),
                           QStringLiteral("status: 01:15 녹화를 저장했습니다.")}));
    EXPECT_TRUE(QString::fromStdString(model->items().front().title).startsWith(QStringLiteral("화면 녹화 ")));
    EXPECT_EQ(model->section(), LibrarySection::videos);
    EXPECT_FALSE(QFile::exists(backend->path));
    EXPECT_EQ(model->pendingRecordingCount(), 0);
    EXPECT_FALSE(model->floating().recordingPanel);
}

// Starts that end before anything records put the windows back, leave nothing busy and no
// file for recovery; only a failure says anything.
TEST_F(ExclusiveRecordingFlow, StartsThatDoNotRecordPutEverythingBack)
{
    backend->startError = QStringLiteral("디스크 공간이 부족해 녹화를 시작하지 못했습니다.");
    start();
    waitUntilFree();
    EXPECT_EQ(takeLog(),
              countdown + (QStringList{QStringLiteral("show"), QStringLiteral("status: ") + backend->startError}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !QFile::exists(backend->path); }, 5000));
    backend->startError.clear();
    EXPECT_EQ(model->permissionRequestCount(), 0);

    model->preferences().setMicrophone(true); // stopped while the microphone is checked
    start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return backend->microphone.future().isStarted(); }, 10000));
    EXPECT_EQ(model->permissionRequestCount(), 1); // checking the microphone asks for its access
    model->toggleRecording();
    backend->microphone.addResult(true);
    backend->microphone.finish();
    waitUntilFree();
    EXPECT_EQ(takeLog(), countdown + (QStringList{QStringLiteral("show")}));
    EXPECT_FALSE(model->floating().recordingPanel);
    model->preferences().setMicrophone(false);

    start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return log.contains(QStringLiteral("countdown 3")); }, 10000));
    Q_EMIT model->floating().countdownCancelled();
    waitUntilFree();
    model->preferences().setRecordingRegion(true);
    start();
    if (QWidget *panel = overlay())
        QTest::keyClick(panel, Qt::Key_Escape);
    waitUntilFree();
    start();
    ASSERT_TRUE(overlay());
    model->toggleRecording(); // the start taken back (a second Ctrl+Shift+4, a signal) while the region is chosen
    waitUntilFree();
    EXPECT_EQ(takeLog(),
              (QStringList{QStringLiteral("hide"), QStringLiteral("countdown 3"), QStringLiteral("show"),
                           QStringLiteral("hide"), QStringLiteral("select"), QStringLiteral("show"),
                           QStringLiteral("hide"), QStringLiteral("select"), QStringLiteral("show")}));
    screen->available = false;
    start();
    EXPECT_EQ(model->sheet(), AppSheet::permissions);
    EXPECT_TRUE(takeLog().isEmpty());
    EXPECT_EQ(model->pendingRecordingCount(), 0);
}

// The recorder starts only once what the first frames would show is off the screen: a window
// manager shows a hidden window's last pixels in its frame until it gets round to taking the
// frame down, late on a busy machine. Here the test plays that window manager for a window of
// ours hidden for the recording, or for the countdown panel; a start taken back (the hot key
// again) while it waits asks for no recording at all.
TEST_F(ExclusiveRecordingFlow, TheRecorderStartsOnceTheHiddenWindowsFramesAreDown)
{
    backend->startError = QStringLiteral("시작하지 않음"); // the session's creation is all that counts
    const struct {
        const char *name;
        bool countdownFramed; // the countdown panel in the slow frame, else a window of ours
        bool takenBack;
    } cases[] = {{"hidden window", false, false}, {"countdown panel", true, false}, {"taken back", false, true}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        backend->path.clear();
        std::optional<bool> startedWhileShown;
        TestSupport::SlowFrame frame([&] {
            startedWhileShown = !backend->path.isEmpty(); // the recorder has asked for its session
            if (c.takenBack)
                model->toggleRecording();
        });
        QWidget ours(nullptr, Qt::Tool | Qt::X11BypassWindowManagerHint);
        ours.setVisible(!c.countdownFramed); // else the frame holds the countdown panel
        start();
        waitUntilFree();
        ASSERT_TRUE(QTest::qWaitFor([&] { return startedWhileShown.has_value(); }, 5000));
        EXPECT_EQ(startedWhileShown, std::optional<bool>(false));
        EXPECT_EQ(backend->path.isEmpty(), c.takenBack) << takeLog().join(u'|').toStdString();
    }
}

// A file that cannot be imported stays and is counted for recovery; an imported file that will
// not leave the folder is reported apart and not counted; a failed recording is counted.
TEST_F(ExclusiveRecordingFlow, ImportFailuresKeepTheFileAndCountWhatIsLeftForRecovery)
{
    const QString silent = recordings() + QStringLiteral("/voice.mp4");
    TestSupport::writeMovie(silent, TestSupport::Movie{{}, 1.0});
    Q_EMIT model->recorder().finished(silent);
    ASSERT_TRUE(QTest::qWaitFor([&] { return model->errorMessage() && !model->isBusy(); }, 20000));
    QString reason;
    try {
        VideoInfo::load(silent);
    } catch (...) {
        reason = describe(std::current_exception());
    }
    EXPECT_EQ(*model->errorMessage(),
              QStringLiteral("녹화 가져오기 실패: ") + reason + QStringLiteral("\n파일은 보존했습니다: ") + silent);
    EXPECT_EQ(model->pendingRecordingCount(), 1);

    const QString stuck = recordings() + QStringLiteral("/odd\\name.mp4"); // the store will not remove it
    TestSupport::writeMovie(stuck, TestSupport::Movie{{TestSupport::VideoTrack{320, 240, 20, 10}}, 0});
    Q_EMIT model->recorder().finished(stuck);
    ASSERT_TRUE(QTest::qWaitFor([&] { return model->items().size() == 1 && !model->isBusy(); }, 20000));
    EXPECT_EQ(model->status(), QStringLiteral("00:02 녹화를 저장했습니다."));
    EXPECT_TRUE(model->errorMessage()->startsWith(QStringLiteral("녹화는 라이브러리에 저장했지만")));
    EXPECT_EQ(model->pendingRecordingCount(), 1);

    TestSupport::writeMovie(recordings() + QStringLiteral("/cut.mp4"),
                            TestSupport::Movie{{TestSupport::VideoTrack{320, 240, 5, 10}}, 0});
    Q_EMIT model->recorder().failed(AppError(4, QStringLiteral("녹화 파일을 쓰지 못했습니다.")));
    EXPECT_TRUE(QTest::qWaitFor([&] { return model->pendingRecordingCount() == 2; }, 10000));
}

// An imported recording whose file would not leave a read-only "Recordings" is not offered for
// recovery again after a restart, and leaves once the folder can be written. The same bytes under
// another name count as imported; a file that only resembles it stays counted and untouched.
TEST_F(ExclusiveRecordingFlow, AnImportedRecordingThatCouldNotLeaveIsNotOfferedAgainAfterARestart)
{
    const QString recorded = recordings() + QStringLiteral("/recorded.mp4");
    TestSupport::writeMovie(recorded, TestSupport::Movie{{TestSupport::VideoTrack{320, 240, 20, 10}}, 0});
    QFile file(recorded);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QByteArray changed = bytes;
    changed[changed.size() / 2] = char(changed[changed.size() / 2] ^ 1);
    struct Leftover {
        QString name;
        QByteArray bytes;
        bool offered;
    };
    const std::vector<Leftover> leftovers{{QStringLiteral("twin.mp4"), bytes, false},
                                          {QStringLiteral("changed.mp4"), changed, true},
                                          {QStringLiteral("cut.mp4"), bytes.left(bytes.size() - 1), true}};
    for (const Leftover &leftover : leftovers) {
        QFile out(recordings() + u'/' + leftover.name);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly) && out.write(leftover.bytes) == leftover.bytes.size());
    }

    const auto unlock = qScopeGuard([folder = recordings()] { lockFolder(folder, false); });
    if (!lockFolder(recordings(), true))
        GTEST_SKIP() << "this file system cannot keep a file from being removed";
    Q_EMIT model->recorder().finished(recorded);
    ASSERT_TRUE(QTest::qWaitFor([&] { return model->items().size() == 1 && !model->isBusy(); }, 20000));
    EXPECT_TRUE(model->errorMessage()->startsWith(QStringLiteral("녹화는 라이브러리에 저장했지만")));

    for (const bool writable : {false, true}) {
        ASSERT_TRUE(lockFolder(recordings(), !writable));
        restart();
        SCOPED_TRACE(writable ? "writable" : "read-only");
        EXPECT_EQ(model->items().size(), 1u);
        EXPECT_EQ(model->pendingRecordingCount(), 2);
        EXPECT_EQ(QFile::exists(recorded), !writable);
        for (const Leftover &leftover : leftovers) {
            QFile kept(recordings() + u'/' + leftover.name);
            EXPECT_EQ(kept.open(QIODevice::ReadOnly) && kept.readAll() == leftover.bytes, leftover.offered || !writable)
                << leftover.name.toStdString();
        }
    }
}

} // namespace
} // namespace tarn
