// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include <QFont>
#include <QImage>
#include <QSizeF>
#include <QString>
#include <QTransform>

#include "app/editor/CanvasGeometry.h"
#include "core/model/Annotation.h"
#include "core/model/EditDocument.h"

class QPainter;

namespace tarn {

class BadgeRotationGeometry;
class DraftRenderer;

// Paints one frame of the editor canvas in view space: the dark backdrop with its dot grid,
// the plate under the render with its shadow, the capture and its marks through the very
// renderer that exports use (with the mark being drawn on top), then the crop marquee or the
// selection outline, and the rotation ring of a selected badge. Overlay lines are drawn in
// view space, so their widths and dashes stay the same at every zoom.
namespace CanvasPainter {

struct Frame;

// What lies under the mark being drawn, kept between the frames of one drawing: the backdrop,
// the plate and the capture with its frame and regular marks, at the pixel ratio painted. A
// frame of the drawing copies it and adds the mark, the blur patches and the black masks in the
// order a whole paint draws them, so it shows the same pixels without drawing the capture
// again. Made again when the document, the view or the capture's place in it changes.
struct KeptFrame {
    QImage picture;
    qint64 imageKey = 0;
    EditDocument document;
    QTransform transform;
    QRectF canvasRect;
    QSizeF viewSize;
    bool renderIsOpaque = false;

    void clear() { picture = QImage(); }
    // Whether the picture is what lies under this frame's draft, at this pixel ratio.
    bool fits(const Frame &frame, double ratio, bool opaque) const;
    void make(const Frame &frame, double ratio, bool opaque);
};

// What one frame shows.
struct Frame {
    const CanvasGeometry &geometry;
    const QImage &image;
    const EditDocument &document;
    const std::optional<Annotation> &draft;
    QSizeF viewSize;
    // No pixel of the image is transparent (a capture of the screen).
    bool imageIsOpaque = false;
    // Keeps the blurred copy between the frames of a drawing, when given; a frame without a
    // draft lets it go.
    DraftRenderer *draftRenderer = nullptr;
    // Keeps what lies under the draft between the frames of a drawing, when given with a draft
    // renderer; a frame without a draft lets it go.
    KeptFrame *keptFrame = nullptr;
};

// Whether every pixel of an image is opaque; a format this does not read counts as not.
bool isOpaque(const QImage &image);

// Paints a capture with its document into a painter in layout space; throws when it cannot.
using DocumentRenderer = void (*)(const QImage &, const EditDocument &, QPainter &);

// Never fails: a renderer that throws leaves the backdrop and plate with the failure text
// over them, and no overlays.
void paint(QPainter &painter, const Frame &frame, DocumentRenderer renderer = nullptr);

// The ring of a selected badge, its handle at `rotationDegrees` and the degree label above it.
void paintBadgeRotationControl(QPainter &painter, const BadgeRotationGeometry &ring, double rotationDegrees,
                               QSizeF viewSize);

// The font of the ring's degree label: digits of one width.
QFont degreeLabelFont();

QString failureText();

} // namespace CanvasPainter
} // namespace tarn
