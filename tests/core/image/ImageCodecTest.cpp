// SPDX-License-Identifier: GPL-3.0-or-later
#include <chrono>
#include <cmath>
#include <fstream>
#include <limits>
#include <random>
#include <string>
#include <thread>

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QBuffer>
#include <QColorSpace>
#include <QFile>
#include <QImageWriter>
#include <QMimeDatabase>
#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <libheif/heif.h>

#include "core/image/ImageCodec.h"
#include "core/image/ImageMetadataSanitizer.h"
#include "support/ImageBytes.h"

using namespace tarn;
using namespace tarn::TestBytes;

namespace {

ImageFailure::Case failureOf(const std::function<void()> &run)
{
    try {
        run();
    } catch (const ImageFailure &f) {
        return f.kind();
    }
    ADD_FAILURE() << "no ImageFailure thrown";
    return ImageFailure::Case::unreadable;
}

// Four quadrants: red top-left, green top-right, blue bottom-left, white bottom-right.
QImage quadrants(int w, int h)
{
    QImage image(w, h, QImage::Format_RGBA8888_Premultiplied);
    QPainter p(&image);
    p.fillRect(0, 0, w / 2, h / 2, Qt::red);
    p.fillRect(w / 2, 0, w - w / 2, h / 2, Qt::green);
    p.fillRect(0, h / 2, w / 2, h - h / 2, Qt::blue);
    p.fillRect(w / 2, h / 2, w - w / 2, h - h / 2, Qt::white);
    return image;
}

// Compares a colour channel by channel with a tolerance for lossy coding.
::testing::AssertionResult near(QColor actual, QColor expected, int tolerance = 6)
{
    const int d = std::max({std::abs(actual.red() - expected.red()), std::abs(actual.green() - expected.green()),
                            std::abs(actual.blue() - expected.blue()), std::abs(actual.alpha() - expected.alpha())});
    if (d <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got " << actual.name(QColor::HexArgb).toStdString() << ", want "
                                         << expected.name(QColor::HexArgb).toStdString();
}

QByteArray exifOrientation(uint16_t orientation)
{
    // Big-endian TIFF header, one IFD entry: Orientation (0x0112), SHORT, count 1.
    QByteArray tiff = QByteArray("MM\x00\x2a", 4) + be32(8) + be16(1) + be16(0x0112) + be16(3) + be32(1) +
        be16(orientation) + be16(0) + be32(0);
    return jpegSegment(0xE1, QByteArray("Exif\0\0", 6) + tiff);
}

QString writeFile(const QTemporaryDir &dir, const char *name, const QByteArray &bytes)
{
    const QString path = dir.filePath(QString::fromUtf8(name));
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return path;
}

std::filesystem::path fsPath(const QString &path) { return std::filesystem::path(path.toStdString()); }

} // namespace

TEST(ImageCodec, ValidateLimitsAreInclusiveAndDimensionsAreCheckedFirst)
{
    EXPECT_NO_THROW(ImageCodec::validate(8000, 8000));
    EXPECT_NO_THROW(ImageCodec::validate(16384, 3906));
    EXPECT_NO_THROW(ImageCodec::validate(1, 1));
    EXPECT_EQ(failureOf([] { ImageCodec::validate(8000, 8001); }), ImageFailure::Case::tooLarge);
    EXPECT_EQ(failureOf([] { ImageCodec::validate(16385, 1); }), ImageFailure::Case::tooLarge);
    EXPECT_EQ(failureOf([] { ImageCodec::validate(1, 16385); }), ImageFailure::Case::tooLarge);
    EXPECT_EQ(failureOf([] { ImageCodec::validate(0, 100); }), ImageFailure::Case::invalidDimensions);
    EXPECT_EQ(failureOf([] { ImageCodec::validate(-5, 100); }), ImageFailure::Case::invalidDimensions);
    EXPECT_EQ(failureOf([] { ImageCodec::validate(0, 20000); }), ImageFailure::Case::invalidDimensions);
    EXPECT_EQ(failureOf([] {
                  ImageCodec::validate(std::numeric_limits<int64_t>::max(), std::numeric_limits<int64_t>::max());
              }),
              ImageFailure::Case::tooLarge);
}

// Every export format's content type is one the system knows, with its extension among the type's.
TEST(ImageCodec, ExportFormatTypesAndExtensionsAgree)
{
    const QMimeDatabase mime;
    for (ExportFormat f : allCases<ExportFormat>()) {
        const QMimeType type = mime.mimeTypeForName(contentType(f));
        ASSERT_TRUE(type.isValid());
        EXPECT_EQ(type.name(), contentType(f));
        EXPECT_TRUE(type.suffixes().contains(fileExtension(f)));
    }
}

TEST(ImageCodec, ReadRefusesWhatIsNotAnImage)
{
    QTemporaryDir dir;
    EXPECT_EQ(failureOf([&] { ImageCodec::read(fsPath(writeFile(dir, "notes.png", "just some text\n"))); }),
              ImageFailure::Case::unreadable);
    EXPECT_EQ(failureOf([&] { ImageCodec::read(fsPath(dir.filePath(QStringLiteral("missing.png")))); }),
              ImageFailure::Case::unreadable);
    EXPECT_EQ(failureOf([&] { ImageCodec::read(fsPath(dir.path())); }), ImageFailure::Case::unreadable);
    EXPECT_EQ(failureOf([] { ImageCodec::read(QByteArray()); }), ImageFailure::Case::unreadable);
    // A PNG whose header is cut short has no readable size.
    EXPECT_EQ(failureOf([] { ImageCodec::read(pngSignature() + QByteArray("\0\0\0\x0dIHDR", 8)); }),
              ImageFailure::Case::unreadable);
    // A vector format is not taken even though Qt could read it.
    const QByteArray xpm = "/* XPM */\nstatic char *x[] = {\"1 1 1 1\", \"a c #ff0000\", \"a\"};\n";
    EXPECT_EQ(failureOf([&] { ImageCodec::read(xpm); }), ImageFailure::Case::unreadable);
}

// A real small file whose header claims another size: its pixel data cannot satisfy the claim,
// so decoding it would fail; tooLarge therefore proves the size check came first.
QByteArray pngClaiming(uint32_t width, uint32_t height)
{
    const QByteArray png = ImageCodec::encode(quadrants(16, 16), ExportFormat::png, 1);
    const QByteArray header = png.mid(16, 17); // the IHDR data after width and height
    return png.left(8) + pngChunk("IHDR", be32(width) + be32(height) + header.mid(8, 5)) + png.mid(33);
}

QByteArray jpegClaiming(uint16_t width, uint16_t height)
{
    QByteArray jpeg = ImageCodec::encode(quadrants(16, 16), ExportFormat::jpeg, 1);
    const qsizetype sof = jpeg.indexOf(QByteArray("\xFF\xC0", 2));
    jpeg.replace(sof + 5, 4, be16(height) + be16(width));
    return jpeg;
}

TEST(ImageCodec, ReadChecksTheStoredSizeBeforeDecoding)
{
    EXPECT_EQ(failureOf([] { ImageCodec::read(pngClaiming(20000, 20000)); }), ImageFailure::Case::tooLarge);
    EXPECT_EQ(failureOf([] { ImageCodec::read(pngClaiming(9000, 8000)); }), ImageFailure::Case::tooLarge);
    EXPECT_EQ(failureOf([] { ImageCodec::read(pngClaiming(8000, 8000)); }), ImageFailure::Case::unreadable);
    EXPECT_EQ(failureOf([] { ImageCodec::read(jpegClaiming(20000, 100)); }), ImageFailure::Case::tooLarge);
    EXPECT_EQ(failureOf([] { ImageCodec::read(jpegClaiming(100, 16385)); }), ImageFailure::Case::tooLarge);
    QTemporaryDir dir;
    EXPECT_EQ(failureOf([&] { ImageCodec::read(fsPath(writeFile(dir, "huge.png", pngClaiming(16385, 10)))); }),
              ImageFailure::Case::tooLarge);

    // A GIF reports its first frame's size but is drawn on its (here 9000 x 9000) logical screen.
    QByteArray gif("GIF89a\x01\x00\x01\x00\x80\x00\x00\x00\x00\x00\xff\xff\xff,\x00\x00\x00\x00\x01\x00\x01\x00"
                   "\x00\x02\x02\x44\x01\x00;",
                   35);
    EXPECT_EQ(ImageCodec::read(gif).size(), QSize(1, 1));
    gif.replace(6, 4, QByteArray("\x28\x23\x28\x23", 4));
    EXPECT_EQ(failureOf([&] { ImageCodec::read(gif); }), ImageFailure::Case::tooLarge);
}

TEST(ImageCodec, ReadAcceptsLargeImagesWithinTheLimits)
{
    // 48 megapixels: beyond Qt's default decoding allocation limit, inside ours.
    QImage big(8000, 6000, QImage::Format_RGBA8888_Premultiplied);
    big.fill(QColor(10, 200, 30));
    const QImage back = ImageCodec::read(ImageCodec::encode(big, ExportFormat::png, 0.92));
    EXPECT_EQ(back.size(), QSize(8000, 6000));
    EXPECT_EQ(back.pixelColor(7999, 5999), QColor(10, 200, 30));
}

TEST(ImageCodec, ReadAppliesTheExifOrientation)
{
    const QByteArray plain = ImageCodec::encode(quadrants(400, 300), ExportFormat::jpeg, 0.95);
    // Orientation 6: the stored picture is shown turned 90 degrees clockwise.
    const QByteArray rotated = plain.left(2) + exifOrientation(6) + plain.mid(2);
    QTemporaryDir dir;
    const QImage image = ImageCodec::read(fsPath(writeFile(dir, "photo.jpg", rotated)));
    ASSERT_EQ(image.size(), QSize(300, 400));
    EXPECT_EQ(image.format(), QImage::Format_RGBA8888_Premultiplied);
    EXPECT_EQ(image.colorSpace(), QColorSpace(QColorSpace::SRgb));
    EXPECT_TRUE(near(image.pixelColor(250, 50), Qt::red));    // stored top-left is now top-right
    EXPECT_TRUE(near(image.pixelColor(50, 50), Qt::blue));    // stored bottom-left is now top-left
    EXPECT_TRUE(near(image.pixelColor(250, 350), Qt::green)); // stored top-right is now bottom-right
    EXPECT_TRUE(near(image.pixelColor(50, 350), Qt::white));

    const QImage upright = ImageCodec::read(plain);
    EXPECT_EQ(upright.size(), QSize(400, 300));
    EXPECT_TRUE(near(upright.pixelColor(50, 50), Qt::red));
}

// A solid 8-bit PNG of the given colour type (2: RGB, 6: RGBA), compressed by zlib.
QByteArray solidPng(int width, int height, int colourType, QByteArray pixel)
{
    QByteArray raw;
    raw.reserve(qsizetype(height) * (1 + width * pixel.size()));
    QByteArray row(1, '\0');
    row += pixel.repeated(width);
    for (int y = 0; y < height; ++y)
        raw += row;
    const QByteArray header =
        be32(uint32_t(width)) + be32(uint32_t(height)) + char(8) + char(colourType) + QByteArray(3, '\0');
    return pngSignature() + pngChunk("IHDR", header) + pngChunk("IDAT", qCompress(raw, 1).mid(4)) + pngChunk("IEND");
}

// The address space this process uses now, in bytes.
size_t addressSpace()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmSize:", 0) == 0)
            return size_t(std::stoull(line.substr(7))) * 1024;
    return 0;
}

