// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QImage>

namespace tarn::JpegEncoder {

// Writes an RGBA8888_Premultiplied bitmap as a baseline JPEG with libjpeg-turbo, each row
// blended over opaque white on the way (c + (255 - a) per channel, exactly source-over on
// premultiplied values). quality is libjpeg's 1...100. Returns empty bytes when libjpeg
// reports an error.
QByteArray encode(const QImage &image, int quality);

} // namespace tarn::JpegEncoder
