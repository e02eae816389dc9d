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
        // The import reads regular files only and lists every other kind (a folder, a pipe, a
        // device) with what it is, and one that is gone with that: nothing dropped goes unnamed.
        files << QFileInfo(url.toLocalFile()).absoluteFilePath();
    }
    return files;
}

bool copyable(Qt::DropActions offered) { return offered.testFlag(Qt::CopyAction); }

} // namespace tarn::DropImport
