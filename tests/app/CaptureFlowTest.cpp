// SPDX-License-Identifier: GPL-3.0-or-later
// The capture flow against the real store, selector, screen and recognizer, with the waits
// shortened: what happens, in which order, and what is left afterwards.
#include <QClipboard>
#include <QMimeData>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "app/AppModel.h"
#include "support/Await.h"
#include "support/FlowServices.h"

namespace tarn {
namespace {

using test::FlowLog;

class ExclusiveCaptureFlow : public ::testing::Test {
protected:
    void open(std::unique_ptr<Clipboard> clipboard = nullptr)
    {
        auto screen = std::make_unique<test::LoggedScreen>(log_);
        screen_ = screen.get();
        AppServices services;
        services.screenSource = std::move(screen);
        services.clipboard = std::move(clipboard);
        services.timings = test::quickTimings();
        model_ = std::make_unique<AppModel>(dir_.filePath(QStringLiteral("library")), false, std::move(services));
        test::await(model_->load());
        Preferences &preferences = model_->preferences();
        preferences.setCaptureDelay(0);
        preferences.setCopyAfterCapture(false);
        preferences.setOpenEditor(false);
        preferences.setAutomaticOCR(false);
        library_.resize(500, 300);
        library_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&library_));
        model_->setMainWindow(&library_);
        logger_ = std::make_unique<test::WindowLogger>(log_, &library_);
        QObject::connect(model_.get(), &AppModel::statusChanged, model_.get(), [this](const QString &status) {
            static const QRegularExpression time(QStringLiteral(" · API \\d+ ms"));
            log_->add(QStringLiteral("status: ") + QString(status).replace(time, QStringLiteral(" · API n ms")));
        });
        QObject::connect(model_.get(), &AppModel::itemsChanged, model_.get(),
                         [this] { log_->add(QStringLiteral("insert")); });
        // Only our own writes: other programs on the test desktop may take the clipboard too.
        QObject::connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, model_.get(), [this] {
            if (!QGuiApplication::clipboard()->ownsClipboard())
                return;
            if (log_->entries.isEmpty() || log_->entries.back() != QStringLiteral("clipboard"))
                log_->add(QStringLiteral("clipboard"));
        });
    }

    // The overlay of the selector once it is up; logged as the selection.
    QWidget *selectionPanel()
    {
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return model_->selector().isRunning() && !model_->selector().panels().empty(); }, 10000));
        if (model_->selector().panels().empty())
            return nullptr;
        auto *panel = static_cast<QWidget *>(model_->selector().panels().front());
        EXPECT_TRUE(QTest::qWaitForWindowExposed(panel));
        log_->add(QStringLiteral("select"));
        return panel;
    }

    void drag(QWidget *panel, QPoint from, QPoint to)
    {
        QTest::mousePress(panel, Qt::LeftButton, {}, from);
        QTest::mouseMove(panel, to);
        QTest::mouseRelease(panel, Qt::LeftButton, {}, to);
    }

    void waitUntilFree()
    {
        ASSERT_TRUE(QTest::qWaitFor([&] { return !model_->isBusy(); }, 20000))
            << log_->entries.join(u'|').toStdString();
    }

    QStringList takeLog() { return std::exchange(log_->entries, {}); }

    QTemporaryDir dir_;
    std::shared_ptr<FlowLog> log_ = std::make_shared<FlowLog>();
    test::LoggedScreen *screen_ = nullptr;
    std::unique_ptr<AppModel> model_;
    QWidget library_;
    std::unique_ptr<test::WindowLogger> logger_;
};

