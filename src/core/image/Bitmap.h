// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QImage>
#include <QSize>

namespace tarn::Bitmap {

// A new picture in the drawing format of every renderer: 8-bit RGBA, premultiplied, tagged
// sRGB, filled with `fill`. Throws ImageFailure::encoding when the memory cannot be had.
QImage create(QSize size, QColor fill = Qt::transparent);

} // namespace tarn::Bitmap
