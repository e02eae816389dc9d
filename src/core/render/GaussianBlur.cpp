// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/render/GaussianBlur.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include <QColorSpace>
#include <QtConcurrent/QtConcurrentMap>

namespace tarn::GaussianBlur {

namespace {

constexpr int passes = 3;
constexpr int stripPixels = 32;       // columns per vertical work item
constexpr int rowsPerGroup = 8;       // rows blurred together
constexpr double maximumSigma = 1000; // far beyond any use; keeps the sums in 32 bits
constexpr int smallJob = 1 << 16;     // pixels one work item of the kept rows takes at least

// One box pass along a line of `count` elements, each made of `lanes` 16-bit values lying next
// to each other (the same pixel of a group of rows, or a run of pixels of a column strip).
// Elements beyond the ends repeat the end elements. `sums` is scratch of `lanes` entries.
// The loop over lanes is what the compiler vectorizes. With sigma limited to 1000 the boxes
// stay below 1200 wide, so the sums (at most 65280 per element) fit in 32 bits.
void boxLine(const uint16_t *__restrict src, uint16_t *__restrict dst, int count, int lanes, int radius,
             int32_t *__restrict sums)
{
    const float inverse = 1.0f / float(2 * radius + 1);
    const int last = count - 1;
    for (int l = 0; l < lanes; ++l)
        sums[l] = int32_t(radius + 1) * src[l];
    for (int i = 1; i <= radius; ++i) {
        const uint16_t *e = src + size_t(std::min(i, last)) * lanes;
        for (int l = 0; l < lanes; ++l)
            sums[l] += e[l];
    }
    const auto step = [&](int i, int entering, int leaving) {
        uint16_t *__restrict out = dst + size_t(i) * lanes;
        const uint16_t *__restrict in = src + size_t(entering) * lanes;
        const uint16_t *__restrict gone = src + size_t(leaving) * lanes;
        for (int l = 0; l < lanes; ++l) {
            out[l] = uint16_t(int32_t(float(sums[l]) * inverse + 0.5f));
            sums[l] += int32_t(in[l]) - int32_t(gone[l]);
        }
    };
    // Near the ends the window reaches past them; in the middle it never does.
    const int head = std::min(count, radius + 1);
    const int tail = std::max(head, last - radius);
    for (int i = 0; i < head; ++i)
        step(i, std::min(i + radius + 1, last), 0);
    for (int i = head; i < tail; ++i)
        step(i, i + radius + 1, i - radius);
    for (int i = tail; i < count; ++i)
        step(i, last, i - radius);
}

// One blur of the pixels of `region` of the target. `read` is the region widened by the reach
// (the three box radii) on every side, within the image: the row passes run along its columns
// for each of its rows, the column passes along its rows for each column of the region. Where
// `read` stops inside the image, the values its cut edge makes wrong stay further than the
// reach from the region; where it meets the image's edge, the edge is repeated as in a blur of
// the whole image. The sums are exact integers, so the region gets the very values a blur of
// the whole image gives it.
struct Job {
    const QImage *source;
    QImage *target;
    std::array<int, 3> radii;
    QRect region;
    QRect read;     // columns and rows the row passes read
    uint16_t *work; // the row passes' results, 8 fractional bits: row y - read.top(), from column region.left()
    size_t stride;  // values from one row of `work` to the next
};

// Rows are blurred a few at a time, interleaved so that the same pixel of every row in the
// group lies side by side: one pass then runs along all of them at once, which vectorizes.
void blurRows(const Job &job, int firstRow, int endRow)
{
    const int width = job.read.width();
    const int kept = job.region.left() - job.read.left();
    std::vector<uint16_t> a(size_t(width) * 4 * rowsPerGroup), b(a.size());
    std::vector<int32_t> sums(4 * rowsPerGroup);
    for (int y0 = firstRow; y0 < endRow; y0 += rowsPerGroup) {
        const int rows = std::min(rowsPerGroup, endRow - y0);
        const int lanes = rows * 4;
        for (int r = 0; r < rows; ++r) {
            const uchar *line = job.source->constScanLine(y0 + r) + size_t(job.read.left()) * 4;
            for (int x = 0; x < width; ++x)
                for (int c = 0; c < 4; ++c)
                    a[size_t(x) * lanes + r * 4 + c] = uint16_t(line[x * 4 + c] << 8);
        }
        boxLine(a.data(), b.data(), width, lanes, job.radii[0], sums.data());
        boxLine(b.data(), a.data(), width, lanes, job.radii[1], sums.data());
        boxLine(a.data(), b.data(), width, lanes, job.radii[2], sums.data());
        for (int r = 0; r < rows; ++r) {
            uint16_t *out = job.work + size_t(y0 + r - job.read.top()) * job.stride;
            for (int x = 0; x < job.region.width(); ++x)
                for (int c = 0; c < 4; ++c)
                    out[x * 4 + c] = b[size_t(x + kept) * lanes + r * 4 + c];
        }
    }
}

// Columns are counted from the region's left edge.
void blurColumns(const Job &job, int firstColumn, int endColumn)
{
    const int height = job.read.height();
    const int lanes = (endColumn - firstColumn) * 4;
    std::vector<uint16_t> a(size_t(lanes) * height), b(size_t(lanes) * height);
    std::vector<int32_t> sums(lanes);
    for (int y = 0; y < height; ++y) {
        const uint16_t *row = job.work + size_t(y) * job.stride + size_t(firstColumn) * 4;
        std::copy(row, row + lanes, a.begin() + size_t(y) * lanes);
    }
    boxLine(a.data(), b.data(), height, lanes, job.radii[0], sums.data());
    boxLine(b.data(), a.data(), height, lanes, job.radii[1], sums.data());
    boxLine(a.data(), b.data(), height, lanes, job.radii[2], sums.data());
    for (int y = job.region.top(); y <= job.region.bottom(); ++y) {
        uchar *out = job.target->scanLine(y) + size_t(job.region.left() + firstColumn) * 4;
        const uint16_t *in = b.data() + size_t(y - job.read.top()) * lanes;
        for (int i = 0; i < lanes; ++i)
            out[i] = uchar((in[i] + 128) >> 8);
    }
}

// Splits [first, end) into ranges of about `step` and runs `work` on them in parallel.
template <typename Work> void inParallel(int first, int end, int step, Work work)
{
    if (end - first <= step) { // one piece: waking the pool would cost more than it saves
        if (first < end)
            work(first, end);
        return;
    }
    std::vector<std::pair<int, int>> ranges;
    for (int start = first; start < end; start += step)
        ranges.emplace_back(start, std::min(end, start + step));
    QtConcurrent::blockingMap(ranges, [&](const std::pair<int, int> &r) { work(r.first, r.second); });
}

// The image in a 4-byte-per-pixel format; channel order does not matter to a per-channel blur.
QImage inBlurFormat(const QImage &image)
{
    switch (image.format()) {
    case QImage::Format_RGBA8888_Premultiplied:
    case QImage::Format_ARGB32_Premultiplied:
    case QImage::Format_RGBX8888:
    case QImage::Format_RGB32:
        return image;
    default:
        return image.convertToFormat(QImage::Format_RGBA8888_Premultiplied);
    }
}

// The three box radii of a blur of `sigma` (at most the maximum).
std::array<int, 3> radiiOf(double sigma)
{
    const auto widths = boxWidths(std::min(sigma, maximumSigma));
    return {(widths[0] - 1) / 2, (widths[1] - 1) / 2, (widths[2] - 1) / 2};
}

// Blurs `region` (within the image) of `target` from `source`, both in the blur's format.
void blurRegion(const QImage &source, double sigma, const QRect &region, QImage &target)
{
    const std::array<int, 3> radii = radiiOf(sigma);
    const int r = radii[0] + radii[1] + radii[2];
    const QRect read = region.adjusted(-r, -r, r, r) & source.rect();
    std::vector<uint16_t> work(size_t(read.height()) * region.width() * 4);
    const Job job{&source, &target, radii, region, read, work.data(), size_t(region.width()) * 4};
    const int rowStep = std::max(1, 65536 / std::max(1, read.width()));
    inParallel(read.top(), read.top() + read.height(), rowStep, [&](int a, int b) { blurRows(job, a, b); });
    inParallel(0, region.width(), stripPixels, [&](int a, int b) { blurColumns(job, a, b); });
}

} // namespace

std::array<int, 3> boxWidths(double sigma)
{
    const double ideal = std::sqrt(12 * sigma * sigma / passes + 1);
    int lower = int(std::floor(ideal));
    if (lower % 2 == 0)
        --lower;
    const int upper = lower + 2;
    const double lowerCount =
        (12 * sigma * sigma - passes * lower * lower - 4.0 * passes * lower - 3.0 * passes) / (-4.0 * lower - 4);
    const int m = int(std::lround(lowerCount));
    std::array<int, 3> widths{};
    for (int i = 0; i < passes; ++i)
        widths[i] = i < m ? lower : upper;
    return widths;
}

int reach(double sigma)
{
    if (!(sigma >= 0.5))
        return 0;
    const auto radii = radiiOf(sigma);
    return radii[0] + radii[1] + radii[2];
}

QImage blurred(const QImage &image, double sigma)
{
    if (!(sigma >= 0.5) || image.isNull())
        return image;
    const QImage source = inBlurFormat(image);
    QImage target(source.size(), source.format());
    if (target.isNull())
        return {};
    target.setColorSpace(source.colorSpace());
    blurRegion(source, sigma, source.rect(), target);
    return target;
}

void blurInto(const QImage &image, double sigma, const QRect &region, QImage &target)
{
    const QRect clipped = region & image.rect();
    if (clipped.isEmpty() || image.isNull())
        return;
    const QImage source = inBlurFormat(image);
    Q_ASSERT(target.size() == source.size() && target.format() == source.format());
    if (target.size() != source.size() || target.format() != source.format())
        return;
    target.bits(); // detaches now: the threads below write into it
    if (!(sigma >= 0.5)) {
        for (int y = clipped.top(); y <= clipped.bottom(); ++y)
            std::copy_n(source.constScanLine(y) + size_t(clipped.left()) * 4, size_t(clipped.width()) * 4,
                        target.scanLine(y) + size_t(clipped.left()) * 4);
        return;
    }
    blurRegion(source, sigma, clipped, target);
}

RowsBlurred::RowsBlurred(const QImage &image, double sigma)
    : radii_(radiiOf(sigma)),
      size_(image.size()),
      rows_(size_t(image.width()) * size_t(image.height()) * 4)
{
    updateRows(image, QRect(QPoint(0, 0), size_));
}

void RowsBlurred::updateRows(const QImage &image, const QRect &area)
{
    const QRect whole(QPoint(0, 0), size_);
    const QRect region = area & whole;
    if (region.isEmpty() || image.size() != size_)
        return;
    const QImage source = inBlurFormat(image);
    const int r = radii_[0] + radii_[1] + radii_[2];
    const QRect read = region.adjusted(-r, 0, r, 0) & whole;
    const size_t stride = size_t(size_.width()) * 4;
    uint16_t *work = rows_.data() + size_t(region.top()) * stride + size_t(region.left()) * 4;
    const Job job{&source, nullptr, radii_, region, read, work, stride};
    // A band of a few rows is blurred on this thread; larger ones across the pool.
    const int rowStep = std::max(1, smallJob / std::max(1, read.width()));
    inParallel(region.top(), region.bottom() + 1, rowStep, [&](int a, int b) { blurRows(job, a, b); });
}

void RowsBlurred::blurInto(const QRect &region, QImage &target) const
{
    const QRect whole(QPoint(0, 0), size_);
    const QRect clipped = region & whole;
    if (clipped.isEmpty() || rows_.empty() || target.size() != size_)
        return;
    target.bits(); // detaches now: the threads below write into it
    const int r = radii_[0] + radii_[1] + radii_[2];
    const QRect read = clipped.adjusted(0, -r, 0, r) & whole;
    const size_t stride = size_t(size_.width()) * 4;
    uint16_t *work = const_cast<uint16_t *>(rows_.data()) + size_t(read.top()) * stride + size_t(clipped.left()) * 4;
    const Job job{nullptr, &target, radii_, clipped, read, work, stride};
    const int columnStep = std::max(stripPixels, smallJob / std::max(1, read.height()) / stripPixels * stripPixels);
    inParallel(0, clipped.width(), columnStep, [&](int a, int b) { blurColumns(job, a, b); });
}

} // namespace tarn::GaussianBlur
