// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

namespace tarn {

// Writing an export where the user chose: the destination is replaced in one step or not at
// all, and nothing of ours is left beside it. Blocking; callers run them off the GUI thread.
// Failures are FileFailures naming the path and the cause.
namespace ExportFiles {

// Writes the bytes to a temporary file in the destination's folder, flushes it and renames it
// over the destination; an existing file there stays unchanged when anything fails. The file
// gets the user's usual permissions, not the library's private ones.
void writeAtomically(const QString &destination, const QByteArray &bytes);

// Copies a video's file to the destination through a temporary file beside it, which is always
// removed afterwards; a copy onto the source itself does nothing. Like any export, the copy gets
// the user's usual permissions, whatever the source's or the replaced file's were.
void copyFile(const QString &source, const QString &destination);

} // namespace ExportFiles
} // namespace tarn
