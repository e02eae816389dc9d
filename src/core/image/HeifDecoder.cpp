// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/image/HeifDecoder.h"

#include <cstdint>
#include <memory>

#include <QColorSpace>
#include <libheif/heif.h>

#include "core/image/ImageCodec.h"

namespace tarn::HeifDecoder {
namespace {

struct ContextFree {
    void operator()(heif_context *c) const { heif_context_free(c); }
};
struct HandleFree {
    void operator()(heif_image_handle *h) const { heif_image_handle_release(h); }
};
struct ImageFree {
    void operator()(heif_image *i) const { heif_image_release(i); }
};
using Context = std::unique_ptr<heif_context, ContextFree>;
using Handle = std::unique_ptr<heif_image_handle, HandleFree>;
using Image = std::unique_ptr<heif_image, ImageFree>;

Context newContext()
{
    Context context(heif_context_alloc());
    if (!context)
        throw ImageFailure::unreadable();
    // libheif refuses anything wider or taller on its own too, as a second line of defence.
    heif_context_set_maximum_image_size_limit(context.get(), int(ImageCodec::maximumDimension));
    return context;
}

void require(const heif_error &error)
{
    if (error.code != heif_error_Ok)
        throw ImageFailure::unreadable();
}

QColorSpace iccColorSpace(const heif_image_handle *handle)
{
    if (heif_image_handle_get_color_profile_type(handle) == heif_color_profile_type_not_present)
        return {};
    const size_t size = heif_image_handle_get_raw_color_profile_size(handle);
    if (size == 0 || size > 16 * 1024 * 1024)
        return {};
    QByteArray icc(qsizetype(size), Qt::Uninitialized);
    if (heif_image_handle_get_raw_color_profile(handle, icc.data()).code != heif_error_Ok)
        return {};
    return QColorSpace::fromIccProfile(icc);
}

QImage copyPixels(const heif_image *image, int width, int height, bool premultiplied)
{
    int stride = 0;
    const uint8_t *plane = heif_image_get_plane_readonly(image, heif_channel_interleaved, &stride);
    if (!plane || stride < width * 4)
        throw ImageFailure::unreadable();
    QImage out(width, height, premultiplied ? QImage::Format_RGBA8888_Premultiplied : QImage::Format_RGBA8888);
    if (out.isNull())
        throw ImageFailure::unreadable();
    for (int y = 0; y < height; ++y)
        std::copy_n(plane + qsizetype(y) * stride, width * 4, out.scanLine(y));
    return out;
}

QImage decodePrimary(heif_context *context)
{
    heif_image_handle *raw = nullptr;
    require(heif_context_get_primary_image_handle(context, &raw));
    const Handle handle(raw);
    // The displayed size (rotation applied) and the stored size bound the same pixel count.
    ImageCodec::validate(heif_image_handle_get_width(handle.get()), heif_image_handle_get_height(handle.get()));
    ImageCodec::validate(heif_image_handle_get_ispe_width(handle.get()),
                         heif_image_handle_get_ispe_height(handle.get()));

    heif_image *decodedRaw = nullptr;
    require(heif_decode_image(handle.get(), &decodedRaw, heif_colorspace_RGB, heif_chroma_interleaved_RGBA, nullptr));
    const Image decoded(decodedRaw);
    const int width = heif_image_get_width(decoded.get(), heif_channel_interleaved);
    const int height = heif_image_get_height(decoded.get(), heif_channel_interleaved);
    ImageCodec::validate(width, height);
    const bool premultiplied = heif_image_handle_is_premultiplied_alpha(handle.get()) != 0;
    QImage image = copyPixels(decoded.get(), width, height, premultiplied);
    const QColorSpace space = iccColorSpace(handle.get());
    if (space.isValid())
        image.setColorSpace(space);
    return image;
}

} // namespace

bool recognizes(const QByteArray &head)
{
    if (head.size() < 12)
        return false;
    const auto result = heif_check_filetype(reinterpret_cast<const uint8_t *>(head.constData()), int(head.size()));
    return result == heif_filetype_yes_supported || result == heif_filetype_yes_unsupported;
}

QImage decode(const std::filesystem::path &file)
{
    const Context context = newContext();
    require(heif_context_read_from_file(context.get(), file.c_str(), nullptr));
    return decodePrimary(context.get());
}

QImage decode(const QByteArray &bytes)
{
    const Context context = newContext();
    require(
        heif_context_read_from_memory_without_copy(context.get(), bytes.constData(), size_t(bytes.size()), nullptr));
    return decodePrimary(context.get());
}

} // namespace tarn::HeifDecoder
