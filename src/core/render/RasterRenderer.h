// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include <QImage>
#include <QRectF>
#include <QSizeF>

#include "core/model/Annotation.h"
#include "core/model/EditDocument.h"

class QPainter;

namespace tarn {

// Flattens a capture and its edit document into one picture: backdrop and card, the cropped
// image, the marks, blur patches and black redactions, always in that order. Stateless; every
// function may run on any thread with its own painter.
namespace RasterRenderer {

// A new RGBA (premultiplied, sRGB) picture of the document applied to `image`, scaled down so
// that its longer side is at most `maximumEdge` when given (never enlarged). Throws
// ImageFailure: invalidDimensions for an empty source or a maximum edge below 1, tooLarge for
// an output beyond the limits, encoding when no bitmap can be made; blur errors pass through.
QImage render(const QImage &image, const EditDocument &document, std::optional<int> maximumEdge = std::nullopt);

// Paints the same picture into a y-down painter whose user space is one unit per output
// pixel of the layout (the caller may scale it). Throws what the blur renderer throws, before
// anything is drawn.
void draw(const QImage &image, const EditDocument &document, QPainter &painter);

// Paints one mark in source-pixel user space; `size` is the whole source image's pixel size.
// Never fails; degenerate marks draw nothing.
void drawAnnotation(const Annotation &annotation, QSizeF size, QPainter &painter);

// Paints an image upright into a rectangle of a y-down painter.
void drawImage(const QImage &image, const QRectF &rect, QPainter &painter);

} // namespace RasterRenderer
} // namespace tarn
