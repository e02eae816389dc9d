// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace tarn::TestSupport {

// A test that injects real input or needs focus (its name begins with "Exclusive"; CTest marks
// it with TARN_EXCLUSIVE_TEST, 1, 2 or 3) moves to that exclusive display of the test desktop, on
// which only one such test runs at a time: the windows of the tests running beside it stay on
// the first one. The third display is managed by metacity, the others by openbox. Call before
// the application object is made. The mark is cleared so that a child process started with a
// DISPLAY of its own keeps it.
inline void useExclusiveDisplay()
{
    const QByteArray mark = qgetenv("TARN_EXCLUSIVE_TEST");
    // TARN_EXCLUSIVE_DISPLAY for the first, TARN_EXCLUSIVE_DISPLAY2 and 3 for the others.
    const QByteArray name = "TARN_EXCLUSIVE_DISPLAY" + (mark == "2" || mark == "3" ? mark : QByteArray());
    const QByteArray display = qgetenv(name.constData());
    if (!mark.isEmpty() && !display.isEmpty())
        qputenv("DISPLAY", display);
    qunsetenv("TARN_EXCLUSIVE_TEST");
}

} // namespace tarn::TestSupport
