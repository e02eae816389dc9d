// SPDX-License-Identifier: GPL-3.0-or-later
#include <functional>

#include <gtest/gtest.h>

#include "core/base/ImageFailure.h"
#include "core/image/ImageMetadataSanitizer.h"
#include "support/ImageBytes.h"

using namespace tarn;
using namespace tarn::TestBytes;
namespace S = tarn::ImageMetadataSanitizer;

namespace {

bool refused(const std::function<void()> &run)
{
    try {
        run();
    } catch (const ImageFailure &f) {
        return f.kind() == ImageFailure::Case::encoding;
    }
    return false;
}

const QByteArray soi = bytes({0xFF, 0xD8});
const QByteArray eoi = bytes({0xFF, 0xD9});
const QByteArray app0 = jpegSegment(0xE0, QByteArray("JFIF\0\x01\x02\0\0\x01\0\x01\0\0", 14));
const QByteArray exif = jpegSegment(0xE1, QByteArray("Exif\0\0MM\0*\0\0\0\x08\0\0", 16));
const QByteArray xmp = jpegSegment(0xE1, "http://ns.adobe.com/xap/1.0/\0<x:xmpmeta/>");
const QByteArray icc = jpegSegment(0xE2, QByteArray("ICC_PROFILE\0\x01\x01profile", 21));
const QByteArray iptc = jpegSegment(0xED, "Photoshop 3.0\08BIM");
const QByteArray comment = jpegSegment(0xFE, "secret comment");
const QByteArray dqt = jpegSegment(0xDB, QByteArray(65, '\x01'));
const QByteArray sof = jpegSegment(0xC0, bytes({8, 0, 16, 0, 16, 1, 1, 0x11, 0}));
const QByteArray dht = jpegSegment(0xC4, QByteArray(20, '\0'));
const QByteArray sos = jpegSegment(0xDA, bytes({1, 1, 0, 0, 63, 0}));
const QByteArray scan = bytes({0x12, 0xFF, 0x00, 0x34, 0xFF, 0xD0, 0x56}) + eoi;

} // namespace

TEST(StripPNG, RemovesTextExifAndTimeChunksKeepingTheRestByteForByte)
{
    const QByteArray header = ihdr(2, 2), profile = pngChunk("iCCP", QByteArray("sRGB\0\0profile", 13)),
                     text = pngChunk("tEXt", QByteArray("Author\0me", 9)),
                     density = pngChunk("pHYs", QByteArray(9, '\x01')), time = pngChunk("tIME", QByteArray(7, '\x02')),
                     data = pngChunk("IDAT", "pixels"), end = pngChunk("IEND");
    const QByteArray in = pngSignature() + header + profile + text + density + time + data + end;
    EXPECT_EQ(S::stripPNG(in), pngSignature() + header + profile + density + data + end);

    const QByteArray others =
        pngSignature() + header + pngChunk("zTXt", "z") + pngChunk("iTXt", "i") + pngChunk("eXIf", "MM") + data + end;
    EXPECT_EQ(S::stripPNG(others), pngSignature() + header + data + end);

    // Types that differ only in letter case are not metadata we know: they stay.
    const QByteArray lookalikes = pngSignature() + header + pngChunk("TEXT", "a") + pngChunk("Exif", "b") + end;
    EXPECT_EQ(S::stripPNG(lookalikes), lookalikes);

    // Nothing but the signature and an empty IEND comes out unchanged.
    EXPECT_EQ(S::stripPNG(pngSignature() + end), pngSignature() + end);
}

