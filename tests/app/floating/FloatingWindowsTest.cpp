// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <cmath>
#include <map>

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QProcess>
#include <QPromise>
#include <QScreen>
#include <QSlider>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QVideoWidget>
#include <gtest/gtest.h>

#include "app/capture/DesktopScreens.h"
#include "app/capture/OwnWindows.h"
#include "app/floating/CountdownView.h"
#include "app/floating/ExtractedTextView.h"
#include "app/floating/FloatingWindows.h"
#include "app/floating/PinView.h"
#include "app/floating/QuickCaptureView.h"
#include "app/floating/RecordingHUD.h"
#include "app/floating/VideoPlayerView.h"
#include "app/widgets/Theme.h"
#include "platform/RecorderBackend.h"
#include "platform/ScreenSource.h"
#include "platform/x11/X11Connection.h"
#include "support/Await.h"

namespace tarn {
namespace {

// Every floating window is photographed into the build folder for review by eye.
void photograph(QWidget *widget, const QString &name)
{
    QDir().mkpath(QStringLiteral(TARN_TEST_OUTPUT_DIR));
    widget->grab().save(QStringLiteral(TARN_TEST_OUTPUT_DIR "/floating-%1.png").arg(name));
}

// How a panel really looks on the desktop (mask, position), with a margin around it.
void photographOnScreen(QWidget *widget, const QString &name)
{
    QTest::qWait(150);
    const QRect area = widget->frameGeometry().adjusted(-16, -16, 16, 16);
    DesktopScreens::source()
        .grab(area, false)
        .save(QStringLiteral(TARN_TEST_OUTPUT_DIR "/floating-%1-screen.png").arg(name));
}

QImage sampleImage(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, size.width(), size.height());
    gradient.setColorAt(0, QColor(0x17, 0x54, 0x59));
    gradient.setColorAt(1, QColor(0xD1, 0xE3, 0xA8));
    painter.fillRect(image.rect(), gradient);
    painter.setPen(Qt::white);
    QFont font = painter.font();
    font.setPixelSize(size.height() / 6);
    painter.setFont(font);
    painter.drawText(image.rect(), Qt::AlignCenter, QStringLiteral("Tarnwick 캡처"));
    return image;
}

std::vector<QWidget *> pinsOf(const FloatingWindows &floating)
{
    std::vector<QWidget *> pins;
    for (QWidget *window : floating.windows())
        if (window->objectName() == FloatingWindows::pinIdentifier)
            pins.push_back(window);
    return pins;
}

// A recorder session that starts at once, counts stop requests and reports the progress the
// test sets; enough to drive a real RecordingService under the HUD.
class ScriptedSession : public RecorderSession {
public:
    QFuture<QString> startCapture() override { return QtFuture::makeReadyFuture(QString()); }
    QFuture<QString> stopCapture() override
    {
        ++stops;
        stopped.start();
        return stopped.future(); // never answered: the recorder stays in `stopping`
    }
    void abort() override { }
    bool isClosed() const override { return false; }
    double recordedSeconds() const override { return seconds; }
    int64_t recordedBytes() const override { return bytes; }

