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

// Paints the same picture with a blurred copy the caller made of the image with its regular
// marks (BlurRenderer::image's, or one that agrees with it near every blur patch: nothing else
// of it is read); a null copy when the document has no blur patch. Never throws.
void drawWithBlurredCopy(const QImage &image, const EditDocument &document, const QImage &blurred, QPainter &painter);

// Whether a mark is one of the regular marks, painted into the blurred copy: every mark but
// blur patches and redactions.
// A picture of a document with a mark being drawn on top, in two parts, so that the first can
// be kept while the mark moves: `drawUnderDraft` paints what lies under the mark (the frame, the
// image and the regular marks) and `drawDraftOver` completes it into what `drawWithBlurredCopy`
// paints for the document with `draft` appended: the draft, every blur patch again from
// `blurred` (that document's blurred copy; null without patches) and the black masks.
void drawUnderDraft(const QImage &image, const EditDocument &document, QPainter &painter);
void drawDraftOver(const QImage &image, const EditDocument &document, const Annotation &draft, const QImage &blurred,
                   QPainter &painter);

bool isRegular(const Annotation &annotation);

// The source-pixel rectangle in which a blur patch shows the blurred copy; `size` is the whole
// source image's pixel size.
QRectF blurPatchRect(const Annotation &patch, QSizeF size);

// A rectangle in source pixels outside which drawAnnotation leaves every pixel as it was, for
// the marks drawn by dragging (lines, arrows, shapes, pen strokes, highlights; empty for marks
// that draw nothing); none for the rest (text, numbers, badges, redactions). Antialiasing may
// touch the device pixels it passes through, up to one device pixel further.
std::optional<QRectF> paintedBounds(const Annotation &annotation, QSizeF size);

// Paints one mark in source-pixel user space; `size` is the whole source image's pixel size.
// Never fails; degenerate marks draw nothing.
void drawAnnotation(const Annotation &annotation, QSizeF size, QPainter &painter);

// Paints an image upright into a rectangle of a y-down painter.
void drawImage(const QImage &image, const QRectF &rect, QPainter &painter);

} // namespace RasterRenderer
} // namespace tarn
