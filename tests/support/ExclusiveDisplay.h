// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

namespace tarn::TestSupport {

// A test that injects real input or needs focus (its name begins with "Exclusive"; CTest marks
// it with TARN_EXCLUSIVE_TEST) moves to the test desktop's second display, on which only one
// such test runs at a time: the windows of the tests running beside it stay on the first one.
// Call before the application object is made. The mark is cleared so that a child process
// started with a DISPLAY of its own keeps it.
inline void useExclusiveDisplay()
{
    if (qEnvironmentVariableIsSet("TARN_EXCLUSIVE_TEST") && !qEnvironmentVariableIsEmpty("TARN_EXCLUSIVE_DISPLAY"))
        qputenv("DISPLAY", qgetenv("TARN_EXCLUSIVE_DISPLAY"));
    qunsetenv("TARN_EXCLUSIVE_TEST");
}

} // namespace tarn::TestSupport
