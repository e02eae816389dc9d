// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QStringList>
#include <QUrl>

namespace tarn::DropImport {

// The paths of the dropped URLs that name local regular files, in the order given. Web
// addresses, inline data, folders and files that are not there are left out: a drop never
// starts a download.
QStringList localFiles(const QList<QUrl> &urls);

} // namespace tarn::DropImport