// Region and display captures with a countdown: hide, settle, select (region), count down,
// grab, store, report, copy, and the windows back; the quick panel instead of the editor.
TEST_F(ExclusiveCaptureFlow, RegionAndDisplayCapturesRunInOrderFromTheCommandToTheLibrary)
{
    open();
    model_->preferences().setCaptureDelay(2);
    model_->preferences().setCopyAfterCapture(true);
    const struct {
        CaptureAction action;
        QString prefix;
        QSize size;
        QStringList expected;
    } cases[] = {
        {CaptureAction::region,
         QStringLiteral("영역 캡처 "),
         {200, 150},
         {QStringLiteral("hide"), QStringLiteral("select"), QStringLiteral("countdown 2"),
          QStringLiteral("countdown 1"), QStringLiteral("grab"), QStringLiteral("insert"),
          QStringLiteral("status: 캡처 완료 · 200 × 150 px · API n ms"), QStringLiteral("clipboard"),
          QStringLiteral("show")}},
        {CaptureAction::display,
         QStringLiteral("전체 화면 "),
         {1920, 1080},
         {QStringLiteral("hide"), QStringLiteral("countdown 2"), QStringLiteral("countdown 1"), QStringLiteral("grab"),
          QStringLiteral("insert"), QStringLiteral("status: 캡처 완료 · 1920 × 1080 px · API n ms"),
          QStringLiteral("clipboard"), QStringLiteral("show")}},
    };
    for (const auto &c : cases) {
        takeLog();
        model_->setSection(LibrarySection::videos);
        model_->beginCapture(c.action);
        EXPECT_TRUE(model_->isBusy());
        if (c.action == CaptureAction::region)
            if (QWidget *panel = selectionPanel())
                drag(panel, {100, 100}, {300, 250});
        waitUntilFree();
        EXPECT_EQ(takeLog(), c.expected);

        const CaptureItem &item = model_->items().back();
        const QString title = QString::fromStdString(item.title);
        EXPECT_TRUE(title.startsWith(c.prefix)) << item.title;
        EXPECT_TRUE(
            QRegularExpression(QStringLiteral(" \\d\\d-\\d\\d \\d\\d\\.\\d\\d\\.\\d\\d$")).match(title).hasMatch());
        EXPECT_EQ(QSize(int(item.width), int(item.height)), c.size);
        EXPECT_TRUE(item.captureMilliseconds.has_value());
        EXPECT_EQ(model_->section(), LibrarySection::all);
        const QImage pasted =
            QImage::fromData(QGuiApplication::clipboard()->mimeData()->data(QStringLiteral("image/png")));
        EXPECT_EQ(pasted.size(), c.size);
        EXPECT_NE(model_->floating().capturePanel(), nullptr);
        EXPECT_TRUE(model_->editorControllers().empty());
        EXPECT_FALSE(model_->floating().countdownPanel);
        EXPECT_TRUE(library_.isVisible());
    }
    EXPECT_EQ(model_->items().size(), 2u);
}

// Ways a capture ends without a picture, and commands that must not start one.
TEST_F(ExclusiveCaptureFlow, EscapeCancelAndRefusalsLeaveTheWindowsBackAndNothingBusy)
{
    open();
    const QString before = model_->status();

    // Escape in the selector: quiet, the status stays.
    model_->beginCapture(CaptureAction::region);
    if (QWidget *panel = selectionPanel())
        QTest::keyClick(panel, Qt::Key_Escape);
    waitUntilFree();
    EXPECT_EQ(takeLog(), (QStringList{QStringLiteral("hide"), QStringLiteral("select"), QStringLiteral("show")}));
    EXPECT_EQ(model_->status(), before);

    // The countdown's cancel button while it shows 2.
    model_->preferences().setCaptureDelay(3);
    model_->beginCapture(CaptureAction::display);
    ASSERT_TRUE(QTest::qWaitFor([&] { return log_->entries.contains(QStringLiteral("countdown 2")); }, 10000));
    auto *countdown = model_->floating().countdownPanel->findChild<CountdownView *>();
    ASSERT_NE(countdown, nullptr);
    QTest::mouseClick(countdown->cancelButton(), Qt::LeftButton);
    waitUntilFree();
    EXPECT_EQ(takeLog(),
              (QStringList{QStringLiteral("hide"), QStringLiteral("countdown 3"), QStringLiteral("countdown 2"),
                           QStringLiteral("status: 캡처를 취소했습니다."), QStringLiteral("show")}));
    EXPECT_FALSE(model_->floating().countdownPanel);
    model_->preferences().setCaptureDelay(0);

    // Busy: nothing at all.
    {
        const AppModel::BusyClaim busy = model_->claimBusy();
        model_->beginCapture(CaptureAction::display);
        QTest::qWait(150);
    }
    EXPECT_TRUE(takeLog().isEmpty());

    // No screen access: the permission sheet, nothing hidden.
    screen_->available = false;
    model_->beginCapture(CaptureAction::region);
    EXPECT_EQ(model_->sheet(), AppSheet::permissions);
    EXPECT_FALSE(model_->screenPermission());
    EXPECT_FALSE(model_->isBusy());
    EXPECT_TRUE(takeLog().isEmpty());
    screen_->available = true;
    model_->setSheet(std::nullopt);

    // The window list fails: its message, no sheet; then it works and the sheet opens.
    screen_->failWindows = true;
    model_->beginCapture(CaptureAction::window);
    waitUntilFree();
    EXPECT_EQ(model_->errorMessage(), ScreenSourceFailure().description());
    EXPECT_FALSE(model_->sheet());
    screen_->failWindows = false;
    model_->beginCapture(CaptureAction::window);
    waitUntilFree();
    EXPECT_EQ(model_->sheet(), AppSheet::windows);
    EXPECT_TRUE(model_->items().empty());
    EXPECT_TRUE(library_.isVisible());
}

