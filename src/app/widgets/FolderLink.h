// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include <QString>

namespace tarn::FolderLink {

// Shows a folder in the desktop's file manager; nobody waits for the answer. A folder that
// does not exist opens nothing: handed on, it would make the file manager show an error
// window of its own. Gives the Korean message for the user when nothing could show an existing
// folder (a bare desktop has no file manager), naming the folder so that it can be found by hand.
std::optional<QString> open(const QString &path);

} // namespace tarn::FolderLink
