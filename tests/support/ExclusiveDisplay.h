// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace tarn::TestSupport {

// A test that injects real input or needs focus (its name begins with "Exclusive"; CTest marks
// it with TARN_EXCLUSIVE_TEST, 1, 2, 3 (metacity's) or 4 (kwin_x11's)) moves to that exclusive display of the
// test desktop, on which only one such test runs at a time: the windows of the tests running
// beside it stay on the first one. Call before the application object is made. The mark is
// cleared so that a child process started with a DISPLAY of its own keeps it.
inline void useExclusiveDisplay()
{
    const QByteArray display = qgetenv("TARN_EXCLUSIVE_TEST") == "2" ? qgetenv("TARN_EXCLUSIVE_DISPLAY2")
        : qgetenv("TARN_EXCLUSIVE_TEST") == "3"                      ? qgetenv("TARN_EXCLUSIVE_DISPLAY3")
        : qgetenv("TARN_EXCLUSIVE_TEST") == "4"                      ? qgetenv("TARN_EXCLUSIVE_DISPLAY4")
        : qEnvironmentVariableIsSet("TARN_EXCLUSIVE_TEST")           ? qgetenv("TARN_EXCLUSIVE_DISPLAY")
                                                                     : QByteArray();
    if (!display.isEmpty())
        qputenv("DISPLAY", display);
    qunsetenv("TARN_EXCLUSIVE_TEST");
}

} // namespace tarn::TestSupport
