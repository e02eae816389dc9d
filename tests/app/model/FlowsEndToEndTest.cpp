// SPDX-License-Identifier: GPL-3.0-or-later
// Flows with nothing scripted: Tesseract reading text another program draws, and the FFmpeg
// recorder recording the display, each started through the model as the user starts them.
#include <limits>

#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>

#include "app/capture/DesktopScreens.h"
#include "support/FlowServices.h"
#include "support/TestWindows.h"

namespace tarn {
namespace {

class ExclusiveFlowsEndToEnd : public TestSupport::FlowFixture { };

// A text capture of another program's settings window: its text on the clipboard and in its
// window, none of its switches, check boxes or outlines; nothing stored.
TEST_F(ExclusiveFlowsEndToEnd, ATextCaptureCopiesTheTextItReads)
{
    open();
    const QString sample = QStringLiteral("Tarnwick OCR 2026");
    const OcrScreens::Screen settings = OcrScreens::settingsWindow(false, false);
    TestSupport::TestWindows child(sample + QStringLiteral("|640|560|s"));
    const auto window = child.waitForWindow(DesktopScreens::source(), sample);
    ASSERT_TRUE(window);
    QTest::qWait(300); // painted
    model->beginCapture(CaptureAction::text);
    if (QWidget *panel = overlay()) {
        const QPoint from = panel->mapFromGlobal(window->contentRect.topLeft() + QPoint(10, 10));
        const QPoint to = panel->mapFromGlobal(window->contentRect.bottomRight() - QPoint(10, 10));
        QTest::mousePress(panel, Qt::LeftButton, {}, from);
        QTest::mouseMove(panel, to);
        QTest::mouseRelease(panel, Qt::LeftButton, {}, to);
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return log.contains(QStringLiteral("grab")); }, 30000));
    waitUntilFree(std::numeric_limits<int>::max());
    const QString text = QGuiApplication::clipboard()->text();
    EXPECT_LE(OcrScreens::errors(OcrScreens::expectedLines(settings), text.split(u'\n')).rate(), 0.01)
        << text.toStdString();
    EXPECT_TRUE(model->status().endsWith(QStringLiteral("개 텍스트 영역을 인식해 복사했습니다.")))
        << model->status().toStdString();
    EXPECT_TRUE(model->items().empty());
    ASSERT_FALSE(model->floating().windows().empty());
    EXPECT_EQ(model->floating().windows().back()->windowTitle(), QStringLiteral("텍스트 추출 · Tarnwick"));
    QDir().mkpath(QStringLiteral(TARN_TEST_OUTPUT_DIR));
    DesktopScreens::grab(QGuiApplication::primaryScreen())
        .save(QStringLiteral(TARN_TEST_OUTPUT_DIR "/flows-text-capture.png"));
}

// Three seconds of the display recorded by the real recorder land in the videos section.
TEST_F(ExclusiveFlowsEndToEnd, AThreeSecondRecordingLandsInTheVideos)
{
    open();
    for (const char *flag : {"systemAudio", "microphone", "recordingRegion"})
        model->preferences().setProperty(flag, false);
    model->preferences().setFrameRate(30);
    model->preferences().setRecordingLongEdge(1920);
    // On a loaded machine the waits can overrun by seconds: the video must last about as long as
    // the recording really ran, not a fixed three seconds, counted from the request (the film may
    // begin before its start is reported).
    QElapsedTimer running;
    running.start();
    model->startRecording(DesktopScreens::displayID(QGuiApplication::primaryScreen()));
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return model->recorder().state() == RecordingService::State::recording; }, 20000));
    EXPECT_EQ(model->status(), QStringLiteral("녹화 중 · Ctrl+Shift+4로 종료"));
    EXPECT_FALSE(model->isBusy() || library.isVisible());
    QTest::qWait(3000);
    model->toggleRecording();
    const double ranSeconds = running.elapsed() / 1000.0;
    ASSERT_TRUE(QTest::qWaitFor([&] { return !model->items().empty() && !model->isBusy(); }, 60000))
        << model->status().toStdString();
    const CaptureItem &video = model->items().front();
    ASSERT_TRUE(video.duration);
    EXPECT_TRUE(*video.duration > 2.0 && *video.duration < ranSeconds + 2.0) << *video.duration << " of " << ranSeconds;
    EXPECT_EQ(model->status(),
              QStringLiteral("00:%1 녹화를 저장했습니다.").arg(int(*video.duration), 2, 10, QLatin1Char('0')));
    EXPECT_EQ(model->section(), LibrarySection::videos);
    EXPECT_TRUE(QDir(model->repository().root() + QStringLiteral("/Recordings")).isEmpty());
    EXPECT_TRUE(library.isVisible());
}

} // namespace
} // namespace tarn