TEST(StripPNG, StopsAtIendAndRefusesBrokenContainers)
{
    const QByteArray body = pngSignature() + ihdr(1, 1) + pngChunk("IDAT", "x");
    EXPECT_EQ(S::stripPNG(body + pngChunk("IEND") + "trailing junk"), body + pngChunk("IEND"));

    EXPECT_TRUE(refused([&] { S::stripPNG(body); }));                     // no IEND
    EXPECT_TRUE(refused([&] { S::stripPNG(body + QByteArray(11, 0)); })); // too short for a chunk
    EXPECT_TRUE(refused([] { S::stripPNG(QByteArray()); }));
    EXPECT_TRUE(refused([] { S::stripPNG(pngSignature().left(7)); }));
    QByteArray wrongSignature = pngSignature() + pngChunk("IEND");
    wrongSignature[1] = 'p';
    EXPECT_TRUE(refused([&] { S::stripPNG(wrongSignature); }));
    // A length running past the end, including the largest 32-bit length.
    QByteArray overlong = body + pngChunk("IEND");
    overlong.replace(8, 4, be32(14));
    EXPECT_TRUE(refused([&] { S::stripPNG(overlong); }));
    overlong.replace(8, 4, be32(0xFFFFFFFFu));
    EXPECT_TRUE(refused([&] { S::stripPNG(overlong); }));
}

TEST(StripJPEG, RemovesApp1App13AndCommentsBeforeTheScan)
{
    const QByteArray in = soi + app0 + exif + xmp + icc + iptc + comment + dqt + sof + dht + sos + scan;
    EXPECT_EQ(S::stripJPEG(in), soi + app0 + icc + dqt + sof + dht + sos + scan);

    // A comment after the start of scan, and bytes after the end of image, are not examined.
    const QByteArray tail = sos + bytes({0x01, 0x02}) + comment + eoi + "after";
    EXPECT_EQ(S::stripJPEG(soi + comment + tail), soi + tail);
    EXPECT_EQ(S::stripJPEG(soi + exif + eoi + comment), soi + eoi + comment);
}

TEST(StripJPEG, FillBytesTravelWithTheirMarker)
{
    // A fill byte before a removed segment goes with it; before a kept one it stays.
    EXPECT_EQ(S::stripJPEG(soi + bytes({0xFF}) + exif + sos + scan), soi + sos + scan);
    EXPECT_EQ(S::stripJPEG(soi + bytes({0xFF}) + dqt + sos + scan), soi + bytes({0xFF}) + dqt + sos + scan);
    // Standalone markers before the scan pass through as two-byte units.
    const QByteArray standalone = soi + bytes({0xFF, 0xD3}) + soi + bytes({0xFF, 0x01}) + dqt + sos + scan;
    EXPECT_EQ(S::stripJPEG(standalone), standalone);
    // APP2, APP14 and every code beyond COM's neighbours stay.
    const QByteArray kept = soi + jpegSegment(0xEE, "Adobe") + jpegSegment(0xE3, "x") + jpegSegment(0xEC, "y") + eoi;
    EXPECT_EQ(S::stripJPEG(kept), kept);
}

TEST(StripJPEG, RefusesBrokenContainers)
{
    EXPECT_TRUE(refused([] { S::stripJPEG(bytes({0xFF, 0xD8, 0xFF})); }));
    EXPECT_TRUE(refused([] { S::stripJPEG(bytes({0xFF, 0xD8, 0x00, 0x00})); }));
    EXPECT_TRUE(refused([] { S::stripJPEG(bytes({0xFF, 0xD9, 0xFF, 0xD8})); }));
    EXPECT_TRUE(refused([] { S::stripJPEG(QByteArray()); }));
    EXPECT_TRUE(refused([] { S::stripJPEG(soi + bytes({0xFF, 0xDB, 0x00, 0x00}) + sos); }));       // length 0
    EXPECT_TRUE(refused([] { S::stripJPEG(soi + bytes({0xFF, 0xDB, 0x00, 0x01}) + sos); }));       // length 1
    EXPECT_TRUE(refused([] { S::stripJPEG(soi + bytes({0xFF, 0xDB, 0x00, 0x09, 1, 2}) + eoi); })); // past the end
    EXPECT_TRUE(refused([] { S::stripJPEG(soi + bytes({0xFF, 0xFF, 0xFF, 0xFF})); }));             // ends in fill bytes
    EXPECT_TRUE(refused([] { S::stripJPEG(soi + bytes({0xFF, 0xE0, 0x00})); }));                   // ends in a length
    EXPECT_TRUE(refused([] { S::stripJPEG(soi + app0 + dqt); }));                                  // no scan, no end
    EXPECT_TRUE(refused([] { S::stripJPEG(soi + app0 + bytes({0x00}) + sos + scan); }));           // not a marker
}
