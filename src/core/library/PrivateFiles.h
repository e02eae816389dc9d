// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>

#include <QByteArray>
#include <QString>
#include <QStringList>

// File-system primitives of the library store. Every failure is a FileFailure carrying the
// system error number. Paths are absolute local paths. Reads open regular files only (see
// RegularFile): a pipe, device, socket or folder in place of a file is refused, never waited on.
namespace tarn::Files {

// Creates the folder and every missing parent with permissions 0700; folders that already
// exist are accepted unchanged. A non-folder in the way fails with ENOTDIR.
void createFolders(const QString &path);

// True when something exists at the path (symbolic links followed), false only when the
// system says it does not exist (ENOENT). Every other error (no permission to look, I/O) is
// thrown, so an unreadable index is never mistaken for a missing one.
bool exists(const QString &path);

// Replaces the file at `path` atomically with private permissions: a temporary file with mode
// 0600 in the same folder is filled, flushed to disk and renamed over the target, then the
// folder is flushed. Everything that can fail happens before the rename, so after a failure the
// previous file is untouched and after success the new content is complete; a crash at any
// moment leaves either the old or the new file, never a partial one.
void writeAtomically(const QString &path, const QByteArray &data);

// The same for a copy of another file's bytes (a video original).
void copyAtomically(const QString &source, const QString &target);

// The name of the file whose atomic write left the temporary file `name` behind when the
// process died before the rename ("." + that name + ".tmp-" + six letters or digits, in the same
// folder); empty when `name` is no such temporary file.
QString temporaryTarget(const QString &name);

// Reads a whole regular file.
QByteArray readAll(const QString &path);

// Reads at most `limit` bytes from the start of a file.
QByteArray readHead(const QString &path, int64_t limit);

// The size in bytes of the file at the path.
int64_t fileSize(const QString &path);

// True when both files hold the same bytes (sizes compared first, then the content in chunks).
bool sameContent(const QString &first, const QString &second);

// Unlinks one directory entry (never a recursive removal). ENOENT is reported like any error.
void removeFile(const QString &path);

// Removes a file, ignoring every failure: used for clean-up after another error.
void removeQuietly(const QString &path);

// Every entry of a folder, hidden ones included, in the order the system lists them.
QStringList listFolder(const QString &path);

} // namespace tarn::Files
