// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/image/ImageMetadataSanitizer.h"

#include <array>
#include <cstdint>
#include <cstring>

#include "core/base/ImageFailure.h"

namespace tarn::ImageMetadataSanitizer {
namespace {

constexpr std::array<uint8_t, 8> pngSignature{0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
constexpr std::array<const char *, 5> removedChunkTypes{"eXIf", "tEXt", "zTXt", "iTXt", "tIME"};

// Sizes and positions are 64-bit so that p + L + 12 cannot wrap for any 32-bit length.
uint64_t readBigEndian32(const uint8_t *at)
{
    return (uint64_t(at[0]) << 24) | (uint64_t(at[1]) << 16) | (uint64_t(at[2]) << 8) | uint64_t(at[3]);
}

bool isRemovedChunk(const uint8_t *type)
{
    for (const char *removed : removedChunkTypes)
        if (std::memcmp(type, removed, 4) == 0)
            return true;
    return false;
}

bool isStandaloneMarker(uint8_t code) { return code == 0x01 || (code >= 0xD0 && code <= 0xD8); }

// APP1 (EXIF and XMP), APP13 (image resources, IPTC) and COM (comments).
bool isRemovedSegment(uint8_t code) { return code == 0xE1 || code == 0xED || code == 0xFE; }

} // namespace

QByteArray stripPNG(const QByteArray &png)
{
    const auto *data = reinterpret_cast<const uint8_t *>(png.constData());
    const uint64_t size = uint64_t(png.size());
    if (size < pngSignature.size() || std::memcmp(data, pngSignature.data(), pngSignature.size()) != 0)
        throw ImageFailure::encoding();

    QByteArray out;
    out.reserve(png.size());
    out.append(png.constData(), qsizetype(pngSignature.size()));
    uint64_t p = pngSignature.size();
    for (;;) {
        if (p + 12 > size)
            throw ImageFailure::encoding();
        const uint64_t length = readBigEndian32(data + p);
        if (length > size - p - 12)
            throw ImageFailure::encoding();
        const uint8_t *type = data + p + 4;
        const uint64_t end = p + length + 12;
        if (!isRemovedChunk(type))
            out.append(png.constData() + p, qsizetype(end - p));
        if (std::memcmp(type, "IEND", 4) == 0)
            return out;
        p = end;
    }
}

QByteArray stripJPEG(const QByteArray &jpeg)
{
    const auto *data = reinterpret_cast<const uint8_t *>(jpeg.constData());
    const uint64_t size = uint64_t(jpeg.size());
    if (size < 4 || data[0] != 0xFF || data[1] != 0xD8)
        throw ImageFailure::encoding();

    QByteArray out;
    out.reserve(jpeg.size());
    out.append(jpeg.constData(), 2);
    uint64_t p = 2;
    for (;;) {
        const uint64_t start = p;
        if (p >= size || data[p] != 0xFF)
            throw ImageFailure::encoding();
        uint64_t i = p;
        while (i < size && data[i] == 0xFF)
            ++i;
        if (i >= size)
            throw ImageFailure::encoding();
        const uint8_t code = data[i];
        p = i + 1;
        if (isStandaloneMarker(code)) {
            out.append(jpeg.constData() + start, qsizetype(p - start));
            continue;
        }
        if (code == 0xD9 || code == 0xDA) {
            out.append(jpeg.constData() + start, qsizetype(size - start));
            return out;
        }
        if (i + 3 > size)
            throw ImageFailure::encoding();
        const uint64_t length = uint64_t(data[i + 1]) * 256 + data[i + 2];
        if (length < 2 || length > size - p)
            throw ImageFailure::encoding();
        const uint64_t end = p + length;
        if (!isRemovedSegment(code))
            out.append(jpeg.constData() + start, qsizetype(end - start));
        p = end;
    }
}

} // namespace tarn::ImageMetadataSanitizer
