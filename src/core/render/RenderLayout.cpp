// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/render/RenderLayout.h"

#include <algorithm>
#include <cmath>

#include "core/model/Markup.h"

namespace tarn {

namespace {

// The document's crop in whole source pixels, kept inside the image; the whole image when the
// crop is missing, degenerate or not a number. Stays in floating point: crops read from a
// hand-edited index may be huge.
QRectF pixelCrop(double w, double h, const std::optional<UnitRect> &unitCrop)
{
    const UnitRect u = unitCrop.value_or(UnitRect::full());
    const double left = std::max(std::floor(u.x * w), 0.0);
    const double top = std::max(std::floor(u.y * h), 0.0);
    const double right = std::min(std::ceil((u.x + u.width) * w), w);
    const double bottom = std::min(std::ceil((u.y + u.height) * h), h);
    const double cw = right - left;
    const double ch = bottom - top;
    // Written so that NaN edges also fall back to the whole image.
    if (!(cw >= 1 && ch >= 1) || !std::isfinite(left) || !std::isfinite(top))
        return {0, 0, w, h};
    return {left, top, cw, ch};
}

double framePadding(double padding)
{
    if (std::isnan(padding) || padding < 0)
        return 0;
    return std::min(padding, RenderLayout::maximumPadding);
}

} // namespace

RenderLayout::RenderLayout(int imageWidth, int imageHeight, const EditDocument &document)
{
    const double W = imageWidth;
    const double H = imageHeight;
    crop_ = pixelCrop(W, H, document.crop);

    double w = crop_.width();
    double h = crop_.height();
    if (document.backdrop != Backdrop::none) {
        const double p = framePadding(document.padding);
        w += 2 * p;
        h += 2 * p;
        if (const auto t = ratio(document.aspect)) {
            if (w / h < *t)
                w = std::ceil(h * *t);
            else
                h = std::ceil(w / *t);
        }
    }
    size_ = QSizeF(std::ceil(w), std::ceil(h));
    contentRect_ = QRectF((size_.width() - crop_.width()) / 2, (size_.height() - crop_.height()) / 2, crop_.width(),
                          crop_.height());
    sourceSize_ = QSizeF(W, H);
}

UnitPoint RenderLayout::sourcePoint(QPointF point) const
{
    const double x = (point.x() - contentRect_.left() + crop_.left()) / sourceSize_.width();
    const double y = (point.y() - contentRect_.top() + crop_.top()) / sourceSize_.height();
    return UnitPoint(x, y);
}

} // namespace tarn
