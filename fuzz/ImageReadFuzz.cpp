// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes decoding from bytes (Qt's PNG, JPEG, TIFF, GIF, BMP and WebP readers behind the size
// check, and libheif). Whatever decodes small enough is encoded again both ways, so the
// encoders and strippers also see odd images. Only ImageFailure may come out.
#include <cstddef>
#include <cstdint>

#include <QBuffer>
#include <QImageReader>
#include <QtGlobal>

#include "core/image/ImageCodec.h"

namespace {

void quiet(QtMsgType, const QMessageLogContext &, const QString &) { }

// A header that claims a large size within the limits only costs memory to decode (hundreds of
// megabytes per run under the sanitizers); claims beyond the limits are still read, to exercise
// the refusal.
bool isLargeButAllowed(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    const QSize size = QImageReader(&buffer).size();
    const qint64 pixels = qint64(size.width()) * size.height();
    return size.isValid() && pixels > 4'000'000 && size.width() <= tarn::ImageCodec::maximumDimension &&
        size.height() <= tarn::ImageCodec::maximumDimension && pixels <= tarn::ImageCodec::maximumPixels;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const bool silenced = (qInstallMessageHandler(quiet), true);
    (void)silenced;
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    if (isLargeButAllowed(bytes))
        return 0;
    try {
        const QImage image = tarn::ImageCodec::read(bytes);
        if (image.format() != QImage::Format_RGBA8888_Premultiplied)
            __builtin_trap();
        if (qint64(image.width()) * image.height() <= 256 * 256) {
            tarn::ImageCodec::encode(image, tarn::ExportFormat::png, 1);
            tarn::ImageCodec::encode(image, tarn::ExportFormat::jpeg, 0.5);
            tarn::ImageCodec::thumbnail(image, 32);
        }
    } catch (const tarn::ImageFailure &) { }
    return 0;
}
