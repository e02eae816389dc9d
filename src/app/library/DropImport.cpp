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
        // Anything that is there goes to the import, which reads regular files only and lists
        // every other kind (a folder, a pipe, a device) with what it is.
        const QFileInfo file(url.toLocalFile());
        if (file.exists())
            files << file.absoluteFilePath();
    }
    return files;
}

} // namespace tarn::DropImport
