// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

// Which file extension a stored copy of a movie gets. The extension follows the container the
// file's first bytes show, from a short allow-list, so a Matroska or WebM movie is never
// stored (and later exported byte for byte) under a misleading ".mp4":
//   MPEG-4 / QuickTime: "mov" when the source is named ".mov" (any letter case) or its brand is
//                       QuickTime's, otherwise "mp4" (also for ".m4v");
//   Matroska: "webm" for the WebM flavour, otherwise "mkv";  AVI: "avi";
//   anything else: "mov" when the source is named ".mov", otherwise "mp4".
namespace tarn::VideoContainer {

// How many leading bytes storedExtension looks at.
inline constexpr int headLength = 64;

QString storedExtension(const QString &sourcePath, const QByteArray &head);

} // namespace tarn::VideoContainer
