// SPDX-License-Identifier: GPL-3.0-or-later
// Named pipes imported into the running application, by the model's import and by a name typed
// into the import panel: each import ends within a second and lists why the pipe was not read,
// nothing stays busy, and Ctrl+Q then quits.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "app/library/LibraryView.h"
#include "app/model/AppModel.h"
#include "app/shell/AppCommand.h"
#include "app/shell/LibraryWindow.h"
#include "app/shell/TarnAppDelegate.h"
#include "support/FileDialogAnswer.h"
#include "support/TestWindows.h"
#include "support/WindowStacking.h"
#include "support/XInput.h"

namespace tarn {
namespace {

using TestSupport::xdotool;

// Waits until `window` has the keyboard: the window manager names it active, the X server's focus
// is in it (after a closed alert the name comes first) and Qt has taken the activation.
bool waitForKeyboard(const QWidget *window)
{
    const auto ask = [](const char *question) {
        return TestSupport::clientOutput(QStringLiteral("xdotool"), {QString::fromLatin1(question)})
            .trimmed()
            .toULongLong();
    };
    return QTest::qWaitFor(
        [&] {
            return ask("getactivewindow") == window->internalWinId() &&
                ask("getwindowfocus") == window->internalWinId() && QApplication::activeWindow() == window;
        },
        5000);
}

class ExclusiveSpecialFileImport : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (QGuiApplication::platformName() != QStringLiteral("xcb"))
            GTEST_SKIP() << "needs the test desktop";
    }
    void TearDown() override
    {
        // A reader left waiting on a pipe gets a writer that leaves at once, so it ends.
        for (const QString &pipe : pipes_) {
            const int fd = ::open(QFile::encodeName(pipe).constData(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0)
                ::close(fd);
        }
    }

    QString pipe(const QString &name)
    {
        pipes_ << dir_.filePath(name);
        EXPECT_EQ(::mkfifo(QFile::encodeName(pipes_.back()).constData(), 0600), 0);
        return pipes_.back();
    }

    QTemporaryDir dir_;
    QStringList pipes_;
};

TEST_F(ExclusiveSpecialFileImport, APipeIsListedWithinASecondAndTheApplicationStillQuits)
{
    TarnAppDelegate delegate(dir_.filePath(QStringLiteral("library")), false, std::nullopt);
    QSignalSpy started(&delegate, &TarnAppDelegate::startUpFinished);
    QSignalSpy exits(&delegate, &TarnAppDelegate::exitRequested);
    delegate.applicationDidFinishLaunching();
    ASSERT_TRUE(started.count() > 0 || started.wait(20000));
    AppModel &app = delegate.app();
    QWidget *library = delegate.libraryWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(library));

    const QString still = pipe(QStringLiteral("x.png"));
    const QString movie = pipe(QStringLiteral("x.mp4"));

    // Opens the panel with the menu's command (its Ctrl+O is the main menu test's), types the path
    // into the name field and presses Return; returns once the panel closed. Ctrl+O sent to the
    // library right after the alert now and then opened nothing on a busy machine.
    const auto choose = [&](const QString &path) {
        delegate.perform(AppCommand::importFiles);
        QFileDialog *panel = TestSupport::nextFileDialog();
        ASSERT_TRUE(panel);
        ASSERT_TRUE(waitForKeyboard(panel));
        auto *name = panel->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        ASSERT_TRUE(TestSupport::typeInto(name, path)) << name->text().toStdString();
        xdotool({QStringLiteral("key"), QStringLiteral("Return")});
        ASSERT_TRUE(QTest::qWaitFor([&] { return !panel->isVisible(); }, 5000));
    };
    const struct {
        const char *how;
        std::function<void()> import; // hands the files over; the import is timed from there
        QStringList listed;
    } rounds[] = {
        {"the model's import",
         [&] {
             app.importURLs({still, movie});
         },
         {QStringLiteral("x.png"), QStringLiteral("x.mp4")}},
        {"a name typed into the import panel", [&] { choose(movie); }, {QStringLiteral("x.mp4")}},
    };
    for (const auto &round : rounds) {
        SCOPED_TRACE(round.how);
        round.import();
        QElapsedTimer clock;
        clock.start();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !app.isBusy() && app.errorMessage(); }, 1000))
            << "still busy after " << clock.elapsed() << " ms";
        const QStringList lines = app.errorMessage()->split(QLatin1Char('\n'));
        ASSERT_EQ(lines.size(), round.listed.size()) << app.errorMessage()->toStdString();
        for (qsizetype i = 0; i < lines.size(); ++i) {
            EXPECT_TRUE(lines[i].startsWith(round.listed[i] + QStringLiteral(": "))) << lines[i].toStdString();
            EXPECT_TRUE(lines[i].contains(QStringLiteral("파이프"))) << lines[i].toStdString();
        }
        EXPECT_TRUE(app.items().empty());
        auto *alert = library->findChild<QMessageBox *>();
        ASSERT_TRUE(alert && QTest::qWaitForWindowExposed(alert));
        QDir().mkpath(QStringLiteral(TARN_TEST_OUTPUT_DIR));
        alert->grab().save(QStringLiteral(TARN_TEST_OUTPUT_DIR "/pipe-import-alert.png"));
        QTest::keyClick(alert->windowHandle(), Qt::Key_Escape);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !app.errorMessage(); }, 2000));
        library->activateWindow(); // the keys that follow go to the library window
    }

    ASSERT_TRUE(waitForKeyboard(library));
    xdotool({QStringLiteral("key"), QStringLiteral("ctrl+q")});
    ASSERT_TRUE(exits.count() > 0 || exits.wait(5000)) << "Ctrl+Q did not quit";
    EXPECT_EQ(exits[0][0].toInt(), 0);
}

