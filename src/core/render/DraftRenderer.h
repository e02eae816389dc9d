// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include <QImage>
#include <QRect>
#include <QRectF>

#include "core/model/Annotation.h"
#include "core/model/EditDocument.h"
#include "core/render/GaussianBlur.h"

class QPainter;

namespace tarn {

// Draws a document with the mark being drawn in an editor (the draft) on top, the same to the
// last pixel as RasterRenderer::draw draws the document with the draft appended, but quickly
// enough to follow the pointer over blur patches. Their blurred copy has the regular marks
// painted in, the draft among them, and making it afresh for each move of the pointer takes
// tens of milliseconds. This keeps the working copy of the document without the draft, and the
// working and blurred copies with the draft last drawn; on each move it paints the new draft
// into the working copy and re-blurs only the parts of the patches that the old or the new
// draft reaches through the blur. A draft far from every patch re-blurs nothing.
//
// The kept blurred copy is exact only near the patches of the document last drawn, so it never
// goes into the shared cache. One per canvas; not thread-safe.
class DraftRenderer {
public:
    // Throws what RasterRenderer::draw throws, before anything is drawn.
    void draw(const QImage &image, const EditDocument &document, const Annotation &draft, QPainter &painter);

    // The blurred copy that `draw` paints the blur patches from: that of the document with the
    // draft appended, exact within the patches; null when neither has a patch. Throws what
    // `draw` throws.
    QImage blurredCopy(const QImage &image, const EditDocument &document, const Annotation &draft,
                       const QPainter &painter);

    // Lets the kept copies go (the drawing has ended).
    void clear() { kept_.reset(); }

    // How many patch parts were re-blurred since the program started; the benchmarks read it.
    static size_t partsBlurred();

private:
    struct Kept {
        QImage source; // keeps its cache key from standing for another image
        std::vector<Annotation> marks;
        QSizeF sourceSize;
        double sigma;
        int reach;
        QImage plainWorking; // the working copy without the draft
        QImage plainBlurred;
        QImage working; // with `draft` painted in, which changed `draftArea` alone, near the patches
        std::optional<Annotation> draft;
        QRect draftArea;
        QRect touched;                  // where `working` may differ from `plainWorking`; right only near `shown`
        GaussianBlur::RowsBlurred rows; // `working` blurred across, once a patch was reached
        QImage blurred;                 // agrees with a blur of `working` within `shown`
        std::vector<QRect> shown;       // working-copy pixels the patches read
    };

    std::optional<std::vector<QRect>> shownAreas(const EditDocument &document, const QPainter &painter) const;
    QRect workingArea(const QRectF &sourceRect) const;
    void keep(const QImage &image, const std::vector<Annotation> &marks);
    QImage updatedCopy(const Annotation &draft, const QRectF &draftBounds, const std::vector<QRect> &shown);

    std::optional<Kept> kept_;
};

} // namespace tarn
