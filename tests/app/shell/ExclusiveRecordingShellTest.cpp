// SPDX-License-Identifier: GPL-3.0-or-later
// A screen recording started, taken back, stopped and quit through the whole application shell
// on the test desktop: Ctrl+Shift+4 and the alert's keys typed through the X server, the sheet's
// start button clicked with the pointer, termination signals sent to this process, and the real
// recorder writing real video into the library.
#include <csignal>
#include <optional>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>
#include <unistd.h>

#include "app/capture/OwnWindows.h"
#include "app/floating/CountdownView.h"
#include "app/floating/FloatingWindows.h"
#include "app/model/AppModel.h"
#include "app/settings/RecordingSetupView.h"
#include "app/shell/LibraryWindow.h"
#include "app/shell/QuitController.h"
#include "app/shell/StatusMenu.h"
#include "app/shell/TarnAppDelegate.h"
#include "core/text/TextRecognizer.h"
#include "support/RecordedVideo.h"
#include "support/TrayIcon.h"
#include "support/WindowStacking.h"
#include "support/XInput.h"

namespace tarn {
namespace {

using State = RecordingService::State;

// Types a global hot key until what it should do has happened. On the shared test desktop another
// test's menu or list popup may hold the keyboard grab for a moment, and the key then goes there.
template <typename Done> bool pressUntil(const QString &keys, Done done)
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), keys}) != 0)
            return false;
        if (QTest::qWaitFor(done, 3000))
            return true;
    }
    return false;
}

// Our windows a recording would show: ordinary windows and alerts; the panels (countdown, HUD)
// and the tray icon aside.
QStringList ourWindowsOnScreen()
{
    QStringList shown;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        const Qt::WindowType type = widget->windowType();
        if (widget->isVisible() && (type == Qt::Window || type == Qt::Dialog) &&
            !widget->windowFlags().testFlag(Qt::WindowStaysOnTopHint) && !OwnWindows::isTrayIcon(widget))
            shown << QLatin1String(widget->metaObject()->className()) + u' ' + widget->windowTitle();
    }
    return shown;
}

// What the application had done when it asked to end the process.
struct AtExit {
    int status = -1;
    int videos = 0;
    QStringList recordingsLeft;
};

class ExclusiveRecordingShell : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (QGuiApplication::platformName() != QStringLiteral("xcb"))
            GTEST_SKIP() << "needs the test desktop";
    }

    void TearDown() override
    {
        if (!delegate_)
            return;
        // A failed check may leave a recording running: it ends before the application goes.
        RecordingService &recorder = app().recorder();
        if (recorder.state() != State::idle)
            recorder.stop();
        (void)QTest::qWaitFor([&] { return recorder.state() == State::idle && !app().isBusy(); }, 30000);
        if (QMessageBox *alert = delegate_->quitController()->alert())
            delete alert;
        preferences_.reset();
        delegate_.reset();
    }

    // A launched application on a new library, recording the whole screen at a light setting
    // (quick to encode on a small machine); the preferences come back afterwards.
    void launch(const QString &name)
    {
        root_ = dir_.filePath(name);
        delegate_ = std::make_unique<TarnAppDelegate>(root_, false, std::nullopt);
        QSignalSpy started(delegate_.get(), &TarnAppDelegate::startUpFinished);
        delegate_->applicationDidFinishLaunching();
        ASSERT_TRUE(started.count() > 0 || started.wait(20000));
        ASSERT_TRUE(QTest::qWaitForWindowActive(delegate_->libraryWindow()));
        Preferences &preferences = app().preferences();
        preferences_.emplace(preferences);
        preferences.setFrameRate(30);
        preferences.setRecordingLongEdge(1920);
        preferences.setSystemAudio(false);
        preferences.setMicrophone(false);
        preferences.setRecordingRegion(false);
        atExit_.reset();
        QObject::connect(delegate_.get(), &TarnAppDelegate::exitRequested, delegate_.get(), [this](int status) {
            AtExit seen{status, 0, recordingFiles()};
            for (const CaptureItem &item : app().items())
                seen.videos += item.kind == CaptureKind::video ? 1 : 0;
            atExit_ = seen;
        });
    }

    AppModel &app() const { return delegate_->app(); }

    QStringList recordingFiles() const
    {
        return QDir(root_ + QStringLiteral("/Recordings")).entryList(QDir::Files | QDir::Hidden);
    }

    // Ctrl+Shift+4 brings the sheet; its start button is clicked. Returns once the countdown runs.
    void startFromTheSheet()
    {
        RecordingSetupView *sheet = nullptr;
        ASSERT_TRUE(pressUntil(QStringLiteral("ctrl+shift+4"), [&] {
            sheet = delegate_->libraryWindow()->findChild<RecordingSetupView *>();
            return sheet && sheet->isVisible();
        }));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(sheet));
        // Clicked through the sheet's own window: on the shared test desktop another test's new
        // window may cover it for a moment.
        const QWidget *start = sheet->startButton();
        QTest::mouseClick(sheet->window()->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                          start->mapTo(sheet->window(), start->rect().center()));
        ASSERT_TRUE(QTest::qWaitFor([&] { return app().floating().countdownPanel != nullptr; }, 5000));
    }

    // The preferences as the test found them.
    struct SavedPreferences {
        explicit SavedPreferences(Preferences &preferences)
            : preferences(preferences),
              frameRate(preferences.frameRate()),
              longEdge(preferences.recordingLongEdge()),
              systemAudio(preferences.systemAudio()),
              microphone(preferences.microphone()),
              region(preferences.recordingRegion())
        { }
        ~SavedPreferences()
        {
            preferences.setFrameRate(frameRate);
            preferences.setRecordingLongEdge(longEdge);
            preferences.setSystemAudio(systemAudio);
            preferences.setMicrophone(microphone);
            preferences.setRecordingRegion(region);
        }
        Preferences &preferences;
        int frameRate, longEdge;
        bool systemAudio, microphone, region;
    };

    QTemporaryDir dir_;
    QString root_;
    std::unique_ptr<TarnAppDelegate> delegate_;
    std::optional<SavedPreferences> preferences_;
    std::optional<AtExit> atExit_;
};

