// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/library/DropImport.h"

#include <QFileInfo>

namespace tarn::DropImport {

QStringList localFiles(const QList<QUrl> &urls)
{
    QStringList files;
    for (const QUrl &url : urls) {
        if (!url.isLocalFile())
            continue;
        const QFileInfo file(url.toLocalFile());
        if (file.isFile())
            files << file.absoluteFilePath();
    }
    return files;
}

} // namespace tarn::DropImport