// Under an address-space limit that leaves room for the decoded pixels and their converted
// copy but not for one more thread's stack, a 64-megapixel PNG is read or refused with the
// codec's own error; it never waits for ever on threads that could not start.
TEST(ImageCodec, LargeReadUnderAMemoryLimitEndsInAnImageOrAnError)
{
    ImageCodec::read(solidPng(4, 4, 6, QByteArray("\x10\x20\x30\xff", 4))); // plug-ins loaded before
    for (const auto &[colourType, pixel] :
         {std::pair{2, QByteArray("\x10\xc8\x1e", 3)}, std::pair{6, QByteArray("\x10\xc8\x1e\x80", 4)}}) {
        SCOPED_TRACE(colourType);
        const QByteArray png = solidPng(8000, 8000, colourType, pixel);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            const size_t pixels = size_t(8000) * 8000 * 4;
            const rlimit limit{addressSpace() + 2 * pixels + (6 << 20), RLIM_INFINITY};
            setrlimit(RLIMIT_AS, &limit);
            try {
                const QImage image = ImageCodec::read(png);
                const QImage thumbnail = ImageCodec::thumbnail(image, 720);
                _exit(image.size() == QSize(8000, 8000) && thumbnail.size() == QSize(720, 720) ? 0 : 3);
            } catch (const ImageFailure &) {
                _exit(2);
            } catch (...) {
                _exit(4);
            }
        }
        int status = 0;
        pid_t ended = 0;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(90);
        while ((ended = waitpid(child, &status, WNOHANG)) == 0 && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (ended == 0) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            FAIL() << "the read hung";
        }
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_TRUE(WEXITSTATUS(status) == 0 || WEXITSTATUS(status) == 2) << WEXITSTATUS(status);
    }
}

