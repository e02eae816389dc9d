// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/image/Bitmap.h"

#include <QColorSpace>

#include "core/base/ImageFailure.h"

namespace tarn::Bitmap {

QImage create(QSize size, QColor fill)
{
    QImage image(size, QImage::Format_RGBA8888_Premultiplied);
    if (image.isNull())
        throw ImageFailure::encoding();
    image.setColorSpace(QColorSpace::SRgb);
    image.fill(fill);
    return image;
}

} // namespace tarn::Bitmap
