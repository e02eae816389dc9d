// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>

#include <QByteArray>
#include <QImage>

namespace tarn::HeifDecoder {

// True when the leading bytes are an ISO base media file that libheif reads (HEIC, HEIF, AVIF).
bool recognizes(const QByteArray &head);

// Decodes the primary image with its rotation and mirroring applied. The stored size is checked
// with ImageCodec::validate before decoding; its failure is thrown unchanged, every other problem
// throws ImageFailure::unreadable. The result is 8-bit RGBA (premultiplied when the file says
// so), tagged with the file's ICC colour space when it carries one.
QImage decode(const std::filesystem::path &file);
QImage decode(const QByteArray &bytes);

} // namespace tarn::HeifDecoder
