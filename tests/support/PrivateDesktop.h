// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// An X server of a test's own, split into RandR monitors with `xrandr --setmonitor` and, when
// asked, managed by openbox; everything goes with the object. Tests that need several screens
// (or a scale the shared test desktop does not have) run their checks in a child process on it:
// ChildProcess with DISPLAY set to `display()`.

#include <utility>
#include <vector>

#include <QElapsedTimer>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QThread>

namespace tarn::TestSupport {

class PrivateDesktop {
public:
    struct Monitor {
        QString name;
        QRect rect; // root-window device pixels
    };

    // The first monitor holds the server's one RandR output, so it is the primary screen.
    PrivateDesktop(QSize size, std::vector<Monitor> monitors, bool windowManager = false)
    {
        server_.setProcessChannelMode(QProcess::SeparateChannels);
        // -noreset: the monitors would go with the server's reset when its last client leaves.
        server_.start(QStringLiteral("Xvfb"),
                      {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-noreset"),
                       QStringLiteral("-screen"), QStringLiteral("0"),
                       QStringLiteral("%1x%2x24").arg(size.width()).arg(size.height()), QStringLiteral("-nolisten"),
                       QStringLiteral("tcp"), QStringLiteral("+extension"), QStringLiteral("RANDR")});
        if (!server_.waitForStarted(5000))
            return;
        QByteArray number;
        while (!number.contains('\n') && server_.waitForReadyRead(10000))
            number += server_.readAllStandardOutput();
        if (number.trimmed().isEmpty())
            return;
        display_ = QStringLiteral(":") + QString::fromLatin1(number.trimmed());
        ok_ = true;
        for (size_t i = 0; i < monitors.size() && ok_; ++i)
            ok_ = run(QStringLiteral("xrandr"),
                      {QStringLiteral("--setmonitor"), monitors[i].name, geometry(monitors[i].rect),
                       i == 0 ? QStringLiteral("screen") : QStringLiteral("none")});
        if (ok_ && windowManager)
            ok_ = startWindowManager();
    }

    ~PrivateDesktop()
    {
        for (QProcess *process : {&windowManager_, &server_}) {
            if (process->state() == QProcess::NotRunning)
                continue;
            process->terminate();
            if (!process->waitForFinished(5000))
                process->kill();
            process->waitForFinished(5000);
        }
    }

    PrivateDesktop(const PrivateDesktop &) = delete;
    PrivateDesktop &operator=(const PrivateDesktop &) = delete;

    bool ok() const { return ok_; }
    const QString &display() const { return display_; }

    // Runs an X client (xrandr, xprop) on this desktop; true when it ends with status 0.
    bool run(const QString &program, const QStringList &arguments, QString *output = nullptr) const
    {
        QProcess client;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DISPLAY"), display_);
        client.setProcessEnvironment(environment);
        client.start(program, arguments);
        const bool ended = client.waitForFinished(10000) && client.exitStatus() == QProcess::NormalExit;
        if (output)
            *output = QString::fromLocal8Bit(client.readAllStandardOutput());
        return ended && client.exitCode() == 0;
    }

private:
    // "width/mmwidth x height/mmheight + x + y", at 96 dots per inch.
    static QString geometry(const QRect &r)
    {
        return QStringLiteral("%1/%2x%3/%4+%5+%6")
            .arg(r.width())
            .arg(r.width() * 254 / 960)
            .arg(r.height())
            .arg(r.height() * 254 / 960)
            .arg(r.x())
            .arg(r.y());
    }

    // The window manager is ready once it names itself on the root window.
    bool startWindowManager()
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DISPLAY"), display_);
        windowManager_.setProcessEnvironment(environment);
        windowManager_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        windowManager_.start(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")});
        if (!windowManager_.waitForStarted(5000))
            return false;
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 10000) {
            QString answer;
            if (run(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")},
                    &answer) &&
                answer.contains(QStringLiteral("window id")))
                return true;
            QThread::msleep(50);
        }
        return false;
    }

    QProcess server_;
    QProcess windowManager_;
    QString display_;
    bool ok_ = false;
};

} // namespace tarn::TestSupport
