// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

namespace tarn::ImageMetadataSanitizer {

// Both walks copy the container's units (PNG chunks, JPEG marker segments) one by one, leave
// out descriptive metadata (EXIF, XMP, text, times, image resources, comments) and keep every
// other unit byte for byte, colour profile and pixel density included. Bytes that do not parse
// as the container throw ImageFailure::encoding; nothing partial is returned.

// Removes the chunks eXIf, tEXt, zTXt, iTXt and tIME; stops after IEND.
QByteArray stripPNG(const QByteArray &png);

// Removes the segments APP1 (EXIF, XMP), APP13 (image resources) and COM before the scan;
// the scan and everything after it are copied unexamined.
QByteArray stripJPEG(const QByteArray &jpeg);

} // namespace tarn::ImageMetadataSanitizer
