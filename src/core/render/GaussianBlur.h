// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>

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

// The three box widths (odd) whose successive application has the variance of a Gaussian of
// `sigma`, as closely as whole widths allow.
std::array<int, 3> boxWidths(double sigma);

} // namespace tarn::GaussianBlur
