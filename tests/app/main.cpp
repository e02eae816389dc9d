// SPDX-License-Identifier: GPL-3.0-or-later
// Test entry point of the application suite: a widget application on the X display when there
// is one (the tests run inside Xvfb), offscreen otherwise. With TARN_TEST_WINDOWS set the binary
// instead acts as the child process that shows windows for the tests (support/TestWindows.h).
#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "app/shell/ExitGuard.h"
#include "support/ExclusiveDisplay.h"
#include "support/TestWindows.h"

int main(int argc, char **argv)
{
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
    const int status = RUN_ALL_TESTS();
    // The tests have ended their windows and players; Qt's own teardown must not hold the
    // result back. Later than the application's own guard, which a test checks in a child.
    tarn::ExitGuard::arm(status, tarn::ExitGuard::limit * 5);
    return status;
}