// During the countdown, the library and the settings asked for from the status item wait, and
// Ctrl+Shift+4 again takes the start back: the windows return with what was asked for (and no
// second recording sheet), nothing records and nothing is left in "Recordings"; nothing holds
// the application back from a termination signal afterwards.
TEST_F(ExclusiveRecordingShell, CtrlShift4DuringTheCountdownTakesTheStartBack)
{
    launch(QStringLiteral("library"));
    ASSERT_TRUE(QTest::qWaitFor([] { return TestSupport::visibleTrayIcon() != nullptr; }, 5000))
        << "the test desktop runs a tray host";
    startFromTheSheet();
    EXPECT_TRUE(ourWindowsOnScreen().isEmpty()) << ourWindowsOnScreen().join(u'|').toStdString();
    QTest::qWait(500);
    TestSupport::click(TestSupport::visibleTrayIcon());
    QMenu *menu = delegate_->statusMenu()->menu();
    TestSupport::click(TestSupport::visibleTrayIcon(), std::nullopt, 3);
    ASSERT_TRUE(QTest::qWaitFor([&] { return menu->isVisible(); }, 5000));
    const QList<QAction *> actions = menu->actions();
    const auto settings = std::find_if(actions.begin(), actions.end(),
                                       [](QAction *action) { return action->text() == QStringLiteral("설정…"); });
    ASSERT_NE(settings, actions.end());
    TestSupport::click(menu, menu->actionGeometry(*settings).center());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !menu->isVisible(); }, 5000));
    QTest::qWait(300);
    EXPECT_TRUE(ourWindowsOnScreen().isEmpty()) << ourWindowsOnScreen().join(u'|').toStdString();
    EXPECT_TRUE(app().recordingStarting());

    ASSERT_TRUE(pressUntil(QStringLiteral("ctrl+shift+4"), [&] { return !app().recordingStarting(); }));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !app().isBusy(); }, 10000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return delegate_->libraryWindow()->isVisible(); }, 5000));
    EXPECT_EQ(app().sheet(), AppSheet::settings);
    QTest::qWait(3000); // past the end the countdown would have had
    EXPECT_EQ(app().recorder().state(), State::idle);
    EXPECT_FALSE(app().floating().recordingPanel);
    EXPECT_TRUE(recordingFiles().isEmpty()) << recordingFiles().join(u'|').toStdString();

    ::kill(::getpid(), SIGTERM);
    ASSERT_TRUE(QTest::qWaitFor([&] { return atExit_.has_value(); }, 5000)) << "the application should quit";
    EXPECT_EQ(atExit_->status, 0);
}

