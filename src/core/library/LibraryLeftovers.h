// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include <QString>
#include <QStringList>

#include "core/model/CaptureItem.h"

// What a process killed in the middle of a library change leaves behind. Every change writes
// its new files before the index and removes replaced files after it (LibraryStore), so a kill
// can leave the temporary file of an atomic write (of the index, an original or a thumbnail)
// and a thumbnail that the index does not name. Nothing else is a leftover: an original is
// never removed, even one that no item names, and "Recordings" is left to recovery.
namespace tarn::LibraryLeftovers {

// The leftovers under the library `root` whose index lists `items`, as absolute paths. Only
// regular files whose names follow our own patterns are ever listed: a symbolic link, a folder
// or a file of any other name is not ours to remove. Folders that cannot be listed are skipped.
QStringList find(const QString &root, const std::vector<CaptureItem> &items);

} // namespace tarn::LibraryLeftovers