// A file manager's drag offers to copy, move or link and proposes Move; it removes its files at once
// when answered Move, before the import has read them. The library answers Copy: the file stays
// where it was and its copy is in the library.
TEST_F(ExclusiveSpecialFileImport, AFileManagersDropIsAnsweredCopyAndTheFileStaysWhereItWas)
{
    const QString dropped = dir_.filePath(QStringLiteral("dropped.png")),
                  answer = dir_.filePath(QStringLiteral("answer"));
    QImage picture(320, 200, QImage::Format_RGB32);
    picture.fill(QColor(200, 90, 40));
    ASSERT_TRUE(picture.save(dropped));
    qputenv("TARN_TEST_DRAG", (answer + u'\n' + dropped).toUtf8());
    TestSupport::TestWindows source(QStringLiteral("files|300|200|d"));
    qunsetenv("TARN_TEST_DRAG");
    ASSERT_NE(TestSupport::managedWindowTitled(QStringLiteral("files")), 0u);
    xdotool({QStringLiteral("search"), QStringLiteral("--name"), QStringLiteral("^files$"),
             QStringLiteral("windowmove"), QStringLiteral("--sync"), QStringLiteral("40"), QStringLiteral("40")});
    TarnAppDelegate delegate(dir_.filePath(QStringLiteral("library")), false, std::nullopt);
    QSignalSpy started(&delegate, &TarnAppDelegate::startUpFinished);
    delegate.applicationDidFinishLaunching();
    ASSERT_TRUE(started.count() > 0 || started.wait(20000));
    const auto *view = delegate.libraryWindow()->findChild<LibraryView *>();
    ASSERT_TRUE(QTest::qWaitForWindowActive(delegate.libraryWindow()));

    // Pressed in the source, then moved over the library; let go once the library has answered.
    const QPoint over = view->mapToGlobal(view->rect().center());
    // The library may open at a size kept from an earlier run, over the source: the source comes in front.
    xdotool({QStringLiteral("search"), QStringLiteral("--name"), QStringLiteral("^files$"),
             QStringLiteral("windowactivate"), QStringLiteral("--sync")});
    // Pressed again if a busy machine lost the press or the first moves of the drag.
    for (int tries = 0; tries < 3 && !view->isDropTargeted(); ++tries) {
        if (tries > 0)
            xdotool({QStringLiteral("mouseup"), QStringLiteral("1")});
        xdotool(TestSupport::heldFrom(QPoint(190, 120), {QPoint(260, 160), over - QPoint(20, 20), over}));
        (void)QTest::qWaitFor([&] { return view->isDropTargeted(); }, 5000);
    }
    if (!view->isDropTargeted()) { // seen now and then in a whole run: the other program's drag never began
        xdotool({QStringLiteral("mouseup"), QStringLiteral("1")}); // no button left held for the rows after
        GTEST_SKIP() << "the drag from the other program did not reach the library";
    }
    xdotool(TestSupport::moveTo(over + QPoint(5, 5)) + QStringList{QStringLiteral("mouseup"), QStringLiteral("1")});
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(answer); }, 10000)) << "the drag never ended";
    QFile answered(answer);
    ASSERT_TRUE(answered.open(QIODevice::ReadOnly));
    EXPECT_EQ(answered.readAll().toInt(), int(Qt::CopyAction));
    ASSERT_TRUE(QTest::qWaitFor([&] { return delegate.app().items().size() == 1 && !delegate.app().isBusy(); }, 20000))
        << (delegate.app().errorMessage() ? delegate.app().errorMessage()->toStdString() : "nothing imported");
    EXPECT_TRUE(QFile::exists(dropped));
    EXPECT_FALSE(delegate.app().errorMessage());
}

} // namespace
} // namespace tarn