QByteArray qtPng(const QImage &image)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "png").write(image);
    return png;
}

TEST(ImageCodec, ReadNormalisesDepthPaletteGreyAndColourSpace)
{
    QImage deep(4, 4, QImage::Format_RGBA64);
    deep.fill(QColor(200, 100, 50));
    QImage grey(4, 4, QImage::Format_Grayscale8);
    grey.fill(QColor(90, 90, 90));
    QImage indexed = deep.convertToFormat(QImage::Format_Indexed8);
    for (const QImage &source : {deep, grey, indexed}) {
        const QImage image = ImageCodec::read(qtPng(source));
        EXPECT_EQ(image.format(), QImage::Format_RGBA8888_Premultiplied);
        EXPECT_EQ(image.pixelColor(2, 2), source.pixelColor(2, 2).toRgb()) << int(source.format());
    }

    // A wide-gamut file comes back converted to sRGB, not merely relabelled.
    QImage wide(4, 4, QImage::Format_ARGB32);
    wide.fill(QColor(200, 100, 50));
    wide.setColorSpace(QColorSpace::DisplayP3);
    const QColor expected =
        QColorSpace(QColorSpace::DisplayP3).transformationToColorSpace(QColorSpace::SRgb).map(QColor(200, 100, 50));
    const QImage image = ImageCodec::read(qtPng(wide));
    EXPECT_EQ(image.colorSpace(), QColorSpace(QColorSpace::SRgb));
    EXPECT_TRUE(near(image.pixelColor(1, 1), expected, 1));
    EXPECT_FALSE(near(image.pixelColor(1, 1), QColor(200, 100, 50), 3));
}

