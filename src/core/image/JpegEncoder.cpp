// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/image/JpegEncoder.h"

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jerror.h>
#include <jpeglib.h>

namespace tarn::JpegEncoder {
namespace {

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

[[noreturn]] void errorExit(j_common_ptr info) { std::longjmp(reinterpret_cast<ErrorManager *>(info->err)->jump, 1); }

void silentMessage(j_common_ptr) { }

// Source-over onto opaque white with premultiplied values: c + 255 * (1 - a / 255).
void flattenRow(const uint8_t *in, uint8_t *out, int width)
{
    for (int x = 0; x < width; ++x) {
        const unsigned back = 255u - in[4 * x + 3];
        for (int c = 0; c < 3; ++c) {
            const unsigned v = in[4 * x + c] + back;
            out[4 * x + c] = uint8_t(v > 255 ? 255 : v);
        }
        out[4 * x + 3] = 255;
    }
}

// Collects the compressed bytes in blocks; an allocation failure ends the compression through
// libjpeg's own error path instead of an exception crossing C frames.
struct Destination {
    jpeg_destination_mgr base;
    QByteArray *bytes;
    std::vector<JOCTET> block;
};

bool appendBlock(Destination &dest, size_t count)
{
    try {
        dest.bytes->append(reinterpret_cast<const char *>(dest.block.data()), qsizetype(count));
        return true;
    } catch (...) {
        return false;
    }
}

void initDestination(j_compress_ptr info)
{
    auto *dest = reinterpret_cast<Destination *>(info->dest);
    dest->base.next_output_byte = dest->block.data();
    dest->base.free_in_buffer = dest->block.size();
}

boolean emptyOutputBuffer(j_compress_ptr info)
{
    auto *dest = reinterpret_cast<Destination *>(info->dest);
    if (!appendBlock(*dest, dest->block.size()))
        ERREXIT(info, JERR_OUT_OF_MEMORY);
    initDestination(info);
    return TRUE;
}

void termDestination(j_compress_ptr info)
{
    auto *dest = reinterpret_cast<Destination *>(info->dest);
    if (!appendBlock(*dest, dest->block.size() - dest->base.free_in_buffer))
        ERREXIT(info, JERR_OUT_OF_MEMORY);
}

// Plain C state only between setjmp and any longjmp; buffers are owned by the caller.
bool compress(const QImage &image, int quality, uint8_t *row, Destination *dest)
{
    jpeg_compress_struct info{};
    ErrorManager errors{};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = errorExit;
    errors.base.output_message = silentMessage;
    if (setjmp(errors.jump)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    dest->base.init_destination = initDestination;
    dest->base.empty_output_buffer = emptyOutputBuffer;
    dest->base.term_destination = termDestination;
    info.dest = &dest->base;
    info.image_width = JDIMENSION(image.width());
    info.image_height = JDIMENSION(image.height());
    info.input_components = 4;
    info.in_color_space = JCS_EXT_RGBX;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        flattenRow(image.constScanLine(int(info.next_scanline)), row, image.width());
        JSAMPROW rows[1] = {row};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

} // namespace

QByteArray encode(const QImage &image, int quality)
{
    std::vector<uint8_t> row(size_t(image.width()) * 4);
    QByteArray out;
    Destination dest{};
    dest.bytes = &out;
    dest.block.resize(256 * 1024);
    if (!compress(image, quality, row.data(), &dest))
        return {};
    return out;
}

} // namespace tarn::JpegEncoder
