// SPDX-License-Identifier: GPL-3.0-or-later
// Test entry point of the core suite: an offscreen GUI application (text drawing needs the
// font database, which needs one), then every GoogleTest case.
#include <cstdlib>

#include <QGuiApplication>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
