// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace tarn::BadgePreview {

// Renders the badge palette sheet (with the rotation samples when asked), encodes it as PNG
// and writes it atomically to `file`, a path relative to the working directory unless
// absolute; the parent folder is created when missing. Returns the absolute path written.
// Throws ImageFailure (a folder or file that cannot be written reports `encoding`).
QString write(const QString &file, bool showRotations);

} // namespace tarn::BadgePreview
