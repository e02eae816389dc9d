// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/render/CardShadow.h"

#include <algorithm>
#include <cmath>

#include <QPaintDevice>
#include <QPainter>

#include "core/render/GaussianBlur.h"

namespace tarn::CardShadow {

void paint(const QPainterPath &path, QPainter &painter, const Style &style)
{
    // The whole way to device pixels: a widget painted inside its window is drawn through an
    // offset to its place there, and a dense screen through its pixel ratio, neither of which
    // the painter's own transform holds.
    const QPainterPath devicePath = painter.deviceTransform().map(path);
    // Both stay in the painter after a reset: the mask is drawn through their inverse, one
    // mask pixel per device pixel.
    painter.save();
    painter.resetTransform();
    const QTransform deviceScale = painter.deviceTransform();
    const QRectF device = deviceScale.mapRect(QRectF(0, 0, painter.device()->width(), painter.device()->height()));
    const double reach = 3 * style.sigma;
    QRectF area = devicePath.boundingRect().adjusted(-reach, -reach, reach, reach);
    // Only the part that can land on the device, once moved, is worth making.
    area = area.intersected(device.translated(-style.offset));
    if (area.isEmpty()) {
        painter.restore();
        return;
    }
    area = QRectF(QPointF(std::floor(area.left()), std::floor(area.top())),
                  QPointF(std::ceil(area.right()), std::ceil(area.bottom())));

    const double reduction = std::max(1.0, style.maskReduction);
    const QSize maskSize(std::max(1, int(std::ceil(area.width() / reduction))),
                         std::max(1, int(std::ceil(area.height() / reduction))));
    QImage mask(maskSize, QImage::Format_RGBA8888_Premultiplied);
    if (mask.isNull()) {
        painter.restore();
        return; // no shadow rather than no picture
    }
    mask.fill(Qt::transparent);
    {
        QPainter m(&mask);
        m.setRenderHint(QPainter::Antialiasing, true);
        m.scale(1 / reduction, 1 / reduction);
        m.translate(-area.topLeft());
        m.fillPath(devicePath, Qt::black);
    }
    mask = GaussianBlur::blurred(mask, style.sigma / reduction);

    painter.setTransform(deviceScale.inverted());
    painter.setOpacity(style.opacity);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.drawImage(
        QRectF(area.topLeft() + style.offset, QSizeF(maskSize.width() * reduction, maskSize.height() * reduction)),
        mask);
    painter.restore();
}

} // namespace tarn::CardShadow
