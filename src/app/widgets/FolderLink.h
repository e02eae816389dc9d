// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace tarn::FolderLink {

// Shows a folder in the desktop's file manager; nobody waits for the answer. A folder that
// does not exist opens nothing: handed on, it would make the file manager show an error
// window of its own.
void open(const QString &path);

} // namespace tarn::FolderLink