TEST(ImageCodec, ReadsTiffThroughThePlugin)
{
    QByteArray tiff;
    QBuffer buffer(&tiff);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "tiff");
    ASSERT_TRUE(writer.write(quadrants(64, 48))) << writer.errorString().toStdString();
    const QImage image = ImageCodec::read(tiff);
    EXPECT_EQ(image.size(), QSize(64, 48));
    EXPECT_EQ(image.pixelColor(63, 47), QColor(Qt::white));
}

TEST(ImageCodec, EncodePngKeepsAlphaAndJpegFlattensOverWhite)
{
    QImage image(40, 20, QImage::Format_RGBA8888_Premultiplied);
    image.fill(Qt::transparent);
    QPainter(&image).fillRect(0, 0, 20, 20, QColor(0, 0, 255, 128));
    image.setPixelColor(39, 19, QColor(255, 0, 0));

    const QImage png = ImageCodec::read(ImageCodec::encode(image, ExportFormat::png, 0.92));
    EXPECT_EQ(png.pixelColor(30, 5).alpha(), 0);
    EXPECT_TRUE(near(png.pixelColor(5, 5), QColor(0, 0, 255, 128), 1));
    EXPECT_EQ(png.pixelColor(39, 19), QColor(255, 0, 0));

    const QImage jpeg = ImageCodec::read(ImageCodec::encode(image, ExportFormat::jpeg, 1.0));
    EXPECT_TRUE(near(jpeg.pixelColor(30, 5), Qt::white, 2));
    EXPECT_TRUE(near(jpeg.pixelColor(5, 5), QColor(127, 127, 255)));
    EXPECT_EQ(jpeg.pixelColor(5, 5).alpha(), 255);

    // An opaque image is written without an alpha channel but with the same pixels.
    QImage opaque = quadrants(30, 30);
    opaque.setColorSpace(QColorSpace::SRgb);
    EXPECT_EQ(ImageCodec::read(ImageCodec::encode(opaque, ExportFormat::png, 0.5)), opaque);
}

