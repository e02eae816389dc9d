// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/library/VideoContainer.h"

#include <QFileInfo>

namespace tarn::VideoContainer {
QString storedExtension(const QString &sourcePath, const QByteArray &head)
{
    const bool namedMov = QFileInfo(sourcePath).suffix().toLower() == QLatin1String("mov");
    const QString isoExtension = namedMov ? QStringLiteral("mov") : QStringLiteral("mp4");

    if (head.startsWith("\x1A\x45\xDF\xA3"))
        return head.contains("webm") ? QStringLiteral("webm") : QStringLiteral("mkv");
    if (head.startsWith("RIFF") && head.mid(8, 4) == "AVI ")
        return QStringLiteral("avi");
    if (head.size() >= 12 && head.mid(4, 4) == "ftyp" && head.mid(8, 4) == "qt  ")
        return QStringLiteral("mov");
    return isoExtension;
}

} // namespace tarn::VideoContainer
