// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include "core/image/ImageCodec.h"

namespace tarn {

// The names a capture gets on its way in and out: the title of an imported file or a new
// capture, the file name proposed when it is exported, and the format an export is written in.
namespace ItemNames {

// The proposed file name of an export: "/" and ":" become "-", white space is trimmed from both
// ends, control characters and bidirectional marks inside become "-", an empty result becomes
// "Tarnwick", the rest is cut to its first 120 user-perceived
// characters, and "." plus the extension follows. Linux refuses names over 255 bytes, which
// 120 Korean syllables already pass, so whole characters are dropped from the end until the
// UTF-8 name fits.
QString exportFileName(const QString &title, const QString &extension);

// The title of an imported file: its name without the last extension ("archive.tar.gz" ->
// "archive.tar"). A name that is only an extension (".png") or has none stays whole.
QString importTitle(const QString &fileName);

// The prefix, one blank and the local date and time as "MM-dd HH.mm.ss".
QString datedTitle(const QString &prefix, const QDateTime &now = QDateTime::currentDateTime());

// JPEG for a path ending in ".jpg" or ".jpeg" in any letter case; PNG for anything else.
ExportFormat exportFormat(const QString &path);

// The file types a video's export panel offers for an original stored with `extension`. An
// MPEG-4 or QuickTime original may be saved under either name; any other container (an
// imported Matroska, WebM or AVI movie) only under its own, since its bytes are copied as they
// are and a player trusts the name.
QStringList videoExportFilters(const QString &extension);

// ".tarnwick-", a new upper-case UUID and ".tmp": the temporary file of a video export.
QString temporaryExportName();

} // namespace ItemNames
} // namespace tarn