TEST(ImageCodec, PngBandsJoinIntoOneLosslessStream)
{
    // Translucent noise over several compression bands: every straight pixel must come back.
    QImage image(400, 1500, QImage::Format_RGBA8888_Premultiplied);
    std::mt19937 rng(3);
    for (int y = 0; y < image.height(); ++y) {
        uint8_t *row = image.scanLine(y);
        for (int x = 0; x < image.width(); ++x) {
            const uint8_t alpha = y % 5 ? uint8_t(rng()) : 255; // premultiplied: colour <= alpha
            row[4 * x] = uint8_t(rng() % (alpha + 1u)), row[4 * x + 1] = uint8_t(x % (alpha + 1u));
            row[4 * x + 2] = uint8_t(alpha / 2), row[4 * x + 3] = alpha;
        }
    }
    const QByteArray png = ImageCodec::encode(image, ExportFormat::png, 1);
    const QImage straight = QImage::fromData(png, "png").convertToFormat(QImage::Format_RGBA8888);
    QImage expected = image.convertToFormat(QImage::Format_RGBA8888);
    expected.setColorSpace(QColorSpace::SRgb);
    EXPECT_EQ(straight, expected);
    EXPECT_EQ(png, ImageCodec::encode(image, ExportFormat::png, 1)); // deterministic bytes
}

TEST(ImageCodec, EncodeValidatesConvertsAndClampsTheJpegQuality)
{
    EXPECT_EQ(failureOf([] { ImageCodec::encode(QImage(), ExportFormat::png, 1); }),
              ImageFailure::Case::invalidDimensions);
    QImage argb(10, 10, QImage::Format_ARGB32);
    argb.fill(QColor(12, 34, 56, 255));
    EXPECT_EQ(ImageCodec::read(ImageCodec::encode(argb, ExportFormat::png, 1)).pixelColor(3, 3), QColor(12, 34, 56));

    const QImage image = quadrants(64, 64);
    const auto jpeg = [&](double q) { return ImageCodec::encode(image, ExportFormat::jpeg, q); };
    EXPECT_EQ(jpeg(1.5), jpeg(1.0));
    EXPECT_EQ(jpeg(-0.2), jpeg(0.0));
    EXPECT_EQ(jpeg(std::nan("")), jpeg(0.0));
    EXPECT_NE(jpeg(0.5), jpeg(1.0));
    EXPECT_LT(jpeg(0.1).size(), jpeg(0.95).size());
    const auto png = [&](double q) { return ImageCodec::encode(image, ExportFormat::png, q); };
    EXPECT_EQ(png(0.0), png(0.92));
    EXPECT_EQ(png(std::nan("")), png(2.0));
}

TEST(ImageCodec, EncodedBytesCarryNoMetadata)
{
    QImage image = quadrants(32, 32);
    image.setText(QStringLiteral("Comment"), QStringLiteral("private note"));
    image.setText(QStringLiteral("Author"), QStringLiteral("someone"));
    const QByteArray png = ImageCodec::encode(image, ExportFormat::png, 0.92);
    for (const QByteArray &type : chunkTypes(png))
        EXPECT_TRUE(type != "tEXt" && type != "zTXt" && type != "iTXt" && type != "eXIf" && type != "tIME")
            << type.data();
    EXPECT_EQ(chunkTypes(png).back(), "IEND");
    EXPECT_FALSE(png.contains("private note"));

    const QByteArray jpeg = ImageCodec::encode(image, ExportFormat::jpeg, 0.92);
    for (uint8_t code : headerMarkers(jpeg))
        EXPECT_TRUE(code != 0xE1 && code != 0xED && code != 0xFE) << int(code);
    EXPECT_EQ(headerMarkers(jpeg).back(), 0xDA);
    EXPECT_FALSE(jpeg.contains("private note"));
}

TEST(ImageCodec, ThumbnailsTruncateNeverEnlargeAverageAndShowTheDarkFill)
{
    const auto size = [](int w, int h, int64_t edge) {
        return ImageCodec::thumbnail(QImage(w, h, QImage::Format_RGBA8888_Premultiplied), edge).size();
    };
    EXPECT_EQ(size(100, 50, 720), QSize(100, 50));
    EXPECT_EQ(size(1000, 999, 720), QSize(720, 719));
    EXPECT_EQ(size(1920, 1080, 720), QSize(720, 405));
    EXPECT_EQ(size(10000, 10, 720), QSize(720, 1));
    EXPECT_EQ(size(1142, 800, 720), QSize(719, 504));
    EXPECT_EQ(size(300, 200, 0), QSize(1, 1));
    EXPECT_EQ(size(300, 200, -40), QSize(1, 1));
    EXPECT_EQ(ImageCodec::thumbnail(QImage(), 720).size(), QSize(1, 1));

    QImage image(100, 50, QImage::Format_RGBA8888_Premultiplied);
    image.fill(Qt::transparent);
    QPainter(&image).fillRect(0, 0, 50, 50, Qt::white);
    const QImage thumb = ImageCodec::thumbnail(image, 720);
    EXPECT_EQ(thumb.format(), QImage::Format_RGBA8888_Premultiplied);
    EXPECT_TRUE(near(thumb.pixelColor(80, 25), QColor::fromRgbF(0.08f, 0.10f, 0.14f), 1));
    EXPECT_EQ(thumb.pixelColor(10, 10), QColor(Qt::white));

    // A reduction averages: a 1-pixel checkerboard becomes mid grey, not aliased black or white.
    QImage checker(800, 800, QImage::Format_RGBA8888_Premultiplied);
    for (int y = 0; y < 800; ++y)
        for (int x = 0; x < 800; ++x)
            checker.setPixel(x, y, (x + y) % 2 ? 0xFFFFFFFFu : 0xFF000000u);
    const QColor mid = ImageCodec::thumbnail(checker, 100).pixelColor(50, 50);
    EXPECT_NEAR(mid.red(), 127, 12);
}

