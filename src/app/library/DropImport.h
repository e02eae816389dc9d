// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QStringList>
#include <QUrl>
#include <QtCore/qnamespace.h>

namespace tarn::DropImport {

// The paths of the dropped URLs that name a place in the local file system, in the order given.
// Web addresses and inline data are left out: a drop never starts a download. Folders, other
// non-files and files that are gone by now stay in, for the import to name with what is wrong.
QStringList localFiles(const QList<QUrl> &urls);

// Whether a drag offers to copy: the only answer the library gives, since it copies the files
// into itself. A drag that offers only to move or link is refused, as the source would remove
// or keep pointing at what the library has not read yet.
bool copyable(Qt::DropActions offered);

} // namespace tarn::DropImport