    QPromise<QString> stopped;
    int stops = 0;
    double seconds = 0;
    int64_t bytes = 0;
};

class ScriptedBackend : public RecorderBackend {
public:
    QFuture<bool> checkMicrophone() override { return QtFuture::makeReadyFuture(true); }
    std::unique_ptr<RecorderSession> createSession(const RecorderRequest &) override
    {
        auto created = std::make_unique<ScriptedSession>();
        session = created.get();
        return created;
    }
    ScriptedSession *session = nullptr;
};

class FloatingWindowsTest : public ::testing::Test {
protected:
    void SetUp() override { Theme::useIconTheme(); }
};

// Pins fit the image within their limits without enlarging it. A region recording would film
// the HUD at the top centre: it moves below the region, above it when the bottom has no room,
// and stays at the top when the region leaves it alone.
TEST(FloatingWindowsGeometry, PinsFitTheImageAndTheHudLeavesTheRecordedRegion)
{
    EXPECT_EQ(FloatingWindows::pinSize({4000, 1000}), QSize(480, 150));
    EXPECT_EQ(FloatingWindows::pinSize({100, 80}), QSize(220, 150));
    EXPECT_EQ(FloatingWindows::pinSize({960, 840}), QSize(480, 420));
    EXPECT_EQ(FloatingWindows::pinSize({300, 1000}), QSize(220, 420));
    EXPECT_EQ(FloatingWindows::capturePanelOrigin(QRect(0, 0, 1920, 1080)), QPoint(1586, 840));
    EXPECT_EQ(FloatingWindows::recordingPanelOrigin(QRect(1920, 30, 2560, 1410)), QPoint(1920 + 1280 - 145, 48));

    const QRect screen(0, 0, 1920, 1080);
    EXPECT_EQ(FloatingWindows::recordingPanelOrigin(screen, QRect(100, 400, 300, 200)), QPoint(815, 18));
    EXPECT_EQ(FloatingWindows::recordingPanelOrigin(screen, QRect(700, 0, 500, 300)), QPoint(804, 312));
    EXPECT_EQ(FloatingWindows::recordingPanelOrigin(screen, QRect(700, 0, 500, 1040)), QPoint(1212, 493));
    EXPECT_EQ(FloatingWindows::recordingPanelOrigin(screen, screen), QPoint(815, 18)) << "no room anywhere";
}

using ExclusiveFloatingWindows = FloatingWindowsTest;

// A ninth pin closes the oldest; a minimized pin still counts, so never more than eight are
// open. The opacity slider fades the window between 25 and 100 %.
TEST_F(ExclusiveFloatingWindows, AtMostEightPinsStayOpenAndTheSliderFadesThePin)
{
    FloatingWindows floating;
    for (int i = 0; i < 8; ++i)
        floating.pin(sampleImage({640, 400}), QStringLiteral("캡처 %1").arg(i + 1));
    std::vector<QWidget *> pins = pinsOf(floating);
    ASSERT_EQ(pins.size(), 8u);
    QPointer<QWidget> oldest = pins[0];
    pins[1]->showMinimized();
    QTest::qWait(100);

    floating.pin(sampleImage({4000, 1000}), QStringLiteral("와이드"));
    QTest::qWait(50);
    pins = pinsOf(floating);
    EXPECT_EQ(pins.size(), 8u);
    EXPECT_TRUE(!oldest || !oldest->isVisible()) << "the oldest pin was closed";
    int open = 0;
    for (QWidget *widget : QApplication::topLevelWidgets())
        open +=
            widget->objectName() == FloatingWindows::pinIdentifier && (widget->isVisible() || widget->isMinimized());
    EXPECT_LE(open, 8);

    QWidget *wide = pins.back();
    EXPECT_EQ(wide->windowTitle(), QStringLiteral("고정 · 와이드"));
    EXPECT_EQ(wide->size(), QSize(480, 150));

    auto *view = wide->findChild<PinView *>();
    ASSERT_NE(view, nullptr);
    view->slider()->setValue(10);
    EXPECT_EQ(view->slider()->value(), 25);
    EXPECT_EQ(view->percentText(), QStringLiteral("25%"));
    EXPECT_NEAR(wide->windowOpacity(), 0.25, 0.01); // the window system keeps 8 bits
    view->slider()->setValue(100);
    EXPECT_NEAR(wide->windowOpacity(), 1.0, 0.01);
    photograph(pins[2], QStringLiteral("pin"));
    photograph(wide, QStringLiteral("pin-wide"));
}

TEST_F(ExclusiveFloatingWindows, ClosingPinsLeavesTextWindowsAndTheTextCopiesOnce)
{
    FloatingWindows floating;
    const QString text =
        QStringLiteral("회의록 2026-12-07\n참석자: 김하늘, 이도윤\nhello@example.com\n다음 일정: 금요일 오후 3시");
    floating.showText(text);
    floating.pin(sampleImage({300, 200}), QStringLiteral("하나"));
    floating.pin(sampleImage({300, 200}), QStringLiteral("둘"));
    ASSERT_EQ(floating.windows().size(), 3u);

    floating.closePins();
    QTest::qWait(50);
    ASSERT_EQ(floating.windows().size(), 1u);
    QWidget *window = floating.windows().front();

    auto *view = window->findChild<ExtractedTextView *>();
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    photograph(window, QStringLiteral("text"));
    // 6 points between the lines, not the font's bare line spacing.
    const QTextDocument *document = view->textArea()->document();
    const QTextBlock first = document->firstBlock();
    EXPECT_GE(document->documentLayout()->blockBoundingRect(first.next()).top() -
                  document->documentLayout()->blockBoundingRect(first).top(),
              QFontMetricsF(view->textArea()->font()).lineSpacing() + 5.5);
    QTest::mouseClick(view->copyButton(), Qt::LeftButton);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), text);
    EXPECT_EQ(view->copyButton()->text(), QStringLiteral("복사 완료"));
    QGuiApplication::clipboard()->setText(QStringLiteral("something else"));
    QTest::mouseClick(view->copyButton(), Qt::LeftButton);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), text) << "a second press copies again";
    EXPECT_EQ(view->copyButton()->text(), QStringLiteral("복사 완료"));
    photograph(window, QStringLiteral("text-copied"));

    window->close();
    QTest::qWait(50);
    EXPECT_TRUE(floating.windows().empty());
}