namespace {

heif_error appendTo(heif_context *, const void *data, size_t size, void *userdata)
{
    static_cast<QByteArray *>(userdata)->append(static_cast<const char *>(data), qsizetype(size));
    return heif_error{heif_error_Ok, heif_suberror_Unspecified, "ok"};
}

// Encodes a HEIC with libheif's HEVC encoder; empty when this libheif has none.
QByteArray heicOf(const QImage &source, heif_orientation orientation = heif_orientation_normal)
{
    if (!heif_have_encoder_for_format(heif_compression_HEVC))
        return {};
    const QImage rgba = source.convertToFormat(QImage::Format_RGBA8888);
    heif_context *ctx = heif_context_alloc();
    heif_encoder *encoder = nullptr;
    heif_context_get_encoder_for_format(ctx, heif_compression_HEVC, &encoder);
    heif_encoder_set_lossy_quality(encoder, 95);
    heif_image *image = nullptr;
    heif_image_create(rgba.width(), rgba.height(), heif_colorspace_RGB, heif_chroma_interleaved_RGBA, &image);
    heif_image_add_plane(image, heif_channel_interleaved, rgba.width(), rgba.height(), 8);
    int stride = 0;
    uint8_t *plane = heif_image_get_plane(image, heif_channel_interleaved, &stride);
    for (int y = 0; y < rgba.height(); ++y)
        std::memcpy(plane + y * stride, rgba.constScanLine(y), size_t(rgba.width()) * 4);
    QByteArray out;
    heif_encoding_options *options = heif_encoding_options_alloc();
    options->image_orientation = orientation; // stored as irot/imir boxes
    if (heif_context_encode_image(ctx, image, encoder, options, nullptr).code == heif_error_Ok) {
        heif_writer writer{1, appendTo};
        heif_context_write(ctx, &writer, &out);
    }
    heif_encoding_options_free(options);
    heif_image_release(image);
    heif_encoder_release(encoder);
    heif_context_free(ctx);
    return out;
}

} // namespace

TEST(ImageCodec, ReadsHeicThroughLibheif)
{
    const QByteArray heic = heicOf(quadrants(128, 96));
    if (heic.isEmpty())
        GTEST_SKIP() << "libheif has no HEVC encoder here";
    QTemporaryDir dir;
    const QImage image = ImageCodec::read(fsPath(writeFile(dir, "photo.heic", heic)));
    ASSERT_EQ(image.size(), QSize(128, 96));
    EXPECT_EQ(image.format(), QImage::Format_RGBA8888_Premultiplied);
    EXPECT_TRUE(near(image.pixelColor(20, 20), Qt::red, 24));
    EXPECT_TRUE(near(image.pixelColor(108, 76), Qt::white, 24));
    EXPECT_EQ(ImageCodec::read(heic).size(), QSize(128, 96));

    // A stored rotation comes back upright with the sides exchanged.
    const QImage turned = ImageCodec::read(heicOf(quadrants(128, 96), heif_orientation_rotate_90_cw));
    ASSERT_EQ(turned.size(), QSize(96, 128));
    EXPECT_TRUE(near(turned.pixelColor(76, 20), Qt::red, 24));
    EXPECT_TRUE(near(turned.pixelColor(20, 20), Qt::blue, 24));
    // Cut short, it is refused, not half-decoded.
    EXPECT_EQ(failureOf([&] { ImageCodec::read(heic.left(heic.size() / 2)); }), ImageFailure::Case::unreadable);
}
