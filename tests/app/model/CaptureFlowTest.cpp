// SPDX-License-Identifier: GPL-3.0-or-later
// The capture flow on the test desktop: the real store, selector, X screen and recognizer, the
// pointer moved through the X server and the clipboard read back by another program.
#include <QMainWindow>
#include <QMimeData>
#include <QProcess>

#include "support/FlowServices.h"
#include "support/WindowStacking.h"
#include "support/XInput.h"

namespace tarn {
namespace {

using TestSupport::FlowFixture;
class ExclusiveCaptureFlow : public FlowFixture { };

using TestSupport::drag;

// What another program reads from the clipboard; our event loop keeps serving it meanwhile.
QByteArray readClipboard(const QString &target)
{
    QProcess xclip;
    xclip.start(QStringLiteral("xclip"),
                {QStringLiteral("-selection"), QStringLiteral("clipboard"), QStringLiteral("-t"), target,
                 QStringLiteral("-o")});
    return QTest::qWaitFor([&] { return xclip.state() == QProcess::NotRunning; }, 10000) ? xclip.readAllStandardOutput()
                                                                                         : QByteArray();
}

// Each action in order from the command to the library: hide, select (a real pointer drag),
// count down, grab, store, report, copy, windows back; a picked window keeps its own title. The
// grab waits for the window manager to take the frames of our hidden windows down.
TEST_F(ExclusiveCaptureFlow, CapturesRunInOrderFromTheCommandToTheLibraryAndTheClipboard)
{
    open();
    model->preferences().setCaptureDelay(2);
    model->preferences().setCopyAfterCapture(true);
    const QStringList counted{QStringLiteral("countdown 2"), QStringLiteral("countdown 1"), QStringLiteral("grab"),
                              QStringLiteral("insert")};
    ShareableWindow window;
    window.nativeFrame = QRect(40, 60, 320, 200);
    window.frame = QRectF(window.nativeFrame);
    const struct {
        CaptureAction action;
        QString title; // for a window capture: its title, null for none
        QString prefix;
        QSize size;
        QStringList start;
        bool framed = false; // a window of ours hidden for it in a slow window manager's frame
    } cases[] = {
        {CaptureAction::region,
         {},
         QStringLiteral("영역 캡처 "),
         {200, 150},
         {QStringLiteral("hide"), QStringLiteral("select")}},
        {CaptureAction::display, {}, QStringLiteral("전체 화면 "), {1920, 1080}, {QStringLiteral("hide")}},
        {CaptureAction::window,
         QStringLiteral("Terminal"),
         QStringLiteral("Terminal"),
         {320, 200},
         {QStringLiteral("hide")}},
        {CaptureAction::window, QString(), QStringLiteral("윈도우 캡처 "), {320, 200}, {QStringLiteral("hide")}},
        {CaptureAction::window, QStringLiteral(""), QString(), {320, 200}, {QStringLiteral("hide")}},
        {CaptureAction::display, {}, QStringLiteral("전체 화면 "), {1920, 1080}, {QStringLiteral("hide")}, true},
        {CaptureAction::window, QString(), QStringLiteral("윈도우 캡처 "), {320, 200}, {QStringLiteral("hide")}, true},
    };
    for (const auto &c : cases) {
        takeLog();
        model->setSection(LibrarySection::videos);
        window.title = c.title;
        std::optional<bool> grabbedWhileShown;
        std::optional<TestSupport::SlowFrame> frame;
        if (c.framed)
            frame.emplace([&] { grabbedWhileShown = log.contains(QStringLiteral("grab")); });
        QWidget ours(nullptr, Qt::Window | Qt::X11BypassWindowManagerHint); // hidden as an ordinary window
        ours.setVisible(c.framed);
        c.action == CaptureAction::window ? model->captureWindow(window) : model->beginCapture(c.action);
        EXPECT_TRUE(model->isBusy());
        if (c.action == CaptureAction::region && overlay())
            drag({300, 200}, {500, 350});
        waitUntilFree();
        EXPECT_TRUE(!c.framed || QTest::qWaitFor([&] { return grabbedWhileShown.has_value(); }, 5000));
        EXPECT_EQ(grabbedWhileShown, c.framed ? std::optional<bool>(false) : std::nullopt) << c.prefix.toStdString();
        const QString done =
            QStringLiteral("status: 캡처 완료 · %1 × %2 px · API n ms").arg(c.size.width()).arg(c.size.height());
        EXPECT_EQ(takeLog(),
                  c.start + counted + (QStringList{done, QStringLiteral("clipboard"), QStringLiteral("show")}));
        const CaptureItem &item = model->items().back();
        EXPECT_EQ(QSize(int(item.width), int(item.height)), c.size);
        const QString title = QString::fromStdString(item.title);
        EXPECT_TRUE(c.prefix.isEmpty() ? title.isEmpty() : title.startsWith(c.prefix)) << item.title;
        if (c.prefix.endsWith(u' ')) {
            EXPECT_TRUE(
                QRegularExpression(QStringLiteral(" \\d\\d-\\d\\d \\d\\d\\.\\d\\d\\.\\d\\d$")).match(title).hasMatch());
        }
        EXPECT_EQ(model->section(), LibrarySection::all);
        EXPECT_EQ(QImage::fromData(readClipboard(QStringLiteral("image/png")), "PNG").size(), c.size);
        EXPECT_FALSE(readClipboard(QStringLiteral("TARGETS")).contains("text/plain"));
        EXPECT_NE(model->floating().capturePanel(), nullptr); // the quick panel, not an editor
        EXPECT_TRUE(model->editorControllers().empty());
    }
}

// Endings without a picture and commands that must not start one: the windows come back,
// nothing stays busy, and only the cancel button and a command refused while busy say so in the
// status line.
TEST_F(ExclusiveCaptureFlow, EscapeCancelAndRefusalsLeaveTheWindowsBackAndNothingBusy)
{
    open();
    model->beginCapture(CaptureAction::region);
    if (QWidget *panel = overlay())
        QTest::keyClick(panel, Qt::Key_Escape);
    waitUntilFree();
    EXPECT_EQ(takeLog(), (QStringList{QStringLiteral("hide"), QStringLiteral("select"), QStringLiteral("show")}));

    model->preferences().setCaptureDelay(15); // counts from 10
    model->beginCapture(CaptureAction::display);
    ASSERT_TRUE(QTest::qWaitFor([&] { return log.contains(QStringLiteral("countdown 9")); }, 10000));
    QTest::mouseClick(model->floating().countdownPanel->findChild<CountdownView *>()->cancelButton(), Qt::LeftButton);
    waitUntilFree();
    EXPECT_EQ(takeLog(),
              (QStringList{QStringLiteral("hide"), QStringLiteral("countdown 10"), QStringLiteral("countdown 9"),
                           QStringLiteral("status: 캡처를 취소했습니다."), QStringLiteral("show")}));
    EXPECT_FALSE(model->floating().countdownPanel);

    {
        const AppModel::BusyClaim busy = model->claimBusy();
        model->beginCapture(CaptureAction::display);
    }
    screen->available = false;
    model->beginCapture(CaptureAction::region);
    EXPECT_EQ(model->sheet(), AppSheet::permissions);
    EXPECT_FALSE(model->screenPermission());
    screen->available = true;
    screen->failWindows = true;
    model->setSheet(std::nullopt);
    model->beginCapture(CaptureAction::window);
    waitUntilFree();
    EXPECT_EQ(model->errorMessage(), ScreenSourceFailure().description());
    EXPECT_FALSE(model->sheet());
    screen->failWindows = false;
    model->beginCapture(CaptureAction::window);
    waitUntilFree();
    EXPECT_EQ(model->sheet(), AppSheet::windows);
    EXPECT_EQ(takeLog(),
              (QStringList{QStringLiteral("status: ") + AppModel::busyStatus(),
                           QStringLiteral("status: ") + ScreenSourceFailure().description()}));
    EXPECT_TRUE(model->items().empty());
    EXPECT_TRUE(library.isVisible());
}

// A failed copy keeps the capture and shows the error, opens neither editor nor panel, and
// still recognizes the capture so that it can be found by its text.
TEST_F(ExclusiveCaptureFlow, AFailedCopyKeepsTheCaptureAndStillRecognizesIt)
{
    AppServices services;
    services.clipboard = std::make_unique<TestSupport::RefusingClipboard>();
    open(std::move(services));
    for (const char *flag : {"copyAfterCapture", "openEditor", "automaticOCR"})
        model->preferences().setProperty(flag, true);
    model->beginCapture(CaptureAction::region);
    if (overlay())
        drag({50, 50}, {250, 130});
    waitUntilFree();
    ASSERT_EQ(model->items().size(), 1u);
    EXPECT_EQ(model->errorMessage(), QStringLiteral("클립보드에 쓸 수 없습니다."));
    EXPECT_TRUE(model->editorControllers().empty());
    EXPECT_EQ(model->floating().capturePanel(), nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&] { return log.count(QStringLiteral("insert")) == 2; }, 30000))
        << log.join(u'|').toStdString();
}

