// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QString>

namespace tarn {

// One screenshot and how long it took, from just before the request until the pixels were back
// on the GUI thread.
struct CapturedImage {
    QImage image; // device pixels
    double milliseconds = 0;
    // For the status line when the picture is not quite what was asked for (a window read from
    // the screen because the server cannot read it alone); empty otherwise.
    QString notice;
};

} // namespace tarn
