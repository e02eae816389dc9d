// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QSize>

namespace tarn {

// Reduces a picture in the working form (8-bit RGBA, premultiplied) to `target` by area
// averaging: every output pixel is the mean of the source area it covers, fractions weighted.
// Rows are shared among a few threads of its own, and the calling thread does the rows of any
// that cannot start: Qt's smooth scaling hands a large image to its thread pool and waits for
// threads that may never start (address space or thread limits reached). Returns a null image
// when the result cannot be allocated.
QImage areaScaled(const QImage &working, QSize target);

} // namespace tarn