// Ctrl+Shift+4 typed in another program, with an alert over the library, and 녹화 시작 clicked in the
// sheet: the keys go back to that program, not to the library or its alert, once 취소 on the
// countdown has taken the start back, and stay there while it records and once the film stopped
// from there is in the library.
TEST_F(ExclusiveRecordingShell, TheKeysGoBackToTheProgramTheSheetWasAskedFrom)
{
    QProcess other;
    other.start(QStringLiteral("xmessage"), QStringLiteral("-title other -geometry +1450+120 other").split(u' '));
    const uint32_t otherWindow = TestSupport::managedWindowTitled(QStringLiteral("other"));
    ASSERT_NE(otherWindow, 0u);
    launch(QStringLiteral("library"));
    app().showError(QStringLiteral("가져오지 못했습니다."));
    ASSERT_TRUE(TestSupport::settles([] {
        const QWidget *alert = QApplication::activeModalWidget();
        return alert && TestSupport::activeWindow() == alert->winId();
    }));
    const auto otherHasTheKeys = [&] {
        return TestSupport::settles([&] { return TestSupport::activeWindow() == otherWindow; }, 10000);
    };
    for (const bool recorded : {false, true}) {
        TestSupport::xdotool(
            {QStringLiteral("windowactivate"), QStringLiteral("--sync"), QString::number(otherWindow)});
        ASSERT_TRUE(otherHasTheKeys());
        startFromTheSheet();
        if (recorded) {
            ASSERT_TRUE(QTest::qWaitFor([&] { return app().recorder().state() == State::recording; }, 20000));
            EXPECT_TRUE(otherHasTheKeys());
            ASSERT_TRUE(pressUntil(QStringLiteral("ctrl+shift+4"),
                                   [&] { return app().recorder().state() != State::recording; }));
        } else {
            QWidget *countdown = app().floating().countdownPanel.get();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(countdown));
            TestSupport::click(countdown->findChild<CountdownView *>()->cancelButton());
        }
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return app().items().size() == size_t(recorded) && !app().isBusy(); }, 30000));
        EXPECT_EQ(app().recorder().state(), State::idle);
        EXPECT_TRUE(otherHasTheKeys()) << "recorded " << recorded;
    }
    other.kill();
    other.waitForFinished();
}

// A recording films no window of ours but its bar: a pin and the quick-capture panel on the recorded
// screen are in no frame, not one pixel, and come back where they were. The bar's time is the
// film's: a quarter second into a second of the film it reads that second or, on a machine too
// busy to paint it at once, an earlier one, never a later one and never going back.
TEST_F(ExclusiveRecordingShell, TheFilmShowsNoWindowOfOursButTheBarWhoseTimeIsTheFilms)
{
    launch(QStringLiteral("library"));
    QImage picture(400, 300, QImage::Format_RGB32);
    picture.fill(QColor(255, 0, 255)); // found nowhere else on the test desktop
    FloatingWindows &floating = app().floating();
    floating.setCaptureDismissalDelay(std::chrono::minutes(2));
    floating.pin(picture, QStringLiteral("표적"));
    floating.showCapture(CaptureItem{}, picture, app());
    QWidget *pin = floating.windows().back(), *panel = floating.capturePanel();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(pin) && QTest::qWaitForWindowExposed(panel));
    const QRect pinFrame = pin->frameGeometry(), panelFrame = panel->frameGeometry();
    startFromTheSheet();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return app().recorder().state() == State::recording && app().floating().recordingPanel; }, 20000));
    const QRect times = app().floating().recordingPanel->geometry().adjusted(20, 0, -150, 0);
    QTest::qWait(4500);
    ASSERT_TRUE(
        pressUntil(QStringLiteral("ctrl+shift+4"), [&] { return app().recorder().state() != State::recording; }));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !app().items().empty() && !app().isBusy(); }, 30000));

    const QString film = app().repository().originalURL(app().items().front());
    TextRecognizer reader;
    static const QRegularExpression shown(QStringLiteral("00:0(\\d)"));
    int before = 0;
    for (const int second : {2, 3, 4}) {
        const std::vector<QImage> frame = TestSupport::decodedFrames(
            film, QSize(1920, 1080), QStringLiteral("-ss %1 -frames:v 1").arg(second + 0.25).split(u' '));
        ASSERT_EQ(frame.size(), size_t(1));
        const std::string read = reader.recognize(frame.front().copy(times)).text();
        const QRegularExpressionMatch time = shown.match(QString::fromStdString(read));
        ASSERT_TRUE(time.hasMatch()) << second << " s: " << read;
        EXPECT_LE(time.captured(1).toInt(), second) << read;
        EXPECT_GE(time.captured(1).toInt(), before) << read;
        before = time.captured(1).toInt();
    }
    const std::vector<QImage> frames = TestSupport::decodedFrames(film, QSize(480, 270));
    EXPECT_GT(frames.size(), size_t(60));
    for (size_t i = 0; i < frames.size(); ++i)
        for (int at = 0; at < 480 * 270; ++at) {
            const QColor c = frames[i].pixelColor(at % 480, at / 480);
            ASSERT_FALSE(c.red() > 180 && c.green() < 90 && c.blue() > 180) << "frame " << i << " pixel " << at;
        }
    EXPECT_TRUE(pin->isVisible() && panel->isVisible());
    EXPECT_EQ(pin->frameGeometry(), pinFrame);
    EXPECT_EQ(panel->frameGeometry(), panelFrame);
}

