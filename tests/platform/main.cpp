// SPDX-License-Identifier: GPL-3.0-or-later
// Test entry point of the platform suite: a GUI application on the X display when there is one
// (global keys and screen grabs need the xcb platform), offscreen otherwise. With
// TARN_TEST_WINDOWS set the binary instead acts as the child process that shows windows for the
// tests (support/TestWindows.h).
#include <QGuiApplication>
#include <gtest/gtest.h>

#include "support/ExclusiveDisplay.h"
#include "support/HeldKeys.h"
#include "support/TestWindows.h"

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsSet("TARN_TEST_WINDOWS"))
        return tarn::TestSupport::runTestWindows(argc, argv);
    tarn::TestSupport::useExclusiveDisplay();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new tarn::TestSupport::HeldKeysCheck);
    return RUN_ALL_TESTS();
}
