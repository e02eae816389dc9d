// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>

namespace tarn {

// One screenshot and how long it took, from just before the request until the pixels were back
// on the GUI thread.
struct CapturedImage {
    QImage image; // device pixels
    double milliseconds = 0;
};

} // namespace tarn
