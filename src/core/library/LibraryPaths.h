// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

#include <QString>
#include <QStringList>

#include "core/model/CaptureItem.h"

// Locations inside a library folder and the checks that keep every file operation inside it.
// These use only the root and the file system, never the store's state, so any thread may call
// them without waiting for the store. Paths are absolute local paths (QString).
namespace tarn::LibraryPaths {

inline const QString indexName = QStringLiteral("library.json");
inline const QString originalsName = QStringLiteral("Originals");
inline const QString thumbnailsName = QStringLiteral("Thumbnails");
inline const QString recordingsName = QStringLiteral("Recordings");
inline const QString lockName = QStringLiteral(".writer-lock");

// The root made absolute and cleaned ("." and ".." removed, no trailing slash). No file access.
QString normalizedRoot(const QString &root);

QString child(const QString &root, const QString &name);
QString originalPath(const QString &root, const CaptureItem &item);
QString thumbnailPath(const QString &root, const CaptureItem &item);

// Throws LibraryFailure::unsafeFilename unless the name is one bare entry name: not empty, not
// "." or "..", and free of "/", "\" and NUL.
void validateFilename(std::string_view name);

// The path's components after removing "." and "..", resolving every symbolic link of the part
// that exists and appending the not yet existing rest unchanged. The first component is "/".
QStringList resolvedPathComponents(const QString &path);

// Throws LibraryFailure::protectedExportLocation when writing a file at `destination` could
// touch the library: a relative or empty path, a path whose resolved components start with the
// root's, or a path whose folder or any existing ancestor is the root's folder itself by device
// and inode (which also catches case-insensitive file systems and bind mounts).
void validateExportDestination(const QString &root, const QString &destination);

} // namespace tarn::LibraryPaths
