// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>

#include "core/model/EditDocument.h"
#include "core/model/UnitGeometry.h"

namespace tarn {

// The geometry of one flattened picture: the source size, the kept part of the source (crop),
// the output size once the backdrop frame is added, and where the kept part sits in the
// output. One unit is one source pixel, y grows downward. Every view of a capture (canvas,
// thumbnails, exports) computes it the same way, so they agree.
class RenderLayout {
public:
    RenderLayout(int imageWidth, int imageHeight, const EditDocument &document);

    QSizeF sourceSize() const { return sourceSize_; }
    QRectF crop() const { return crop_; }
    QRectF contentRect() const { return contentRect_; }
    QSizeF size() const { return size_; }

    // A point in output units to a unit point of the whole source image (not of the crop):
    // a point over the padding maps beyond the crop edge, clamped to the image.
    UnitPoint sourcePoint(QPointF point) const;

    // The most padding a frame gets per side.
    static constexpr double maximumPadding = 512;

private:
    QSizeF sourceSize_;
    QRectF crop_;
    QRectF contentRect_;
    QSizeF size_;
};

} // namespace tarn
