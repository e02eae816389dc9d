// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The flow tests' model on the real store, screen, selector and recognizer with short waits, and
// stand-ins only where the test desktop cannot fail on request: a screen whose access or window
// list can be withdrawn, a clipboard that refuses, a window manager slow to take a frame down. A
// log records what the flows did, in order.

#include <functional>
#include <memory>
#include <stdexcept>

#include <QApplication>
#include <QClipboard>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "app/floating/CountdownView.h"
#include "app/model/AppModel.h"
#include "core/base/AppError.h"
#include "platform/x11/X11Connection.h"
#include "support/Await.h"

namespace tarn::TestSupport {

// The desktop's own screen, logging each grab.
class LoggedScreen : public ScreenSource {
public:
    explicit LoggedScreen(QStringList &log) : log_(log), real_(makeX11ScreenSource()) { }
    bool isAvailable() override { return available && real_->isAvailable(); }
    std::vector<DisplayInfo> displays() override { return real_->displays(); }
    std::vector<WindowInfo> windows() override { return failWindows ? throw ScreenSourceFailure() : real_->windows(); }
    QImage grab(const QRect &rect, bool cursor) override
    {
        return log_ << QStringLiteral("grab"), real_->grab(rect, cursor);
    }

    bool available = true;
    bool failWindows = false;

private:
    QStringList &log_;
    std::unique_ptr<ScreenSource> real_;
};

class RefusingClipboard : public Clipboard {
public:
    void setPng(const QByteArray &) override { throw AppError(1, QStringLiteral("클립보드에 쓸 수 없습니다.")); }
};

// A busy window manager for the next window of ours shown: holds it in a frame of the test's own
// (override-redirect, put round it before it is mapped, so the real window manager never sees
// either) and takes that frame down only 600 ms after the window is hidden, when a flow that did
// not wait for it would have gone on. `goes` runs just before: what the test notes, or does,
// while the frame still shows. Made before the window, which must go first: X destroys a window
// with its frame.
class SlowFrame : public QObject {
public:
    explicit SlowFrame(std::function<void()> goes) : goes_(std::move(goes))
    {
        const uint32_t overrideRedirect[] = {1};
        xcb_create_window(x_.get(), XCB_COPY_FROM_PARENT, id_, x_.root(), 300, 200, 160, 120, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, XCB_CW_OVERRIDE_REDIRECT,
                          overrideRedirect);
        xcb_map_window(x_.get(), id_);
        xcb_flush(x_.get());
        qApp->installEventFilter(this);
    }
    // Qt sends a window its show event before it maps it.
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show && !held_ && watched->isWidgetType() &&
            static_cast<QWidget *>(watched)->isWindow()) {
            held_ = static_cast<QWidget *>(watched);
            xcb_reparent_window(x_.get(), uint32_t(held_->winId()), id_, 0, 0);
            X11::reply(xcb_get_input_focus_reply(x_.get(), xcb_get_input_focus(x_.get()), nullptr)); // a round trip
        } else if (event->type() == QEvent::Hide && watched == held_) {
            qApp->removeEventFilter(this); // the frame goes once
            QTimer::singleShot(600, this, [this] {
                goes_();
                xcb_unmap_window(x_.get(), id_);
                xcb_flush(x_.get());
            });
        }
        return false;
    }

private:
    std::function<void()> goes_;
    X11::Connection x_;
    const xcb_window_t id_ = xcb_generate_id(x_.get());
    QWidget *held_ = nullptr;
};

class FlowFixture : public ::testing::Test, public QObject {
protected:
    // The model with every after-capture preference off and a library window on screen.
    void open(AppServices services = {})
    {
        auto screen = std::make_unique<LoggedScreen>(log);
        this->screen = screen.get();
        services.screenSource = std::move(screen);
        services.timings = {std::chrono::milliseconds(30), std::chrono::milliseconds(40), std::chrono::milliseconds(60),
                            std::chrono::milliseconds(20), std::chrono::milliseconds(25)};
        model = std::make_unique<AppModel>(dir.filePath(QStringLiteral("library")), false, std::move(services));
        TestSupport::await(model->load());
        for (const char *flag : {"copyAfterCapture", "openEditor", "automaticOCR", "recordingRegion", "microphone"})
            model->preferences().setProperty(flag, false);
        model->preferences().setCaptureDelay(0);
        library.resize(500, 300);
        library.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&library));
        model->setMainWindow(&library);
        qApp->installEventFilter(this);
        QObject::connect(model.get(), &AppModel::statusChanged, this, [this](QString status) {
            log << QStringLiteral("status: ") +
                    status.replace(QRegularExpression(QStringLiteral(" \\d+ ms")), QStringLiteral(" n ms"));
        });
        QObject::connect(model.get(), &AppModel::itemsChanged, this, [this] { log << QStringLiteral("insert"); });
        // Only our own writes, once each: other programs on the desktop may take the clipboard.
        QObject::connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, [this] {
            if (QGuiApplication::clipboard()->ownsClipboard() &&
                (log.isEmpty() || log.back() != QStringLiteral("clipboard")))
                log << QStringLiteral("clipboard");
        });
    }
    void TearDown() override { qApp->removeEventFilter(this); }

    // The library window hidden and shown, and each countdown number shown.
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == &library && (event->type() == QEvent::Hide || event->type() == QEvent::Show))
            log << (event->type() == QEvent::Hide ? QStringLiteral("hide") : QStringLiteral("show"));
        else if (auto *countdown = qobject_cast<CountdownView *>(watched); countdown && event->type() == QEvent::Show)
            log << QStringLiteral("countdown ") + countdown->numberText();
        return false;
    }

    // The selector's overlay once it is up, logged as the selection.
    QWidget *overlay()
    {
        EXPECT_TRUE(QTest::qWaitFor([&] { return !model->selector().panels().empty(); }, 10000));
        if (model->selector().panels().empty())
            return nullptr;
        EXPECT_TRUE(QTest::qWaitForWindowExposed(model->selector().panels().front()));
        log << QStringLiteral("select");
        return model->selector().panels().front();
    }

    // A flow reading text waits for the recognizer, which on a starved machine takes what it
    // takes: such a row waits for its end without a limit of its own (ctest's still holds).
    void waitUntilFree(int limit = 30000)
    {
        ASSERT_TRUE(QTest::qWaitFor([&] { return !model->isBusy(); }, limit)) << log.join(u'|').toStdString();
    }
    QStringList takeLog() { return std::exchange(log, {}); }

    QTemporaryDir dir;
    QStringList log;
    LoggedScreen *screen = nullptr;
    std::unique_ptr<AppModel> model;
    QWidget library;
};

} // namespace tarn::TestSupport
