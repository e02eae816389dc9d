// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/widgets/FolderLink.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace tarn::FolderLink {

void open(const QString &path)
{
    if (QFileInfo(path).isDir())
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

} // namespace tarn::FolderLink