// Relative luminance and contrast ratio as the web accessibility guidelines define them.
double luminance(const QColor &colour)
{
    const auto linear = [](double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) + 0.0722 * linear(colour.blueF());
}
double contrast(const QColor &a, const QColor &b)
{
    const double one = luminance(a), other = luminance(b);
    return (std::max(one, other) + 0.05) / (std::min(one, other) + 0.05);
}

// The ground of a picture (its most common colour) and its ink (the colour that stands out most).
std::pair<QColor, QColor> groundAndInk(const QImage &picture)
{
    std::map<QRgb, int> counts;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            ++counts[picture.pixel(x, y)];
    const QColor ground(std::max_element(counts.begin(), counts.end(), [](const auto &a, const auto &b) {
                            return a.second < b.second;
                        })->first);
    QColor ink = ground;
    for (const auto &[rgb, count] : counts)
        if (contrast(QColor(rgb), ground) > contrast(ink, ground))
            ink = QColor(rgb);
    return {ground, ink};
}

// The middle of the first selected line, in the text area's viewport: where the selected glyphs
// stand on the selection.
QRect selectedGlyphs(const QTextEdit *area)
{
    const QTextCursor selection = area->textCursor();
    QTextCursor from(area->document());
    from.setPosition(selection.selectionStart());
    QTextCursor to = from;
    to.setPosition(std::min(selection.selectionEnd(), from.block().position() + from.block().length() - 1));
    const QRect first = area->cursorRect(from), last = area->cursorRect(to);
    return QRect(QPoint(first.right() + 1, first.top() + first.height() / 4),
                 QPoint(last.left() - 1, first.bottom() - first.height() / 4));
}

