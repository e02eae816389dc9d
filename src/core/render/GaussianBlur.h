// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include <QImage>
#include <QRect>

namespace tarn::GaussianBlur {

// A Gaussian blur of standard deviation `sigma` pixels, made of three box passes in each
// direction, with the edge pixels extended outward without limit; the result has the size
// of the input. Works on any 4-byte-per-pixel format, premultiplied formats staying valid;
// other formats are converted to RGBA8888_Premultiplied first. Rows and columns are split
// across the global thread pool. A sigma below 0.5 (or not a number) returns the input; one
// above 1000 counts as 1000.
QImage blurred(const QImage &image, double sigma);

// Writes into `target`, a blurred(image, sigma) of an earlier version of `image`, the pixels
// that blurred(image, sigma) has within `region`, the same to the last bit; the rest of
// `target` stays as it is. A pixel of `image` changes the blurred image no further than
// reach(sigma) pixels away in each direction, so after changing pixels within a rectangle,
// blurring that rectangle widened by the reach (or the part of it that matters) brings the
// copy up to date. Does nothing when `target` has another size or format than blurred() gives.
void blurInto(const QImage &image, double sigma, const QRect &region, QImage &target);
int reach(double sigma);

// The first half of a blur, kept for an image that changes a few rows at a time (the working
// copy under a mark being drawn): every row blurred across. After rows of the image change,
// `updateRows` blurs those rows across again; `blurInto` then finishes a region of the blur from
// the kept rows, the same to the last bit as GaussianBlur::blurInto on the image as it is now,
// where the rows it reads (the region widened by the reach above and below) are up to date, at
// about half the cost. Only for a sigma of 0.5 or more.
class RowsBlurred {
public:
    RowsBlurred() = default;
    RowsBlurred(const QImage &image, double sigma);
    bool isNull() const { return rows_.empty(); }
    // Blurs `area` of the rows across again from `image` (the same size as before): after
    // pixels changed, the rows they lie in, widened by the reach to each side; only what a later
    // `blurInto` reads needs to be up to date.
    void updateRows(const QImage &image, const QRect &area);
    void blurInto(const QRect &region, QImage &target) const;

private:
    std::array<int, 3> radii_{};
    QSize size_;
    std::vector<uint16_t> rows_; // height x width x 4 values with 8 fractional bits
};

// The three box widths (odd) whose successive application has the variance of a Gaussian of
// `sigma`, as closely as whole widths allow.
std::array<int, 3> boxWidths(double sigma);

} // namespace tarn::GaussianBlur
