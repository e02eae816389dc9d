#include "core/PngEncoder.h"

#include <csetjmp>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include <png.h>

namespace tarn::PngEncoder {
namespace {

// zlib level and row filters, chosen by measuring 4K screenshots (bench/ImageCodecBench.cpp):
// see encode() for the figures.
int compressionLevel()
{
    if (const char *v = std::getenv("TARN_PNG_LEVEL"))
        return std::atoi(v);
    return 3;
}
int rowFilters()
{
    if (const char *v = std::getenv("TARN_PNG_FILTERS"))
        return std::atoi(v);
    return PNG_ALL_FILTERS;
}
int strategy()
{
    if (const char *v = std::getenv("TARN_PNG_STRATEGY"))
        return std::atoi(v);
    return 0;
}

// AND of every pixel word: its alpha byte is 0xFF exactly when every pixel is opaque. Byte
// order does not matter because the AND is taken per byte position.
bool isOpaque(const QImage &image)
{
    uint32_t all = 0xFFFFFFFFu;
    for (int y = 0; y < image.height(); ++y) {
        const auto *row = reinterpret_cast<const uint32_t *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            all &= row[x];
        uint8_t bytes[4];
        std::memcpy(bytes, &all, 4);
        if (bytes[3] != 0xFF)
            return false;
    }
    return true;
}

struct Sink {
    QByteArray bytes;
    bool failed = false;
};

void writeData(png_structp png, png_bytep data, png_size_t length)
{
    auto *sink = static_cast<Sink *>(png_get_io_ptr(png));
    try {
        sink->bytes.append(reinterpret_cast<const char *>(data), qsizetype(length));
    } catch (...) {
        sink->failed = true;
    }
    if (sink->failed)
        png_error(png, "out of memory");
}

void flushData(png_structp) {}

// Only plain C objects live in this frame, so libpng's longjmp on error skips no destructor.
bool writeRows(const QImage &image, bool opaque, Sink &sink)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &sink, writeData, flushData);
    png_set_compression_level(png, compressionLevel());
    png_set_compression_strategy(png, strategy());
    png_set_filter(png, PNG_FILTER_TYPE_BASE, rowFilters());
    png_set_IHDR(png, info, png_uint_32(image.width()), png_uint_32(image.height()), 8,
                 opaque ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
    png_set_sRGB(png, info, PNG_sRGB_INTENT_PERCEPTUAL);
    png_write_info(png, info);
    if (opaque)
        png_set_filler(png, 0, PNG_FILLER_AFTER); // rows stay RGBA in memory; libpng drops A
    for (int y = 0; y < image.height(); ++y)
        png_write_row(png, image.constScanLine(y));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

QByteArray encode(const QImage &image)
{
    const bool opaque = isOpaque(image);
    // Opaque premultiplied pixels are already straight; others are un-premultiplied once.
    const QImage rows = opaque ? image : image.convertToFormat(QImage::Format_RGBA8888);
    if (rows.isNull())
        return {};
    Sink sink;
    sink.bytes.reserve(qsizetype(rows.width()) * rows.height() / 4 + 1024);
    if (!writeRows(rows, opaque, sink))
        return {};
    return sink.bytes;
}

} // namespace tarn::PngEncoder