// Text picked out by hand in the extracted-text window reads on its selection, and Ctrl+C copies
// what was picked.
TEST_F(ExclusiveFloatingWindows, TextSelectedInTheTextWindowReadsAndCopies)
{
    Theme::useDarkAppearance();
    FloatingWindows floating;
    const QString text = QStringLiteral("영수증 번호 4821 합계\nhello@example.com");
    floating.showText(text);
    QWidget *window = floating.windows().front();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    QTextEdit *area = window->findChild<ExtractedTextView *>()->textArea();
    const QColor unselected =
        area->viewport()->grab().toImage().pixelColor(area->viewport()->width() - 4, area->viewport()->height() - 4);
    const auto wordAt = [&](const QString &word) {
        QTextCursor cursor(area->document());
        cursor.setPosition(int(text.indexOf(word)) + int(word.size()) / 2);
        return area->viewport()->mapTo(window, area->cursorRect(cursor).center());
    };
    const struct {
        const char *how;
        std::function<void()> select;
        QString picked;
    } cases[] = {
        {"a word double-clicked",
         [&] { QTest::mouseDClick(window->windowHandle(), Qt::LeftButton, {}, wordAt(QStringLiteral("4821"))); },
         QStringLiteral("4821")},
        {"everything with Ctrl+A", [&] { QTest::keyClick(window->windowHandle(), Qt::Key_A, Qt::ControlModifier); },
         text},
    };
    for (const auto &step : cases) {
        SCOPED_TRACE(step.how);
        step.select();
        QTest::qWait(50);
        QTest::keyClick(window->windowHandle(), Qt::Key_C, Qt::ControlModifier);
        EXPECT_EQ(QGuiApplication::clipboard()->text(), step.picked);

        const QRect glyphs = selectedGlyphs(area);
        ASSERT_GT(glyphs.width(), 8);
        const auto [ground, ink] = groundAndInk(area->viewport()->grab().toImage().copy(glyphs));
        EXPECT_NE(ground, unselected) << "the selection does not show";
        EXPECT_GE(contrast(ground, ink), 4.5) << ink.name().toStdString() << " on " << ground.name().toStdString();
    }
    photograph(window, QStringLiteral("text-selected"));
    window->close();
}

// Records what the panel asked the model to do, and whether the panel was gone by then.
struct RecordingActions : QuickCaptureActions {
    FloatingWindows *floating = nullptr;
    QStringList calls;
    bool panelGoneAtOpen = false;
    void openItem(const CaptureItem &item, QScreen *) override
    {
        calls << QStringLiteral("open ") + QString::fromStdString(item.title);
        panelGoneAtOpen = floating->capturePanel() == nullptr;
    }
    void copyItem(const CaptureItem &item) override
    {
        calls << QStringLiteral("copy ") + QString::fromStdString(item.title);
    }
    void pin(const CaptureItem &item, QScreen *) override
    {
        calls << QStringLiteral("pin ") + QString::fromStdString(item.title);
    }
};

TEST_F(ExclusiveFloatingWindows, QuickCapturePanelActsClosesAndDismissesItself)
{
    FloatingWindows floating;
    RecordingActions actions;
    actions.floating = &floating;
    CaptureItem item;
    item.title = "스크린샷";

    floating.showCapture(item, sampleImage({1280, 720}), actions);
    FloatingPanel *panel = floating.capturePanel();
    ASSERT_NE(panel, nullptr);
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(panel->pos(), FloatingWindows::capturePanelOrigin(available));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(panel));
    photograph(panel, QStringLiteral("quick-capture"));
    photographOnScreen(panel, QStringLiteral("quick-capture"));

    auto *view = panel->findChild<QuickCaptureView *>();
    QTest::mouseClick(view->copyButton(), Qt::LeftButton);
    EXPECT_EQ(floating.capturePanel(), nullptr);
    floating.showCapture(item, sampleImage({400, 300}), actions);
    QTest::mouseClick(floating.capturePanel()->findChild<QuickCaptureView *>()->editButton(), Qt::LeftButton);
    EXPECT_TRUE(actions.panelGoneAtOpen);
    floating.showCapture(item, sampleImage({400, 300}), actions);
    QTest::mouseClick(floating.capturePanel()->findChild<QuickCaptureView *>()->pinButton(), Qt::LeftButton);
    EXPECT_EQ(actions.calls,
              (QStringList{QStringLiteral("copy 스크린샷"), QStringLiteral("open 스크린샷"),
                           QStringLiteral("pin 스크린샷")}));
    EXPECT_EQ(floating.capturePanel(), nullptr);

    // A second capture within the delay replaces the first and gets the full delay itself.
    floating.setCaptureDismissalDelay(std::chrono::milliseconds(400));
    floating.showCapture(item, sampleImage({400, 300}), actions);
    QTest::qWait(250);
    floating.showCapture(item, sampleImage({400, 300}), actions);
    QPointer<FloatingPanel> second = floating.capturePanel();
    QTest::qWait(250);
    EXPECT_EQ(floating.capturePanel(), second.data());
    QTest::qWait(300);
    EXPECT_EQ(floating.capturePanel(), nullptr);

    // Closed by hand, then the delay passes: nothing else happens.
    floating.showCapture(item, sampleImage({400, 300}), actions);
    QTest::mouseClick(floating.capturePanel()->findChild<QuickCaptureView *>()->closeButton(), Qt::LeftButton);
    EXPECT_EQ(floating.capturePanel(), nullptr);
    QTest::qWait(450);
    EXPECT_EQ(floating.capturePanel(), nullptr);
    EXPECT_EQ(actions.calls.size(), 3);
}

