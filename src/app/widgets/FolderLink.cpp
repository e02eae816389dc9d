// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/widgets/FolderLink.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace tarn::FolderLink {

std::optional<QString> open(const QString &path)
{
    if (!QFileInfo(path).isDir() || QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        return std::nullopt;
    return QStringLiteral("폴더를 열 파일 관리자를 찾지 못했습니다. 직접 여세요: ") + path;
}

} // namespace tarn::FolderLink
