// SPDX-License-Identifier: GPL-3.0-or-later
// The screen recorder's sessions when something goes wrong under them: a start that fails after
// the file was made, and an allocation that fails on one of the recorder's threads. Needs the
// X display (the recorder grabs the screen) but shows nothing and reads no known pixels.
#include <csignal>

#include <sys/resource.h>

#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "platform/recorder/ScreenRecorderBackend.h"
#include "support/Allocations.h"

namespace tarn {
namespace {

struct Session {
    QTemporaryDir dir;
    RecorderRequest request;
    ScreenRecorderBackend backend;
    std::unique_ptr<RecorderSession> session;
    bool started = false, finished = false, closed = false;
    QString stopped, failed;

    Session()
    {
        request.sourceRect = QRect(0, 0, 320, 240);
        request.outputSize = QSize(320, 240);
        request.frameRate = 30;
        request.path = dir.filePath(QStringLiteral("recording.mp4"));
        session = backend.createSession(request);
        QObject::connect(session.get(), &RecorderSession::recordingStarted, [this] { started = true; });
        QObject::connect(session.get(), &RecorderSession::recordingFinished, [this] { finished = true; });
        QObject::connect(session.get(), &RecorderSession::closed, [this] { closed = true; });
        QObject::connect(session.get(), &RecorderSession::streamStopped, [this](const QString &m) { stopped = m; });
        QObject::connect(session.get(), &RecorderSession::recordingFailed, [this](const QString &m) { failed = m; });
    }

    QString start()
    {
        QFuture<QString> future = session->startCapture();
        EXPECT_TRUE(QTest::qWaitFor([&] { return future.isFinished(); }, 15'000));
        return future.isFinished() ? future.result() : QStringLiteral("no answer");
    }
};

bool haveDisplay() { return QGuiApplication::platformName() == QLatin1String("xcb"); }

// A start that fails, before or after the writer made the file, leaves nothing behind that
// would later be offered for recovery, and reports the reason instead of ending the process.
TEST(RecorderFaults, FailedStartsLeaveNoFile)
{
    if (!haveDisplay())
        GTEST_SKIP() << "needs an X display";
    {
        SCOPED_TRACE("the file is made, its header cannot be written");
        Session s;
        const rlimit saved = [] {
            rlimit r{};
            getrlimit(RLIMIT_FSIZE, &r);
            return r;
        }();
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit tiny{16, saved.rlim_max};
        setrlimit(RLIMIT_FSIZE, &tiny);
        const QString message = s.start();
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);
        EXPECT_EQ(message, QStringLiteral("녹화 파일을 쓰는 중 오류가 발생했습니다 (파일 크기 제한을 넘습니다)."));
        EXPECT_TRUE(QTest::qWaitFor([&] { return s.closed; }, 10'000));
        EXPECT_FALSE(QFileInfo::exists(s.request.path));
    }
    {
        SCOPED_TRACE("memory runs out on the writer's thread while it opens");
        Session s;
        TestSupport::FailingAllocations failing("tarn-recorder");
        const QString message = s.start();
        EXPECT_EQ(failing.failed(), 1);
        EXPECT_EQ(message, QStringLiteral("메모리가 부족해 녹화를 계속할 수 없습니다."));
        EXPECT_TRUE(QTest::qWaitFor([&] { return s.closed; }, 10'000));
        EXPECT_FALSE(QFileInfo::exists(s.request.path));
    }
}

// Memory that runs out on the capture thread stops the recording like a lost screen: reported
// once as a recorder error, and the file is finished with what was recorded.
TEST(RecorderFaults, AllocationFailureOnTheCaptureThreadStopsTheRecordingCleanly)
{
    if (!haveDisplay())
        GTEST_SKIP() << "needs an X display";
    Session s;
    ASSERT_TRUE(s.start().isEmpty());
    ASSERT_TRUE(QTest::qWaitFor([&] { return s.started; }, 10'000));
    {
        TestSupport::FailingAllocations failing("tarn-capture");
        ASSERT_TRUE(QTest::qWaitFor([&] { return !s.stopped.isEmpty(); }, 10'000));
        EXPECT_EQ(failing.failed(), 1);
    }
    EXPECT_EQ(s.stopped, QStringLiteral("메모리가 부족해 녹화를 계속할 수 없습니다."));
    EXPECT_TRUE(QTest::qWaitFor([&] { return s.finished || !s.failed.isEmpty(); }, 15'000));
    EXPECT_TRUE(s.finished) << s.failed.toStdString();
    EXPECT_GT(QFileInfo(s.request.path).size(), 0);
}

} // namespace
} // namespace tarn
