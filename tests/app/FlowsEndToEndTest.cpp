// SPDX-License-Identifier: GPL-3.0-or-later
// The flows as a user drives them on the test desktop, with nothing standing in: real pointer
// drags on the X server, the X clipboard read back by another program, Tesseract, the FFmpeg
// recorder and the library store in a temporary folder.
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "app/AppModel.h"
#include "app/capture/DesktopScreens.h"
#include "support/Await.h"
#include "support/TestWindows.h"

namespace tarn {
namespace {

using State = RecordingService::State;

void xdotool(const QStringList &arguments) { ASSERT_EQ(QProcess::execute(QStringLiteral("xdotool"), arguments), 0); }

QStringList moveTo(QPoint p) { return {QStringLiteral("mousemove"), QString::number(p.x()), QString::number(p.y())}; }

// What another program reads from the clipboard; our own event loop keeps serving it meanwhile.
QByteArray readClipboard(const QString &target)
{
    QProcess xclip;
    xclip.start(QStringLiteral("xclip"),
                {QStringLiteral("-selection"), QStringLiteral("clipboard"), QStringLiteral("-t"), target,
                 QStringLiteral("-o")});
    if (!QTest::qWaitFor([&] { return xclip.state() == QProcess::NotRunning; }, 10000))
        return {};
    return xclip.readAllStandardOutput();
}

class ExclusiveFlowsEndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (QGuiApplication::platformName() != QStringLiteral("xcb") || !DesktopScreens::source().isAvailable())
            GTEST_SKIP() << "needs the X display";
        model_ = std::make_unique<AppModel>(dir_.filePath(QStringLiteral("library")), false);
        test::await(model_->load());
        Preferences &preferences = model_->preferences();
        preferences.setCaptureDelay(0);
        preferences.setCopyAfterCapture(true);
        preferences.setOpenEditor(false);
        preferences.setAutomaticOCR(false);
        library_.setWindowTitle(QStringLiteral("Tarnwick"));
        library_.resize(640, 400);
        library_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&library_));
        model_->setMainWindow(&library_);
    }

    // Drags from `from` to `to` with the real pointer once the selector's overlays are up.
    void dragOnOverlay(QPoint from, QPoint to)
    {
        ASSERT_TRUE(QTest::qWaitFor([&] { return !model_->selector().panels().empty(); }, 10000));
        for (SelectionView *panel : model_->selector().panels())
            ASSERT_TRUE(QTest::qWaitForWindowExposed(panel, 5000));
        QTest::qWait(100);
        xdotool(moveTo(from) + QStringList{QStringLiteral("mousedown"), QStringLiteral("1")} + moveTo((from + to) / 2) +
                moveTo(to) + QStringList{QStringLiteral("mouseup"), QStringLiteral("1")});
    }

    // The whole screen as the user sees it, kept with the test output for a look.
    static void saveScreen(const QString &name)
    {
        QDir().mkpath(QStringLiteral(TARN_TEST_OUTPUT_DIR));
        DesktopScreens::grab(QGuiApplication::primaryScreen()).save(QStringLiteral(TARN_TEST_OUTPUT_DIR "/") + name);
    }

    void waitUntilFree()
    {
        ASSERT_TRUE(QTest::qWaitFor([&] { return !model_->isBusy(); }, 30000)) << model_->status().toStdString();
    }

    QTemporaryDir dir_;
    std::unique_ptr<AppModel> model_;
    QWidget library_;
};