// What the window manager says of a window: on every desktop (0xFFFFFFFF), and sticky when it
// knows that state (openbox does not).
bool onEveryDesktop(X11::Connection &x, QWidget *window)
{
    const auto has = [](const std::optional<std::vector<uint32_t>> &atoms, xcb_atom_t atom) {
        return atoms && std::find(atoms->begin(), atoms->end(), atom) != atoms->end();
    };
    const auto id = uint32_t(window->winId());
    const auto desktop = x.cardinals(id, x.atom("_NET_WM_DESKTOP"), XCB_ATOM_CARDINAL);
    const xcb_atom_t sticky = x.atom("_NET_WM_STATE_STICKY");
    const bool knowsSticky = has(x.cardinals(x.root(), x.atom("_NET_SUPPORTED"), XCB_ATOM_ATOM), sticky);
    return desktop && desktop->size() == 1 && desktop->front() == 0xFFFFFFFFu &&
        (!knowsSticky || has(x.cardinals(id, x.atom("_NET_WM_STATE"), XCB_ATOM_ATOM), sticky));
}

// Pins carry their identifier as the window role. Pins and panels are on every desktop when
// they appear, and again after something hid them and showed them (a capture hides our windows
// for the grab): the window manager forgets a hidden window's desktop.
TEST_F(ExclusiveFloatingWindows, PinsAndPanelsStayOnEveryDesktopWhenShownAgain)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        GTEST_SKIP() << "needs the X display and its window manager";
    X11::Connection x;
    FloatingWindows floating;
    floating.pin(sampleImage({320, 200}), QStringLiteral("고정"));
    floating.showCountdown(3);
    const std::vector<QWidget *> windows{pinsOf(floating).front(), floating.countdownPanel.get()};
    // Other clients know a pin by its role.
    EXPECT_EQ(x.bytes(uint32_t(windows.front()->winId()), x.atom("WM_WINDOW_ROLE"), XCB_ATOM_STRING),
              FloatingWindows::pinIdentifier.toStdString());
    for (int round = 0; round < 2; ++round) {
        for (QWidget *window : windows)
            EXPECT_TRUE(QTest::qWaitFor([&] { return onEveryDesktop(x, window); }, 3000))
                << window->windowTitle().toStdString() << " in round " << round;
        OwnWindows hidden = OwnWindows::hideVisible();
        QTest::qWait(200);
        hidden.restore();
    }
    floating.countdownPanel.reset();
}

TEST_F(ExclusiveFloatingWindows, CountdownReusesOnePanelWhereverItWasDragged)
{
    FloatingWindows floating;
    int cancels = 0;
    QObject::connect(&floating, &FloatingWindows::countdownCancelled, &floating, [&] { ++cancels; });
    floating.showCountdown(3);
    FloatingPanel *panel = floating.countdownPanel.get();
    ASSERT_NE(panel, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(panel));
    photograph(panel, QStringLiteral("countdown"));
    photographOnScreen(panel, QStringLiteral("countdown"));
    // Dragged by its background (the content passes the press on to the panel).
    const QPoint before = panel->pos();
    QWidget *content = panel->content();
    QTest::mousePress(content, Qt::LeftButton, {}, QPoint(20, 20));
    QTest::mouseMove(content, QPoint(-180, 140));
    QTest::mouseRelease(content, Qt::LeftButton, {}, QPoint(-180, 140));
    QTest::qWait(100);
    const QPoint dragged = panel->pos();
    EXPECT_EQ(dragged, before + QPoint(-200, 120));

    floating.showCountdown(2);
    floating.showCountdown(12);
    EXPECT_EQ(floating.countdownPanel.get(), panel);
    EXPECT_EQ(panel->pos(), dragged);
    auto *view = panel->findChild<CountdownView *>(QString(), Qt::FindDirectChildrenOnly);
    QTest::qWait(20); // the replaced views go away from the event loop
    view = nullptr;
    for (CountdownView *candidate : panel->findChildren<CountdownView *>())
        if (candidate == panel->content())
            view = candidate;
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->numberText(), QStringLiteral("12"));
    QTest::mouseClick(view->cancelButton(), Qt::LeftButton);
    EXPECT_EQ(cancels, 1);
    photograph(panel, QStringLiteral("countdown-12"));
}

