// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Builders for real PNG and JPEG byte layouts used by the image tests.

#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <vector>

#include <QByteArray>

namespace tarn::TestBytes {

inline QByteArray be32(uint32_t v)
{
    const char b[4] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
    return QByteArray(b, 4);
}

inline QByteArray be16(uint32_t v)
{
    const char b[2] = {char(v >> 8), char(v)};
    return QByteArray(b, 2);
}

inline QByteArray pngSignature() { return QByteArray("\x89PNG\r\n\x1a\n", 8); }

// The PNG chunk CRC (ISO 3309, reflected polynomial 0xEDB88320).
inline uint32_t crc32(const QByteArray &data)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (char c : data) {
        crc ^= uint8_t(c);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// One chunk with a correct CRC.
inline QByteArray pngChunk(std::string_view type, const QByteArray &data = {})
{
    QByteArray typeAndData = QByteArray(type.data(), 4) + data;
    return be32(uint32_t(data.size())) + typeAndData + be32(crc32(typeAndData));
}

inline QByteArray ihdr(uint32_t width, uint32_t height)
{
    return pngChunk("IHDR", be32(width) + be32(height) + QByteArray("\x08\x06\x00\x00\x00", 5));
}

// A marker segment: 0xFF, code, length (counting itself) and data.
inline QByteArray jpegSegment(uint8_t code, const QByteArray &data)
{
    return QByteArray("\xFF", 1) + char(code) + be16(uint32_t(data.size() + 2)) + data;
}

inline QByteArray bytes(std::initializer_list<uint8_t> list)
{
    QByteArray out;
    for (uint8_t b : list)
        out.append(char(b));
    return out;
}

// The chunk types of a PNG, in order (no validation beyond the lengths).
inline std::vector<QByteArray> chunkTypes(const QByteArray &png)
{
    std::vector<QByteArray> types;
    qsizetype p = 8;
    while (p + 12 <= png.size()) {
        const auto *d = reinterpret_cast<const uint8_t *>(png.constData() + p);
        const uint32_t length = (uint32_t(d[0]) << 24) | (d[1] << 16) | (d[2] << 8) | d[3];
        types.push_back(png.mid(p + 4, 4));
        p += qsizetype(length) + 12;
    }
    return types;
}

// The marker codes of a JPEG up to and including the start of scan.
inline std::vector<uint8_t> headerMarkers(const QByteArray &jpeg)
{
    std::vector<uint8_t> codes;
    const auto *d = reinterpret_cast<const uint8_t *>(jpeg.constData());
    qsizetype p = 2;
    while (p + 4 <= jpeg.size() && d[p] == 0xFF) {
        const uint8_t code = d[p + 1];
        codes.push_back(code);
        if (code == 0xDA || code == 0xD9)
            break;
        p += 2 + ((d[p + 2] << 8) | d[p + 3]);
    }
    return codes;
}

} // namespace tarn::TestBytes
