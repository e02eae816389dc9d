#pragma once

#include <QByteArray>
#include <QImage>

namespace tarn::PngEncoder {

// Writes an RGBA8888_Premultiplied bitmap as an 8-bit PNG with libpng: RGB when every pixel is
// opaque (the same pixels, a smaller file), RGBA with straight alpha otherwise. Returns empty
// bytes when libpng reports an error. The result still carries whatever libpng writes; callers
// strip it.
QByteArray encode(const QImage &image);

} // namespace tarn::PngEncoder