// Our windows come back stacked as they were, behind another application's window that was in
// front of them, and the window that had the focus gets it back; a window the capture opened
// (the extracted text) stays in front of them with its focus, and gives it back when it closes.
TEST_F(ExclusiveCaptureFlow, WindowsComeBackInTheirOrderWithTheFocusWhereItWas)
{
    open();
    QMainWindow editor;
    editor.setWindowTitle(QStringLiteral("editor"));
    editor.setGeometry(900, 300, 480, 320);
    editor.show();
    library.move(200, 200);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&editor));
    QProcess otherApplication;
    otherApplication.start(QStringLiteral("xmessage"),
                           {QStringLiteral("-title"), QStringLiteral("other-application"), QStringLiteral("-geometry"),
                            QStringLiteral("360x120+1450+120"), QStringLiteral("another application")});
    const uint32_t other = TestSupport::managedWindowTitled(QStringLiteral("other-application"));
    ASSERT_NE(other, 0u);
    const auto lib = uint32_t(library.winId()), ed = uint32_t(editor.winId());
    const struct {
        const char *name;
        std::vector<uint32_t> backToFront; // the last one is clicked and has the focus
        QPoint click;
        CaptureAction action;
    } cases[] = {
        {"editor in front, Escape", {lib, ed}, editor.geometry().center(), CaptureAction::region},
        {"library in front, Escape", {ed, lib}, library.geometry().center(), CaptureAction::region},
        {"editor in front, text capture", {lib, ed}, editor.geometry().center(), CaptureAction::text},
        {"another application in front, Escape", {lib, ed, other}, {1630, 180}, CaptureAction::region},
        {"another application in front, text capture", {lib, ed, other}, {1630, 180}, CaptureAction::text},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        drag(c.click, c.click); // a click: the window manager raises and focuses it
        ASSERT_TRUE(TestSupport::settles([&] {
            return TestSupport::stackedInOrder(c.backToFront) && TestSupport::activeWindow() == c.backToFront.back();
        }));
        model->beginCapture(c.action);
        ASSERT_TRUE(overlay());
        if (c.action == CaptureAction::text)
            drag({1500, 700}, {1700, 800});
        else
            TestSupport::xdotool({QStringLiteral("key"), QStringLiteral("Escape")});
        waitUntilFree();
        std::vector<uint32_t> expected = c.backToFront;
        if (c.action == CaptureAction::text)
            expected.push_back(uint32_t(model->floating().windows().back()->winId()));
        EXPECT_TRUE(TestSupport::settles([&] {
            return TestSupport::stackedInOrder(expected) && TestSupport::activeWindow() == expected.back();
        })) << "stacking "
            << TestSupport::rootProperty(QStringLiteral("_NET_CLIENT_LIST_STACKING")).toStdString() << "active "
            << TestSupport::activeWindow() << " library " << lib << " editor " << ed << " other " << other;
        for (QWidget *window : model->floating().windows())
            window->close();
        EXPECT_TRUE(TestSupport::settles([&] { return TestSupport::activeWindow() == c.backToFront.back(); }));
    }
    otherApplication.kill();
    otherApplication.waitForFinished(5000);
}

} // namespace
} // namespace tarn
