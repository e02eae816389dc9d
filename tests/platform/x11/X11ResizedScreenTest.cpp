// SPDX-License-Identifier: GPL-3.0-or-later
// A screen source that lives through a RandR size change (a monitor plugged in, another
// resolution) reads the new area. Runs on a private nested X server (Xephyr, resizable through
// RandR) inside a private headless Xvfb, so the shared test desktop keeps its size.
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <gtest/gtest.h>

#include "platform/ScreenSource.h"

namespace tarn {
namespace {

// A private X server that picks a free display number itself (two runs at once took the same one
// when the test chose it), never resetting (-noreset): the root's colour stays with no client.
struct Server {
    QProcess process;
    QString name;

    Server(const QString &program, QStringList arguments, const QString &host)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DISPLAY"), host);
        process.setProcessEnvironment(environment);
        process.start(program, QStringList{QStringLiteral("-displayfd"), QStringLiteral("1")} + arguments);
    }
    ~Server()
    {
        process.kill();
        process.waitForFinished(5000);
    }
    // Runs an X client on this server; true when it succeeded.
    bool run(const QString &program, const QStringList &arguments) const
    {
        QProcess client;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DISPLAY"), name);
        client.setProcessEnvironment(environment);
        client.start(program, arguments);
        return client.waitForFinished(10'000) && client.exitStatus() == QProcess::NormalExit && client.exitCode() == 0;
    }
    bool waitUntilUp()
    {
        if (!QTest::qWaitFor([&] { return process.canReadLine(); }, 10'000))
            return false;
        name = QLatin1Char(':') + QString::fromLatin1(process.readLine().trimmed());
        return QTest::qWaitFor([&] { return run(QStringLiteral("xdpyinfo"), {}); }, 10'000);
    }
};

TEST(X11ResizedScreen, GrabsReadTheAreaAScreenGrowthAdds)
{
    for (const char *tool : {"Xvfb", "Xephyr", "xrandr", "xsetroot", "xdpyinfo"})
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            GTEST_SKIP() << tool << " is not installed (scripts/deps.sh installs it)";
    Server host(QStringLiteral("Xvfb"),
                {QStringLiteral("-screen"), QStringLiteral("0"), QStringLiteral("1920x1280x24"),
                 QStringLiteral("-nolisten"), QStringLiteral("tcp")},
                QString());
    ASSERT_TRUE(host.waitUntilUp());
    Server nested(QStringLiteral("Xephyr"),
                  {QStringLiteral("-screen"), QStringLiteral("640x480"), QStringLiteral("-resizeable"),
                   QStringLiteral("-noreset"), QStringLiteral("-nolisten"), QStringLiteral("tcp")},
                  host.name);
    ASSERT_TRUE(nested.waitUntilUp());
    ASSERT_TRUE(nested.run(QStringLiteral("xsetroot"), {QStringLiteral("-solid"), QStringLiteral("#20c040")}));

    const QByteArray display = qgetenv("DISPLAY");
    qputenv("DISPLAY", nested.name.toLatin1());
    auto source = makeX11ScreenSource();
    qputenv("DISPLAY", display);
    ASSERT_TRUE(source->isAvailable());
    EXPECT_EQ(source->grab(QRect(600, 440, 10, 10), false).pixel(5, 5), qRgb(0x20, 0xc0, 0x40));

    ASSERT_TRUE(nested.run(QStringLiteral("xrandr"), {QStringLiteral("-s"), QStringLiteral("1024x768")}));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return !source->displays().empty() && source->displays().front().nativeRect.width() == 1024; }, 5000));
    const QImage grown = source->grab(QRect(900, 700, 20, 20), false);
    EXPECT_EQ(grown.pixel(10, 10), qRgb(0x20, 0xc0, 0x40)) << "the new area, not black";
    EXPECT_EQ(source->grab(QRect(1014, 758, 20, 20), false).pixel(15, 15), qRgb(0, 0, 0)) << "beyond the screen";
}

} // namespace
} // namespace tarn
