// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/render/BadgePreview.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include "core/image/ImageCodec.h"
#include "core/render/BadgeRenderer.h"

namespace tarn::BadgePreview {

QString write(const QString &file, bool showRotations)
{
    const QFileInfo target(QDir::current(), file);
    const QString path = target.absoluteFilePath();
    if (!QDir().mkpath(target.absolutePath()))
        throw ImageFailure::encoding();
    const QByteArray png = ImageCodec::encode(BadgeRenderer::previewImage(showRotations), ExportFormat::png, 0.92);
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(png) != png.size() || !out.commit())
        throw ImageFailure::encoding();
    return path;
}

} // namespace tarn::BadgePreview
