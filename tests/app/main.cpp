// SPDX-License-Identifier: GPL-3.0-or-later
// Test entry point of the application suite: a widget application on the X display when there
// is one (the tests run inside Xvfb), offscreen otherwise. With TARN_TEST_WINDOWS set the binary
// instead acts as the child process that shows windows for the tests (support/TestWindows.h).
#include <csignal>
#include <cstdio>

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <execinfo.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "app/shell/ExitGuard.h"
#include "support/ExclusiveDisplay.h"
#include "support/HeldKeys.h"
#include "support/TestWindows.h"

namespace {

// A test that crashes ends the process before Google Test reports anything, and output still
// buffered for the pipe is lost: the report goes out line by line, and a crash writes where it
// happened before the signal takes its course. The sanitizer build reports crashes itself.
#if !defined(__SANITIZE_ADDRESS__) && !defined(__clang__)
void reportCrash(int signal)
{
    void *frames[64];
    backtrace_symbols_fd(frames, backtrace(frames, 64), STDERR_FILENO);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}
#endif

void reportCrashes()
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
#if !defined(__SANITIZE_ADDRESS__) && !defined(__clang__)
    for (const int signal : {SIGSEGV, SIGBUS, SIGFPE, SIGILL})
        std::signal(signal, reportCrash);
#endif
}

} // namespace

int main(int argc, char **argv)
{
    reportCrashes();
    if (qEnvironmentVariableIsSet("TARN_TEST_WINDOWS"))
        return tarn::TestSupport::runTestWindows(argc, argv);
    tarn::TestSupport::useExclusiveDisplay();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Per-user settings go to a folder of this run, never into the developer's own.
    QTemporaryDir settings;
    if (!settings.isValid())
        return 1;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new tarn::TestSupport::HeldKeysCheck);
    const int status = RUN_ALL_TESTS();
    // The tests have ended their windows and players; Qt's own teardown must not hold the
    // result back. Later than the application's own guard, which a test checks in a child.
    tarn::ExitGuard::arm(status, tarn::ExitGuard::limit * 5);
    return status;
}