// A test pattern clip of that many seconds, made by ffmpeg; empty when it cannot be made.
QString makeClip(const QTemporaryDir &folder, int seconds)
{
    const QString file = folder.filePath(QStringLiteral("clip.mp4"));
    const int made = QProcess::execute(QStringLiteral("ffmpeg"),
                                       {QStringLiteral("-loglevel"), QStringLiteral("error"), QStringLiteral("-f"),
                                        QStringLiteral("lavfi"), QStringLiteral("-i"),
                                        QStringLiteral("testsrc=size=640x360:rate=30:duration=%1").arg(seconds),
                                        QStringLiteral("-c:v"), QStringLiteral("libx264"), QStringLiteral("-pix_fmt"),
                                        QStringLiteral("yuv420p"), file});
    return made == 0 ? file : QString();
}

TEST_F(ExclusiveFloatingWindows, VideoWindowPlaysTheFileAndPausesWhenClosed)
{
    QTemporaryDir folder;
    const QString file = makeClip(folder, 3);
    if (file.isEmpty())
        GTEST_SKIP() << "ffmpeg cannot make the test video";

    FloatingWindows floating;
    floating.showVideo(QUrl::fromLocalFile(file), QStringLiteral("화면 녹화"));
    ASSERT_EQ(floating.windows().size(), 1u);
    QWidget *window = floating.windows().front();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("화면 녹화"));
    auto *view = window->findChild<VideoPlayerView *>();
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->player()->position() > 300; }, 10000))
        << "state " << view->player()->playbackState() << ", media " << view->player()->mediaStatus() << ", error "
        << view->player()->errorString().toStdString();
    EXPECT_EQ(view->player()->playbackState(), QMediaPlayer::PlayingState);
    QTest::qWait(200);
    const QRect frame = window->frameGeometry();
    DesktopScreens::source().grab(frame, false).save(QStringLiteral(TARN_TEST_OUTPUT_DIR "/floating-video.png"));

    // Shrunk through the window manager as far as it goes, the window keeps a picture to watch
    // and a timeline to seek on.
    const QSize before = window->size();
    ASSERT_EQ(QProcess::execute(QStringLiteral("xdotool"),
                                {QStringLiteral("windowsize"), QString::number(window->winId()), QStringLiteral("10"),
                                 QStringLiteral("10")}),
              0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->size() != before; }, 5000));
    const QWidget *picture = view->findChild<QVideoWidget *>(), *timeline = view->findChild<QSlider *>();
    ASSERT_TRUE(picture && timeline);
    // The layout follows the new size once its queued requests have run.
    EXPECT_TRUE(QTest::qWaitFor([&] { return picture->height() >= 180 && timeline->width() >= 100; }, 5000))
        << picture->height() << " " << timeline->width();
    DesktopScreens::source()
        .grab(window->frameGeometry(), false)
        .save(QStringLiteral(TARN_TEST_OUTPUT_DIR "/floating-video-smallest.png"));

    QPointer<VideoPlayerView> player = view;
    window->close();
    EXPECT_TRUE(!player || player->player()->playbackState() != QMediaPlayer::PlayingState);
    QTest::qWait(50);
    EXPECT_TRUE(floating.windows().empty());
}