// A termination signal during the countdown takes the start back, as Ctrl+Shift+4 does, and the
// application then quits: nothing recorded or left in "Recordings", nothing of ours on the screen.
TEST_F(ExclusiveRecordingShell, ASignalDuringTheCountdownTakesTheStartBackAndQuits)
{
    for (const int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signal);
        launch(QStringLiteral("library-%1").arg(signal));
        startFromTheSheet();
        QTest::qWait(1000);
        ::kill(::getpid(), signal);
        QStringList intruders;
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                if (app().recordingStarting())
                    intruders += ourWindowsOnScreen();
                return atExit_.has_value();
            },
            10000))
            << "recorder state " << int(app().recorder().state());
        EXPECT_TRUE(intruders.isEmpty()) << intruders.join(u'|').toStdString();
        EXPECT_EQ(atExit_->status, 0);
        EXPECT_EQ(atExit_->videos, 0);
        EXPECT_TRUE(atExit_->recordingsLeft.isEmpty()) << atExit_->recordingsLeft.join(u'|').toStdString();
        TearDown();
    }
}

// A termination signal during a recording waits: the alert says it stops and saves the
// recording. Stopping it with the alert's default button or with Ctrl+Shift+4 imports the video,
// and only then does the application quit: the video is in the library and "Recordings" is empty.
TEST_F(ExclusiveRecordingShell, ASignalQuitsOnlyOnceTheStoppedRecordingIsInTheLibrary)
{
    const struct {
        const char *name;
        int signal;
        QString stopKeys; // typed once the alert is up; none: Return on the alert's window
    } cases[] = {
        {"SIGINT, Ctrl+Shift+4", SIGINT, QStringLiteral("ctrl+shift+4")},
        {"SIGHUP (the terminal closed), the alert's button", SIGHUP, QString()},
    };
    int run = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        launch(QStringLiteral("library-%1").arg(++run));
        startFromTheSheet();
        ASSERT_TRUE(QTest::qWaitFor([&] { return app().recorder().state() == State::recording; }, 20000))
            << app().status().toStdString();
        QTest::qWait(1000);
        ::kill(::getpid(), c.signal);
        QMessageBox *alert = nullptr;
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                alert = delegate_->quitController()->alert();
                return alert && alert->isVisible();
            },
            5000));
        EXPECT_EQ(alert->text(), QStringLiteral("진행 중인 녹화를 먼저 저장해 주세요."));
        QStringList buttons;
        for (QAbstractButton *button : alert->buttons())
            buttons << button->text();
        buttons.sort();
        EXPECT_EQ(buttons, (QStringList{QStringLiteral("계속 녹화"), QStringLiteral("녹화 종료 및 저장")}));
        EXPECT_EQ(alert->defaultButton()->text(), QStringLiteral("녹화 종료 및 저장"));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(alert));
        QTest::qWait(1000); // a second more of recording
        EXPECT_FALSE(atExit_) << "a recording holds the application";

        // The alert's key goes to its own window: on the shared test desktop another test's new
        // window may take the focus or cover the alert for a moment.
        if (c.stopKeys.isEmpty())
            QTest::keyClick(alert->windowHandle(), Qt::Key_Return);
        else
            ASSERT_TRUE(
                pressUntil(c.stopKeys, [&] { return app().recorder().state() != State::recording || atExit_; }));
        ASSERT_TRUE(QTest::qWaitFor([&] { return atExit_.has_value(); }, 30000))
            << app().status().toStdString() << ", recorder state " << int(app().recorder().state());
        EXPECT_EQ(atExit_->status, 0);
        EXPECT_EQ(atExit_->videos, 1);
        EXPECT_TRUE(atExit_->recordingsLeft.isEmpty()) << atExit_->recordingsLeft.join(u'|').toStdString();
        TearDown();
    }
}

} // namespace
} // namespace tarn
