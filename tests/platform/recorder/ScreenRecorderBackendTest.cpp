// SPDX-License-Identifier: GPL-3.0-or-later
// The FFmpeg/X11/PulseAudio recorder as a process sees it, under the test desktop (the suite
// holds the display lock: it reads the screen and shows a window on top): a recording killed
// halfway still plays, and a stop before the first frame leaves nothing behind.
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "platform/recorder/ScreenRecorderBackend.h"
#include "support/ChildProcess.h"
#include "support/RecordedVideo.h"

namespace tarn {
namespace {

using TestSupport::haveDisplay;

// Run by the next test in a child process: records until it is killed.
TEST(ExclusiveRecording, ChildRecordsUntilKilled)
{
    const QString path = qEnvironmentVariable("TARN_RECORD_UNTIL_KILLED");
    if (path.isEmpty())
        GTEST_SKIP() << "runs only as the child of KilledRecordingLeavesAPlayableFile";
    TestSupport::MovingPattern pattern;
    RecorderRequest request;
    request.sourceRect = QRect(0, 0, 640, 360);
    request.outputSize = QSize(640, 360);
    request.frameRate = 30;
    request.systemAudio = TestSupport::haveSoundServer();
    request.path = path;
    ScreenRecorderBackend backend;
    auto session = backend.createSession(request);
    QFuture<QString> started = session->startCapture();
    ASSERT_TRUE(QTest::qWaitFor([&] { return started.isFinished(); }, 15'000));
    ASSERT_TRUE(started.result().isEmpty()) << started.result().toStdString();
    QTest::qWait(60'000);
    FAIL() << "was not killed";
}

TEST(ExclusiveRecording, KilledRecordingLeavesAPlayableFile)
{
    if (!haveDisplay())
        GTEST_SKIP() << "needs an X display";
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("killed.mp4"));
    TestSupport::ChildProcess child("ExclusiveRecording.ChildRecordsUntilKilled",
                                    {{"TARN_RECORD_UNTIL_KILLED", path.toStdString()}});
    ASSERT_TRUE(child.started());
    // Halfway through a recording of several fragments.
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo(path).size() > 20'000; }, 15'000));
    QTest::qWait(2500);
    child.kill();

    const auto facts = TestSupport::readBack(path);
    ASSERT_TRUE(facts) << "the cut-off file does not open";
    EXPECT_EQ(facts->width, 640);
    EXPECT_EQ(facts->height, 360);
    EXPECT_GE(facts->frames, 30);
    EXPECT_GE(facts->duration, 1.0);
}

// A stop that comes before the first frame leaves no file without video behind and is not
// reported as a finished recording.
TEST(ExclusiveRecording, StopBeforeTheFirstFrameRemovesTheFileAndReportsNoFinish)
{
    if (!haveDisplay())
        GTEST_SKIP() << "needs an X display";
    QTemporaryDir dir;
    RecorderRequest request;
    request.sourceRect = QRect(0, 0, 640, 360);
    request.outputSize = QSize(640, 360);
    request.frameRate = 30;
    request.path = dir.filePath(QStringLiteral("early.mp4"));
    ScreenRecorderBackend backend;
    auto session = backend.createSession(request);
    bool finished = false, closed = false;
    QString discarded;
    QObject::connect(session.get(), &RecorderSession::recordingFinished, [&] { finished = true; });
    QObject::connect(session.get(), &RecorderSession::recordingDiscarded,
                     [&](const QString &message) { discarded = message; });
    QObject::connect(session.get(), &RecorderSession::closed, [&] { closed = true; });
    // Stop asked for first, so that no frame can be grabbed whatever the machine's speed.
    QFuture<QString> stopped = session->stopCapture();
    QFuture<QString> started = session->startCapture();
    ASSERT_TRUE(QTest::qWaitFor([&] { return closed; }, 15'000));
    EXPECT_TRUE(started.result().isEmpty());
    EXPECT_TRUE(stopped.result().isEmpty());
    EXPECT_FALSE(finished);
    EXPECT_FALSE(discarded.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(request.path));
}

} // namespace
} // namespace tarn
