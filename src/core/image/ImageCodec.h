// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>
#include <utility>

#include <QByteArray>
#include <QImage>
#include <QString>

#include "core/base/EnumNames.h"
#include "core/base/ImageFailure.h"

namespace tarn {

// The two formats images are written in. The raw value ("png", "jpeg") differs from the file
// extension of JPEG ("jpg"); caseFromName accepts exactly the raw values, case-sensitively.
enum class ExportFormat { png, jpeg };

template <> struct EnumNames<ExportFormat> {
    static constexpr std::array values{
        std::pair{ExportFormat::png, std::string_view("png")},
        std::pair{ExportFormat::jpeg, std::string_view("jpeg")},
    };
};

QString fileExtension(ExportFormat format); // "png", "jpg"
QString contentType(ExportFormat format);   // the MIME type name: "image/png", "image/jpeg"

// The one crossing between files or bytes and bitmaps. Every bitmap it returns is
// Format_RGBA8888_Premultiplied tagged sRGB. All operations are free of state, may run on any
// thread at once, and throw only ImageFailure.
namespace ImageCodec {

inline constexpr int64_t maximumPixels = 64'000'000;
inline constexpr int64_t maximumDimension = 16'384;

// Throws invalidDimensions for a side below 1, tooLarge beyond the limits (both inclusive).
void validate(int64_t width, int64_t height);

// Decodes the first image of a PNG, JPEG, TIFF, HEIC (or GIF, BMP, WebP) file at its full
// size with its stored orientation applied. The stored size is validated before any pixel is
// decoded, so an oversized file is refused without allocating its bitmap. Only a regular file
// is opened: a pipe, device, socket or folder is refused (unreadable) without waiting on it.
QImage read(const std::filesystem::path &file);
// The same for bytes in memory (the content decides the format).
QImage read(const QByteArray &bytes);

// PNG (alpha kept, quality ignored) or JPEG (flattened over opaque white, quality clamped to
// 0...1), always passed through the metadata stripper: EXIF, XMP, text and comments never leave.
QByteArray encode(const QImage &image, ExportFormat format, double quality);

// Scales down (never up) so the longest side is at most longestEdge, over an opaque dark fill.
// Sides are truncated, not rounded, and at least 1. Does not validate its source.
QImage thumbnail(const QImage &image, int64_t longestEdge);

} // namespace ImageCodec
} // namespace tarn
