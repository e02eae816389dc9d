// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/render/DraftRenderer.h"

#include <algorithm>
#include <atomic>
#include <cmath>

#include <QPainter>

#include "core/render/BlurRenderer.h"
#include "core/render/GaussianBlur.h"
#include "core/render/RasterRenderer.h"

namespace tarn {

namespace {

std::atomic<size_t> parts{0};

bool hasBlurPatch(const EditDocument &document)
{
    return std::any_of(document.annotations.begin(), document.annotations.end(),
                       [](const Annotation &a) { return a.tool == MarkupTool::blur; });
}

std::vector<Annotation> regularMarks(const EditDocument &document)
{
    std::vector<Annotation> marks;
    std::copy_if(document.annotations.begin(), document.annotations.end(), std::back_inserter(marks),
                 RasterRenderer::isRegular);
    return marks;
}

void copyArea(const QImage &from, QImage &to, const QRect &area)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        std::copy_n(from.constScanLine(y) + size_t(area.left()) * 4, size_t(area.width()) * 4,
                    to.scanLine(y) + size_t(area.left()) * 4);
}

} // namespace

size_t DraftRenderer::partsBlurred() { return parts.load(); }

void DraftRenderer::draw(const QImage &image, const EditDocument &document, const Annotation &draft, QPainter &painter)
{
    EditDocument withDraft = document;
    withDraft.annotations.push_back(draft);
    const QSizeF size(image.width(), image.height());
    const auto bounds = RasterRenderer::isRegular(draft) && hasBlurPatch(document) && !image.isNull()
        ? RasterRenderer::paintedBounds(draft, size)
        : std::nullopt;
    if (!bounds) { // the draft leaves the blurred copy alone, or its reach is not known
        clear();
        RasterRenderer::draw(image, withDraft, painter);
        return;
    }
    const std::vector<Annotation> marks = regularMarks(document);
    if (!kept_ || kept_->source.cacheKey() != image.cacheKey() || kept_->marks != marks)
        keep(image, marks);
    const auto shown = shownAreas(document, painter);
    if (!shown) {
        RasterRenderer::draw(image, withDraft, painter);
        return;
    }
    QImage blurred;
    try {
        blurred = blurredCopy(draft, *bounds, *shown);
    } catch (...) { // the copies may be half updated
        clear();
        throw;
    }
    RasterRenderer::drawWithBlurredCopy(image, withDraft, blurred, painter);
}

void DraftRenderer::keep(const QImage &image, const std::vector<Annotation> &marks)
{
    kept_.reset(); // a failure below keeps nothing
    const auto reduction = BlurRenderer::reduction(image.width(), image.height());
    Kept k;
    k.source = image;
    k.marks = marks;
    k.sourceSize = QSizeF(image.width(), image.height());
    k.sigma = reduction.radius;
    k.reach = GaussianBlur::reach(reduction.radius);
    k.plainWorking = BlurRenderer::workingCopy(image, marks);
    k.plainBlurred = BlurRenderer::image(image, marks);
    k.working = k.plainWorking;
    k.blurred = k.plainBlurred;
    kept_ = std::move(k);
}

// The working-copy pixels the patches read: each patch's rectangle, widened by what a device
// pixel the patch's clip takes in part covers in the copy, and by the filter's neighbour.
std::optional<std::vector<QRect>> DraftRenderer::shownAreas(const EditDocument &document, const QPainter &painter) const
{
    const QTransform t = painter.combinedTransform();
    const double deviceScale = std::min(std::abs(t.m11()), std::abs(t.m22()));
    if (t.type() > QTransform::TxScale || !(deviceScale > 0))
        return std::nullopt;
    const QRect whole = kept_->plainWorking.rect();
    const double perDevicePixel =
        std::max(whole.width() / kept_->sourceSize.width(), whole.height() / kept_->sourceSize.height()) / deviceScale;
    const int margin = 2 + int(std::ceil(std::min(perDevicePixel, double(whole.width() + whole.height()))));
    std::vector<QRect> areas;
    for (const Annotation &a : document.annotations) {
        if (a.tool == MarkupTool::blur) {
            const QRect area = workingArea(RasterRenderer::blurPatchRect(a, kept_->sourceSize));
            areas.push_back(area.adjusted(-margin, -margin, margin, margin) & whole);
        }
    }
    return areas;
}

QRect DraftRenderer::workingArea(const QRectF &sourceRect) const
{
    if (sourceRect.isEmpty())
        return {};
    const double kx = kept_->plainWorking.width() / kept_->sourceSize.width();
    const double ky = kept_->plainWorking.height() / kept_->sourceSize.height();
    const int left = int(std::floor(sourceRect.left() * kx)), top = int(std::floor(sourceRect.top() * ky));
    const int right = int(std::ceil(sourceRect.right() * kx)), bottom = int(std::ceil(sourceRect.bottom() * ky));
    return QRect(left, top, right - left, bottom - top);
}

QImage DraftRenderer::blurredCopy(const Annotation &draft, const QRectF &draftBounds, const std::vector<QRect> &shown)
{
    Kept &k = *kept_;
    QRect changed; // where the working copy differs from the one `blurred` agrees with
    if (shown != k.shown) {
        k.blurred = k.plainBlurred;
        k.shown = shown;
        changed = k.draftArea;
    }
    if (draft != k.draft) {
        // Antialiasing reaches a working-copy pixel beyond the bounds.
        const QRect area = workingArea(draftBounds).adjusted(-2, -2, 2, 2) & k.working.rect();
        copyArea(k.plainWorking, k.working, k.draftArea);
        BlurRenderer::paintMark(k.working, k.sourceSize, draft);
        changed = changed.united(k.draftArea).united(area);
        k.draft = draft;
        k.draftArea = area;
    }
    if (changed.isEmpty())
        return k.blurred;
    const QRect reached = changed.adjusted(-k.reach, -k.reach, k.reach, k.reach);
    for (const QRect &patch : k.shown) {
        const QRect part = reached & patch;
        if (!part.isEmpty()) {
            GaussianBlur::blurInto(k.working, k.sigma, part, k.blurred);
            ++parts;
        }
    }
    return k.blurred;
}

} // namespace tarn