// Where the centre of the bar's handle stands, in its window, when the bar shows `share` of its range.
QPoint timelinePoint(QWidget *window, QSlider *bar, double share)
{
    const int length = bar->style()->pixelMetric(QStyle::PM_SliderLength, nullptr, bar);
    const int value = bar->minimum() + int(std::lround(share * (bar->maximum() - bar->minimum())));
    const int x =
        QStyle::sliderPositionFromValue(bar->minimum(), bar->maximum(), value, bar->width() - length) + length / 2;
    return bar->mapTo(window, QPoint(x, bar->height() / 2));
}

// The timeline answers the pointer as a player's does: a click anywhere on it, also once the
// recording has ended, puts playback there, a drag of the handle goes where it is let go, and
// play carries on from that point.
TEST_F(ExclusiveFloatingWindows, VideoTimelineSeeksWhereItIsClickedOrDragged)
{
    QTemporaryDir folder;
    const QString file = makeClip(folder, 2);
    if (file.isEmpty())
        GTEST_SKIP() << "ffmpeg cannot make the test video";
    Theme::useDarkAppearance();
    FloatingWindows floating;
    floating.showVideo(QUrl::fromLocalFile(file), QStringLiteral("화면 녹화"));
    QWidget *window = floating.windows().front();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    auto *view = window->findChild<VideoPlayerView *>();
    QMediaPlayer *player = view->player();
    auto *bar = view->findChild<QSlider *>();
    ASSERT_TRUE(bar);
    ASSERT_TRUE(QTest::qWaitFor([&] { return player->mediaStatus() == QMediaPlayer::EndOfMedia; }, 10000));
    const double duration = double(player->duration());
    const auto near = [&](double share) {
        return QTest::qWaitFor([&] { return std::abs(player->position() - share * duration) < 0.04 * duration; }, 2000);
    };
    QWindow *handle = window->windowHandle();

    const struct {
        const char *how;
        double from; // where a drag begins; below 0 for a click
        double to;
    } cases[] = {
        {"clicked at three quarters after the end", -1, 0.75},
        {"clicked at a quarter", -1, 0.25},
        {"handle dragged from a quarter to three fifths", 0.25, 0.6},
    };
    for (const auto &step : cases) {
        SCOPED_TRACE(step.how);
        const QPoint to = timelinePoint(window, bar, step.to);
        if (step.from < 0) {
            QTest::mouseClick(handle, Qt::LeftButton, {}, to);
        } else {
            const QPoint from = timelinePoint(window, bar, step.from);
            QTest::mousePress(handle, Qt::LeftButton, {}, from);
            for (int i = 1; i <= 4; ++i)
                QTest::mouseMove(handle, from + (to - from) * i / 4);
            QTest::mouseRelease(handle, Qt::LeftButton, {}, to);
        }
        EXPECT_TRUE(near(step.to)) << "at " << player->position() << " of " << duration;
    }

    auto *toggle = view->findChild<QAbstractButton *>();
    QTest::mouseClick(handle, Qt::LeftButton, {}, toggle->mapTo(window, toggle->rect().center()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return player->playbackState() == QMediaPlayer::PlayingState; }, 2000));
    QTest::qWait(300);
    EXPECT_GT(player->position(), 0.6 * duration) << "play started over instead of carrying on";
    window->close();
}

