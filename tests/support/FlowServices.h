// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The flow tests' model on the real store, screen, selector and recognizer with short waits, and
// stand-ins only where the test desktop cannot fail on request: a screen whose access or window
// list can be withdrawn, a clipboard that refuses. A log records what the flows did, in order.

#include <memory>
#include <stdexcept>

#include <QApplication>
#include <QClipboard>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "app/floating/CountdownView.h"
#include "app/model/AppModel.h"
#include "core/base/AppError.h"
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

    void waitUntilFree()
    {
        ASSERT_TRUE(QTest::qWaitFor([&] { return !model->isBusy(); }, 30000)) << log.join(u'|').toStdString();
    }
    QStringList takeLog() { return std::exchange(log, {}); }

    QTemporaryDir dir;
    QStringList log;
    LoggedScreen *screen = nullptr;
    std::unique_ptr<AppModel> model;
    QWidget library;
};

} // namespace tarn::TestSupport