// A picked window: its own title, a dated one without, an empty one kept; the longer waits.
TEST_F(ExclusiveCaptureFlow, WindowCapturesTakeTheWindowsTitleAndItsRectangle)
{
    open();
    ShareableWindow window;
    window.frame = QRectF(40, 60, 320, 200);
    window.nativeFrame = QRect(40, 60, 320, 200);
    const struct {
        QString title;
        QString expected;
    } cases[] = {
        {QStringLiteral("Terminal"), QStringLiteral("Terminal")},
        {QString(), QStringLiteral("윈도우 캡처 ")},
        {QStringLiteral(""), QString()},
    };
    model_->setSheet(AppSheet::windows);
    for (const auto &c : cases) {
        takeLog();
        window.title = c.title;
        model_->captureWindow(window);
        EXPECT_FALSE(model_->sheet());
        waitUntilFree();
        EXPECT_EQ(takeLog(),
                  (QStringList{QStringLiteral("hide"), QStringLiteral("grab"), QStringLiteral("insert"),
                               QStringLiteral("status: 캡처 완료 · 320 × 200 px · API n ms"), QStringLiteral("show")}));
        const QString title = QString::fromStdString(model_->items().back().title);
        EXPECT_TRUE(c.expected.isEmpty() ? title.isEmpty() : title.startsWith(c.expected)) << title.toStdString();
    }
}

// The copy after a capture fails: the capture stays, the error shows, no editor or panel opens,
// and the background recognition still runs so the capture becomes searchable.
TEST_F(ExclusiveCaptureFlow, AFailedCopyKeepsTheCaptureAndStillRecognizesIt)
{
    open(std::make_unique<test::RefusingClipboard>());
    model_->preferences().setCopyAfterCapture(true);
    model_->preferences().setOpenEditor(true);
    model_->preferences().setAutomaticOCR(true);
    model_->beginCapture(CaptureAction::region);
    if (QWidget *panel = selectionPanel())
        drag(panel, {50, 50}, {250, 130});
    waitUntilFree();
    ASSERT_EQ(model_->items().size(), 1u);
    EXPECT_EQ(model_->errorMessage(), QStringLiteral("클립보드에 쓸 수 없습니다."));
    EXPECT_TRUE(model_->editorControllers().empty());
    EXPECT_EQ(model_->floating().capturePanel(), nullptr);
    EXPECT_TRUE(library_.isVisible());
    // The recognition's result replaces the item once more.
    EXPECT_TRUE(QTest::qWaitFor([&] { return log_->entries.count(QStringLiteral("insert")) == 2; }, 30000))
        << log_->entries.join(u'|').toStdString();
}

} // namespace
} // namespace tarn
