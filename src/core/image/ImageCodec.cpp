// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/image/ImageCodec.h"

#include <algorithm>
#include <cmath>
#include <mutex>

#include <unistd.h>

#include <QBuffer>
#include <QColorSpace>
#include <QFile>
#include <QImageReader>
#include <QPainter>

#include "core/base/FileFailure.h"
#include "core/base/RegularFile.h"
#include "core/image/AreaScaling.h"
#include "core/image/BandedConversion.h"
#include "core/image/HeifDecoder.h"
#include "core/image/ImageMetadataSanitizer.h"
#include "core/image/JpegEncoder.h"
#include "core/image/PngEncoder.h"

namespace tarn {

QString fileExtension(ExportFormat format)
{
    return format == ExportFormat::png ? QStringLiteral("png") : QStringLiteral("jpg");
}

QString contentType(ExportFormat format)
{
    return format == ExportFormat::png ? QStringLiteral("image/png") : QStringLiteral("image/jpeg");
}

namespace ImageCodec {
namespace {

// Raster formats whose Qt decoders are mature. Vector and exotic formats (SVG, XPM, PBM, ICO,
// TGA ...) are refused rather than exposed to files from anywhere.
bool isAcceptedFormat(const QByteArray &format)
{
    static const QByteArray accepted[] = {"png", "jpeg", "jpg", "tiff", "tif", "gif", "bmp", "webp"};
    return std::find(std::begin(accepted), std::end(accepted), format.toLower()) != std::end(accepted);
}

// Qt's decoders refuse any allocation above a process-wide limit (128 MiB by default), which
// would refuse images our limits accept: 64 megapixels at 16 bits per channel need 512 MiB.
// The limit is global in Qt, so it is raised once, to the largest size validation lets through.
void allowValidatedSizes()
{
    static std::once_flag once;
    std::call_once(once, [] { QImageReader::setAllocationLimit(int(maximumPixels * 8 / (1024 * 1024)) + 16); });
}

// Qt reports a GIF's first frame size, but allocates the logical screen: check both.
QSize declaredSize(const QByteArray &format, const QByteArray &head, QSize reported)
{
    if (format.toLower() != "gif")
        return reported;
    if (head.size() < 10)
        return QSize();
    const auto byte = [&](int i) { return int(uint8_t(head[i])); };
    return reported.expandedTo(QSize(byte(6) | byte(7) << 8, byte(8) | byte(9) << 8));
}

// Converts to the working form: sRGB, 8-bit RGBA, premultiplied.
QImage toWorkingImage(const QImage &image)
{
    QImage working = toWorkingFormat(image);
    if (working.isNull())
        throw ImageFailure::unreadable();
    return working;
}

QImage decodeWithQt(QIODevice &device)
{
    const QByteArray head = device.peek(10);
    QImageReader reader(&device);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    const QByteArray format = reader.format();
    if (!isAcceptedFormat(format))
        throw ImageFailure::unreadable();
    // From the header; no pixel is decoded yet.
    const QSize stored = declaredSize(format, head, reader.size());
    if (!stored.isValid())
        throw ImageFailure::unreadable();
    validate(stored.width(), stored.height());
    allowValidatedSizes();
    QImage image;
    if (!reader.read(&image) || image.isNull())
        throw ImageFailure::unreadable();
    // The header and the decoded pixels must agree (orientation may exchange the sides).
    validate(image.width(), image.height());
    return toWorkingImage(std::move(image));
}

QImage checked(QImage image)
{
    validate(image.width(), image.height());
    return toWorkingImage(std::move(image));
}

QImage flattenedOnto(const QImage &image, const QColor &fill, int width, int height)
{
    QImage out(width, height, QImage::Format_RGBA8888_Premultiplied);
    if (out.isNull())
        throw ImageFailure::encoding();
    out.setColorSpace(QColorSpace::SRgb);
    out.fill(fill);
    QPainter painter(&out);
    painter.drawImage(QPoint(0, 0), image);
    return out;
}

} // namespace

void validate(int64_t width, int64_t height)
{
    if (width < 1 || height < 1)
        throw ImageFailure::invalidDimensions();
    if (width > maximumDimension || height > maximumDimension)
        throw ImageFailure::tooLarge();
    if (width * height > maximumPixels)
        throw ImageFailure::tooLarge();
}

QImage read(const std::filesystem::path &file)
{
    int descriptor = -1;
    try {
        descriptor = RegularFile::openForReading(QString::fromStdString(file.string()));
    } catch (const FileFailure &failure) {
        throw ImageFailure::unopened(failure.path(), failure.cause());
    }
    QFile device;
    if (!device.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(descriptor);
        throw ImageFailure::unreadable();
    }
    if (HeifDecoder::recognizes(device.peek(64)))
        return checked(HeifDecoder::decode(device.readAll()));
    return decodeWithQt(device);
}

QImage read(const QByteArray &bytes)
{
    if (HeifDecoder::recognizes(bytes.left(64)))
        return checked(HeifDecoder::decode(bytes));
    QBuffer device;
    device.setData(bytes);
    if (!device.open(QIODevice::ReadOnly))
        throw ImageFailure::unreadable();
    return decodeWithQt(device);
}

QByteArray encode(const QImage &image, ExportFormat format, double quality)
{
    validate(image.width(), image.height());
    const QImage working =
        image.format() == QImage::Format_RGBA8888_Premultiplied ? image : toWorkingFormat(image, false);
    if (working.isNull())
        throw ImageFailure::encoding();
    if (format == ExportFormat::png) {
        const QByteArray png = PngEncoder::encode(working);
        if (png.isEmpty())
            throw ImageFailure::encoding();
        return ImageMetadataSanitizer::stripPNG(png);
    }
    // Quality 0...1 (NaN as 0) onto libjpeg's 1...100 scale; libjpeg treats 0 as 1 anyway.
    const double clamped = std::isnan(quality) ? 0.0 : std::clamp(quality, 0.0, 1.0);
    const int libjpegQuality = std::clamp(int(std::lround(clamped * 100)), 1, 100);
    const QByteArray jpeg = JpegEncoder::encode(working, libjpegQuality);
    if (jpeg.isEmpty())
        throw ImageFailure::encoding();
    return ImageMetadataSanitizer::stripJPEG(jpeg);
}

QImage thumbnail(const QImage &image, int64_t longestEdge)
{
    const QColor fill = QColor::fromRgbF(0.08f, 0.10f, 0.14f);
    if (image.isNull())
        return flattenedOnto(QImage(), fill, 1, 1);
    const double width = image.width();
    const double height = image.height();
    const double scale = std::min(double(longestEdge) / std::max(width, height), 1.0);
    const int targetWidth = int(std::max(std::trunc(width * scale), 1.0));
    const int targetHeight = int(std::max(std::trunc(height * scale), 1.0));
    // Area-averaging reduction on this thread; transparent parts then show the dark fill.
    const QImage working =
        image.format() == QImage::Format_RGBA8888_Premultiplied ? image : toWorkingFormat(image, false);
    const QImage scaled = working.size() == QSize(targetWidth, targetHeight)
        ? working
        : areaScaled(working, QSize(targetWidth, targetHeight));
    if (scaled.isNull())
        throw ImageFailure::encoding();
    return flattenedOnto(scaled, fill, targetWidth, targetHeight);
}

} // namespace ImageCodec
} // namespace tarn
