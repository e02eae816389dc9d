// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/render/DraftRenderer.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>

#include <QPainter>
#include <QRegion>

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

// The tiles of `area` of `after` whose pixels differ from `before` (a copy of that area), merged
// along each row of tiles.
QRegion differingTiles(const QImage &before, const QImage &after, const QRect &area)
{
    constexpr int tile = 16;
    QRegion tiles;
    for (int top = 0; top < area.height(); top += tile) {
        const int rows = std::min(tile, area.height() - top);
        int spanStart = -1;
        for (int left = 0; left <= area.width(); left += tile) {
            bool differs = false;
            const int columns = std::min(tile, area.width() - left);
            for (int y = top; y < top + rows && !differs && columns > 0; ++y)
                differs = std::memcmp(before.constScanLine(y) + size_t(left) * 4,
                                      after.constScanLine(area.top() + y) + size_t(area.left() + left) * 4,
                                      size_t(columns) * 4) != 0;
            if (differs && spanStart < 0)
                spanStart = left;
            if (!differs && spanStart >= 0) {
                tiles += QRect(area.left() + spanStart, area.top() + top, left - spanStart, rows);
                spanStart = -1;
            }
        }
        if (spanStart >= 0)
            tiles += QRect(area.left() + spanStart, area.top() + top, area.width() - spanStart, rows);
    }
    return tiles;
}

// Where rows blurred across go out of date when the pixels of `changed` change, as far as the
// blur of the patches reads them: the changed rows near a patch, the columns of the patch that
// reach the change.
QRegion stale(const QRegion &changed, const std::vector<QRect> &patches, int reach)
{
    QRegion out;
    for (const QRect &c : changed)
        for (const QRect &patch : patches)
            out += c.adjusted(-reach, 0, reach, 0) & patch.adjusted(0, -reach, 0, reach);
    return out;
}

} // namespace

size_t DraftRenderer::partsBlurred() { return parts.load(); }

void DraftRenderer::draw(const QImage &image, const EditDocument &document, const Annotation &draft, QPainter &painter)
{
    const QImage blurred = blurredCopy(image, document, draft, painter);
    EditDocument withDraft = document;
    withDraft.annotations.push_back(draft);
    RasterRenderer::drawWithBlurredCopy(image, withDraft, blurred, painter);
}

QImage DraftRenderer::blurredCopy(const QImage &image, const EditDocument &document, const Annotation &draft,
                                  const QPainter &painter)
{
    EditDocument withDraft = document;
    withDraft.annotations.push_back(draft);
    if (!hasBlurPatch(withDraft)) {
        clear();
        return {};
    }
    const QSizeF size(image.width(), image.height());
    const auto bounds = RasterRenderer::isRegular(draft) && hasBlurPatch(document) && !image.isNull()
        ? RasterRenderer::paintedBounds(draft, size)
        : std::nullopt;
    if (!bounds) { // the draft leaves the blurred copy alone, or its reach is not known
        clear();
        return BlurRenderer::image(image, regularMarks(withDraft));
    }
    const std::vector<Annotation> marks = regularMarks(document);
    if (!kept_ || kept_->source.cacheKey() != image.cacheKey() || kept_->marks != marks)
        keep(image, marks);
    const auto shown = shownAreas(document, painter);
    if (!shown)
        return BlurRenderer::image(image, regularMarks(withDraft));
    try {
        return updatedCopy(draft, *bounds, *shown);
    } catch (...) { // the copies may be half updated
        clear();
        throw;
    }
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

QImage DraftRenderer::updatedCopy(const Annotation &draft, const QRectF &draftBounds, const std::vector<QRect> &shown)
{
    Kept &k = *kept_;
    QRegion changed; // where the working copy differs from the one `blurred` agrees with
    if (shown != k.shown) {
        k.blurred = k.plainBlurred;
        k.shown = shown;
        k.rows = {};
        // The working copy was kept right only near the old patches: right everywhere again.
        copyArea(k.plainWorking, k.working, k.touched);
        if (k.draft)
            BlurRenderer::paintMark(k.working, k.sourceSize, *k.draft);
        k.touched = k.draftArea;
        changed = k.draftArea;
    }
    if (draft != k.draft) {
        // Antialiasing reaches a working-copy pixel beyond the bounds.
        const QRect area = workingArea(draftBounds).adjusted(-2, -2, 2, 2) & k.working.rect();
        // Only the pixels the patches' blur reads matter, those near a patch; there the old
        // draft gives way to the new one.
        QRegion zone;
        for (const QRect &patch : k.shown)
            zone += patch.adjusted(-k.reach, -k.reach, k.reach, k.reach);
        zone &= QRegion(k.draftArea.united(area));
        std::vector<std::pair<QRect, QImage>> before;
        for (const QRect &z : zone) {
            before.emplace_back(z, k.working.copy(z));
            copyArea(k.plainWorking, k.working, z);
        }
        if (!zone.isEmpty())
            BlurRenderer::paintMark(k.working, k.sourceSize, draft, zone);
        // A mark that moves a little changes a few pixels along its lines, not its whole box.
        QRegion differing;
        for (const auto &[z, old] : before)
            differing += differingTiles(old, k.working, z);
        if (!k.rows.isNull()) // kept up to date only where the patches' blur reads it
            for (const QRect &r : stale(differing, k.shown, k.reach))
                k.rows.updateRows(k.working, r);
        changed += differing;
        k.draft = draft;
        k.draftArea = area;
        k.touched = k.touched.united(area);
    }
    if (changed.isEmpty())
        return k.blurred;
    QRegion reached;
    for (const QRect &r : changed)
        reached += r.adjusted(-k.reach, -k.reach, k.reach, k.reach);
    for (const QRect &patch : k.shown) {
        for (const QRect &part : reached &QRegion(patch)) {
            if (k.sigma < 0.5) {
                GaussianBlur::blurInto(k.working, k.sigma, part, k.blurred);
            } else {
                if (k.rows.isNull()) // made when a patch is first reached: from the copy as it is now
                    k.rows = GaussianBlur::RowsBlurred(k.working, k.sigma);
                k.rows.blurInto(part, k.blurred);
            }
            ++parts;
        }
    }
    return k.blurred;
}

} // namespace tarn
