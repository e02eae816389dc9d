// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>

namespace tarn {

// Converts an image to the working form (8-bit RGBA, premultiplied, sRGB) a few rows at a time
// on the calling thread. Qt converts a large image on its thread pool and waits for threads
// that may never start (address space or thread limits reached): the wait never ends. Bands
// small enough for Qt to convert on the calling thread cannot hang that way; the only big
// allocation is the result, whose failure gives a null image. Colour-managed sources are
// transformed to sRGB band by band, in 16 bits per channel when the source has them, unless
// `toSrgb` is false: then the pixels keep their colour space tag.
QImage toWorkingFormat(const QImage &image, bool toSrgb = true);

} // namespace tarn
