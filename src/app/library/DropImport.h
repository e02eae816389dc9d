// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QStringList>
#include <QUrl>

namespace tarn::DropImport {

// The paths of the dropped URLs that name something in the local file system, in the order
// given. Web addresses, inline data and files that are not there are left out: a drop never
// starts a download. Folders and other non-files stay in, for the import to refuse by name.
QStringList localFiles(const QList<QUrl> &urls);

} // namespace tarn::DropImport