// A region dragged with the pointer becomes a library item and a PNG that another program reads
// from the clipboard; a text capture of rendered text puts that text there instead.
TEST_F(ExclusiveFlowsEndToEnd, PointerDraggedCapturesReachTheLibraryAndTheClipboard)
{
    model_->beginCapture(CaptureAction::region);
    dragOnOverlay({300, 200}, {500, 350});
    waitUntilFree();
    ASSERT_EQ(model_->items().size(), 1u);
    EXPECT_EQ(model_->items().front().width, 200);
    EXPECT_EQ(model_->items().front().height, 150);
    EXPECT_TRUE(model_->status().startsWith(QStringLiteral("캡처 완료 · 200 × 150 px · API ")));
    const QString targets = QString::fromUtf8(readClipboard(QStringLiteral("TARGETS")));
    EXPECT_TRUE(targets.contains(QStringLiteral("image/png")));
    EXPECT_FALSE(targets.contains(QStringLiteral("text/plain")));
    const QImage pasted = QImage::fromData(readClipboard(QStringLiteral("image/png")), "PNG");
    EXPECT_EQ(pasted.size(), QSize(200, 150));
    EXPECT_TRUE(library_.isVisible());
    EXPECT_NE(model_->floating().capturePanel(), nullptr);
    saveScreen(QStringLiteral("flows-after-region-capture.png"));

    const QString sample = QStringLiteral("Tarnwick OCR 2026");
    test::TestWindows child(sample + QStringLiteral("|760|180|t"));
    const auto window = child.waitForWindow(DesktopScreens::source(), sample);
    ASSERT_TRUE(window);
    QTest::qWait(300); // painted
    model_->beginCapture(CaptureAction::text);
    dragOnOverlay(window->contentRect.topLeft() + QPoint(10, 10), window->contentRect.bottomRight() - QPoint(10, 10));
    waitUntilFree();
    const QString text = QString::fromUtf8(readClipboard(QStringLiteral("UTF8_STRING")));
    EXPECT_TRUE(text.contains(QStringLiteral("Tarnwick")) && text.contains(QStringLiteral("2026")))
        << text.toStdString();
    EXPECT_TRUE(model_->status().endsWith(QStringLiteral("개 텍스트 영역을 인식해 복사했습니다.")))
        << model_->status().toStdString();
    EXPECT_EQ(model_->items().size(), 1u); // text captures are not stored
    ASSERT_FALSE(model_->floating().windows().empty());
    EXPECT_EQ(model_->floating().windows().back()->windowTitle(), QStringLiteral("텍스트 추출 · Tarnwick"));
    QTest::qWait(300);
    saveScreen(QStringLiteral("flows-after-text-capture.png"));
}

// Three seconds of the whole display recorded by the real recorder, started and stopped through
// the model, land in the videos section with the saved status.
TEST_F(ExclusiveFlowsEndToEnd, AThreeSecondRecordingLandsInTheVideos)
{
    Preferences &preferences = model_->preferences();
    preferences.setRecordingRegion(false);
    preferences.setSystemAudio(false);
    preferences.setMicrophone(false);
    preferences.setFrameRate(30);
    preferences.setRecordingLongEdge(1920);
    model_->startRecording(DesktopScreens::displayID(QGuiApplication::primaryScreen()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return model_->recorder().state() == State::recording; }, 20000))
        << model_->status().toStdString();
    EXPECT_EQ(model_->status(), QStringLiteral("녹화 중 · Ctrl+Shift+4로 종료"));
    EXPECT_FALSE(model_->isBusy());
    EXPECT_FALSE(library_.isVisible());
    QTest::qWait(3000);
    model_->toggleRecording();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !model_->items().empty() && !model_->isBusy(); }, 60000))
        << model_->status().toStdString();

    const CaptureItem &video = model_->items().front();
    EXPECT_EQ(video.kind, CaptureKind::video);
    ASSERT_TRUE(video.duration);
    EXPECT_GT(*video.duration, 2.0);
    EXPECT_LT(*video.duration, 6.0);
    EXPECT_EQ(model_->status(), QStringLiteral("00:0%1 녹화를 저장했습니다.").arg(int(*video.duration)));
    EXPECT_EQ(model_->section(), LibrarySection::videos);
    EXPECT_EQ(model_->pendingRecordingCount(), 0);
    EXPECT_TRUE(QDir(model_->repository().root() + QStringLiteral("/Recordings")).entryList(QDir::Files).isEmpty());
    EXPECT_TRUE(library_.isVisible());
}

} // namespace
} // namespace tarn
