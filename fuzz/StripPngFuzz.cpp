// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes the PNG chunk walk: any bytes either strip or throw ImageFailure, never crash.
#include <cstddef>
#include <cstdint>

#include "core/base/ImageFailure.h"
#include "core/image/ImageMetadataSanitizer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    try {
        const QByteArray out = tarn::ImageMetadataSanitizer::stripPNG(bytes);
        // A stripped PNG is a fixed point: stripping it again changes nothing.
        if (tarn::ImageMetadataSanitizer::stripPNG(out) != out || out.size() > bytes.size())
            __builtin_trap();
    } catch (const tarn::ImageFailure &) { }
    return 0;
}
