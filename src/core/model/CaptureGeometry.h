// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>

#include <QSizeF>

namespace tarn::CaptureGeometry {

// The pixel size of a capture or recording of an area given in screen points. Whole numbers;
// 0 x 0 for invalid input. With `even` both sides round down to even numbers (at least 2),
// otherwise up (at least 1). A long-edge limit scales both sides, keeping the aspect.
QSizeF pixelSize(QSizeF points, double scale, std::optional<int64_t> maximumLongEdge, bool even);

} // namespace tarn::CaptureGeometry
