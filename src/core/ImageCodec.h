#pragma once

#include <cstdint>

#include <QByteArray>
#include <QImage>
#include <QString>

#include "core/ImageFailure.h"

namespace tarn {

enum class ExportFormat { png, jpeg };

namespace ImageCodec {

inline constexpr int64_t maximumPixels = 64'000'000;
inline constexpr int64_t maximumDimension = 16'384;

// Throws invalidDimensions for a side below 1, tooLarge beyond the limits (both inclusive).
void validate(int64_t width, int64_t height);

} // namespace ImageCodec
} // namespace tarn
