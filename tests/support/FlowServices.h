// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Stand-ins for the few things the test desktop cannot do on request, around the real parts:
// the real X11 screen whose access can be withdrawn or whose window list can fail, a clipboard
// that refuses a write, and a shared log of what the flows did, in order.

#include <memory>
#include <stdexcept>

#include <QApplication>
#include <QClipboard>
#include <QStringList>
#include <QWidget>

#include "app/AppServices.h"
#include "app/floating/CountdownView.h"
#include "platform/ScreenSource.h"

namespace tarn::test {

struct FlowLog {
    QStringList entries;
    void add(const QString &entry) { entries << entry; }
};

// The desktop's own screen, logging each grab.
class LoggedScreen : public ScreenSource {
public:
    explicit LoggedScreen(std::shared_ptr<FlowLog> log) : log_(std::move(log)), real_(makeX11ScreenSource()) { }

    bool isAvailable() override { return available && real_->isAvailable(); }
    std::vector<DisplayInfo> displays() override { return real_->displays(); }
    std::vector<WindowInfo> windows() override
    {
        if (failWindows)
            throw ScreenSourceFailure();
        return real_->windows();
    }
    QImage grab(const QRect &nativeRect, bool cursor) override
    {
        log_->add(QStringLiteral("grab"));
        return real_->grab(nativeRect, cursor);
    }

    bool available = true;
    bool failWindows = false;

private:
    std::shared_ptr<FlowLog> log_;
    std::unique_ptr<ScreenSource> real_;
};

class RefusingClipboard : public Clipboard {
public:
    void setPng(const QByteArray &) override { throw std::runtime_error("클립보드에 쓸 수 없습니다."); }
};

// Logs the application's windows being hidden and shown, and each countdown number shown.
class WindowLogger : public QObject {
public:
    WindowLogger(std::shared_ptr<FlowLog> log, QWidget *library) : log_(std::move(log)), library_(library)
    {
        qApp->installEventFilter(this);
    }
    ~WindowLogger() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == library_ && event->type() == QEvent::Hide)
            log_->add(QStringLiteral("hide"));
        else if (watched == library_ && event->type() == QEvent::Show)
            log_->add(QStringLiteral("show"));
        else if (event->type() == QEvent::Show)
            if (auto *countdown = qobject_cast<CountdownView *>(watched))
                log_->add(QStringLiteral("countdown ") + countdown->numberText());
        return false;
    }

private:
    std::shared_ptr<FlowLog> log_;
    QWidget *library_;
};

// Short waits, so a three-second countdown costs a fraction of a second.
inline FlowTimings quickTimings()
{
    using std::chrono::milliseconds;
    return {milliseconds(30), milliseconds(40), milliseconds(60), milliseconds(20), milliseconds(25)};
}

} // namespace tarn::test