// The player's keys work wherever the focus is in its window, as on any player: Space pauses and
// plays, the arrow keys step five seconds back or on and stop at the ends of the recording.
TEST_F(ExclusiveFloatingWindows, VideoWindowKeysPlayPauseAndStep)
{
    QTemporaryDir folder;
    const QString file = makeClip(folder, 12);
    if (file.isEmpty())
        GTEST_SKIP() << "ffmpeg cannot make the test video";
    FloatingWindows floating;
    floating.showVideo(QUrl::fromLocalFile(file), QStringLiteral("화면 녹화"));
    QWidget *window = floating.windows().front();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    auto *view = window->findChild<VideoPlayerView *>();
    QMediaPlayer *player = view->player();
    ASSERT_TRUE(QTest::qWaitFor([&] { return player->position() > 200; }, 10000));
    // The timeline takes the focus when clicked; the keys must still reach the player.
    view->findChild<QSlider *>()->setFocus();

    using State = QMediaPlayer::PlaybackState;
    const struct {
        const char *what;
        Qt::Key key;
        State state;
    } cases[] = {
        {"space pauses", Qt::Key_Space, State::PausedState},
        {"right steps on", Qt::Key_Right, State::PausedState},
        {"right steps on again", Qt::Key_Right, State::PausedState},
        {"left steps back", Qt::Key_Left, State::PausedState},
        {"left steps back again", Qt::Key_Left, State::PausedState},
        {"left stops at the start", Qt::Key_Left, State::PausedState},
        {"space plays again", Qt::Key_Space, State::PlayingState},
    };
    for (const auto &step : cases) {
        SCOPED_TRACE(step.what);
        const qint64 before = player->position();
        QTest::keyClick(window->windowHandle(), step.key);
        EXPECT_TRUE(QTest::qWaitFor([&] { return player->playbackState() == step.state; }, 2000))
            << player->playbackState();
        if (step.key == Qt::Key_Space)
            continue;
        const qint64 step5 = step.key == Qt::Key_Right ? 5000 : -5000;
        const qint64 expected = std::clamp<qint64>(before + step5, 0, player->duration());
        EXPECT_TRUE(QTest::qWaitFor([&] { return std::abs(player->position() - expected) < 500; }, 2000))
            << "at " << player->position() << ", expected " << expected;
    }
    window->close();
}

// The HUD sits at the top centre and follows a running recorder: time and size tick with its
// progress, and its stop button stops the recording once, then shows the saving state.
TEST_F(ExclusiveFloatingWindows, RecordingHudFollowsTheRecorderAndItsStopButtonStopsOnce)
{
    auto backend = std::make_shared<ScriptedBackend>();
    RecordingService recorder(backend);
    recorder.setTimings({std::chrono::milliseconds(20), std::chrono::seconds(5), std::chrono::seconds(5)});
    ContentFilter filter;
    filter.displayID = 1;
    filter.nativeRect = QRect(0, 0, 1920, 1080);
    TestSupport::await(recorder.start(filter, std::nullopt, RecordingSettings{30, 1920, false, false},
                                      QDir::temp().filePath(QStringLiteral("tarnwick-hud-test.mp4"))));
    ASSERT_NE(backend->session, nullptr);
    Q_EMIT backend->session->recordingStarted();
    ASSERT_EQ(recorder.state(), RecordingService::State::recording);

    FloatingWindows floating;
    QScreen *screen = QGuiApplication::primaryScreen();
    floating.showRecording(&recorder, screen);
    ASSERT_TRUE(floating.recordingPanel);
    EXPECT_EQ(floating.recordingPanel->pos(), FloatingWindows::recordingPanelOrigin(screen->availableGeometry()));
    auto *hud = floating.recordingPanel->findChild<RecordingHUD *>();
    ASSERT_NE(hud, nullptr);
    backend->session->seconds = 75.6;
    backend->session->bytes = 12'345'678;
    ASSERT_TRUE(QTest::qWaitFor([&] { return hud->timeText() == QStringLiteral("01:15"); }, 2000));
    EXPECT_EQ(hud->sizeText(), QStringLiteral("12.3 MB"));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(floating.recordingPanel.get()));
    photograph(floating.recordingPanel.get(), QStringLiteral("recording-hud"));
    photographOnScreen(floating.recordingPanel.get(), QStringLiteral("recording-hud"));

    QTest::mouseClick(hud->stopButton(), Qt::LeftButton);
    QTest::qWait(30);
    EXPECT_EQ(recorder.state(), RecordingService::State::stopping);
    EXPECT_EQ(hud->timeText(), QStringLiteral("저장 중…"));
    EXPECT_EQ(hud->sizeText(), QStringLiteral("12.3 MB"));
    EXPECT_FALSE(hud->stopButton()->isEnabled());
    photograph(floating.recordingPanel.get(), QStringLiteral("recording-hud-stopping"));
    QTest::mouseClick(hud->stopButton(), Qt::LeftButton);
    EXPECT_EQ(backend->session->stops, 1);
}

} // namespace
} // namespace tarn
