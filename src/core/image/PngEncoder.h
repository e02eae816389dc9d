// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QImage>

namespace tarn::PngEncoder {

// Writes an RGBA8888_Premultiplied bitmap as an 8-bit, non-interlaced PNG: RGB when every
// pixel is opaque (the same pixels, a smaller file), RGBA with straight alpha otherwise, tagged
// sRGB. Returns empty bytes when memory runs out.
//
// The IDAT stream is one zlib stream compressed in parallel bands: each band is deflated on its
// own thread, primed with the last 32 KiB of the band before it, and ends on a byte boundary
// (a sync flush), so the concatenation is exactly one valid stream, only slightly larger than a
// sequential one. Band boundaries depend on the image alone, so the bytes do not depend on the
// machine's core count.
QByteArray encode(const QImage &image);

} // namespace tarn::PngEncoder
