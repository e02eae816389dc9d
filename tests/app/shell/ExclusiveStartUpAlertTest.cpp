// SPDX-License-Identifier: GPL-3.0-or-later
// A library that cannot be opened at start-up: the alert that says why is the front-most window
// of the desktop and has the focus, over the library window it blocks, also after the library
// window is brought forward again. Read from the window manager's own stacking list.
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "app/model/AppModel.h"
#include "app/shell/LibraryWindow.h"
#include "app/shell/TarnAppDelegate.h"
#include "core/library/LibraryLease.h"
#include "support/LockedFolder.h"

namespace tarn {
namespace {

// A window property of the root window as a list of window ids, read with xprop.
std::vector<WId> rootWindows(const char *property)
{
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"), {QStringLiteral("-root"), QString::fromLatin1(property)});
    xprop.waitForFinished();
    const QString text = QString::fromLatin1(xprop.readAllStandardOutput());
    std::vector<WId> ids;
    const qsizetype hash = text.indexOf(QLatin1Char('#'));
    if (hash < 0)
        return ids;
    for (const QString &word : text.mid(hash + 1).split(QLatin1Char(','), Qt::SkipEmptyParts))
        ids.push_back(word.trimmed().toULongLong(nullptr, 16));
    return ids;
}

// The alert is above every other window of this process and is the active window.
bool alertInFront(const QWidget *alert)
{
    std::vector<WId> ours;
    for (WId id : rootWindows("_NET_CLIENT_LIST_STACKING")) // bottom to top
        for (QWidget *window : QApplication::topLevelWidgets())
            if (window->isVisible() && window->internalWinId() == id)
                ours.push_back(id);
    const std::vector<WId> active = rootWindows("_NET_ACTIVE_WINDOW");
    return !ours.empty() && ours.back() == alert->internalWinId() && active == std::vector<WId>{alert->internalWinId()};
}

class ExclusiveStartUpAlert : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (QGuiApplication::platformName() != QStringLiteral("xcb"))
            GTEST_SKIP() << "needs the test desktop";
    }

    QTemporaryDir dir_;
};

TEST_F(ExclusiveStartUpAlert, TheLibraryErrorIsTheFocusedFrontWindow)
{
    const QString file = dir_.filePath(QStringLiteral("a-file"));
    QFile(file).open(QIODevice::WriteOnly);
    const QString taken = dir_.filePath(QStringLiteral("taken"));
    LibraryLease holder(taken); // a second instance on the same library
    const QString locked = dir_.filePath(QStringLiteral("locked"));
    ASSERT_TRUE(QDir().mkpath(locked));
    ASSERT_TRUE(TestSupport::lockFolder(locked, true));
    const auto unlock = qScopeGuard([&] { TestSupport::lockFolder(locked, false); });

    const struct {
        const char *name;
        QString root;
    } cases[] = {
        {"a file named as the library", file}, {"a library in use", taken}, {"a library not writable", locked}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TarnAppDelegate delegate(c.root, false, std::nullopt);
        QSignalSpy started(&delegate, &TarnAppDelegate::startUpFinished);
        delegate.applicationDidFinishLaunching();
        ASSERT_TRUE(started.count() > 0 || started.wait(20000));
        ASSERT_TRUE(delegate.app().errorMessage());
        auto *alert = delegate.libraryWindow()->findChild<QMessageBox *>();
        ASSERT_TRUE(alert);
        EXPECT_EQ(alert->text(), *delegate.app().errorMessage());
        // The window manager orders the windows in its own time; the order it settles in counts.
        for (const char *moment : {"after start-up", "after the library is brought forward"}) {
            SCOPED_TRACE(moment);
            EXPECT_TRUE(QTest::qWaitFor([&] { return alertInFront(alert); }, 3000));
            QTest::qWait(300);
            EXPECT_TRUE(alertInFront(alert));
            delegate.perform(AppCommand::showLibrary);
        }
        delegate.libraryWindow()->close();
    }
}

} // namespace
} // namespace tarn
