// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/render/CardShadow.h"

#include <algorithm>
#include <cmath>

#include <QPaintDevice>
#include <QPainter>

#include "core/render/GaussianBlur.h"

namespace tarn::CardShadow {

namespace {

// A blurred rounded rectangle is smooth, so its mask is made at a quarter of the device
// resolution and scaled up; the result cannot be told apart and costs a sixteenth.
constexpr double maskReduction = 4;

} // namespace

void paint(const QPainterPath &path, QPainter &painter)
{
    const QTransform toDevice = painter.combinedTransform();
    const QPainterPath devicePath = toDevice.map(path);
    const double reach = 3 * deviceSigma;
    QRectF area = devicePath.boundingRect().adjusted(-reach, -reach, reach, reach);
    // Only the part that can land on the device, once moved up, is worth making.
    const QRectF device(0, 0, painter.device()->width(), painter.device()->height());
    area = area.intersected(device.translated(0, deviceOffsetUp));
    if (area.isEmpty())
        return;
    area = QRectF(QPointF(std::floor(area.left()), std::floor(area.top())),
                  QPointF(std::ceil(area.right()), std::ceil(area.bottom())));

    const QSize maskSize(std::max(1, int(std::ceil(area.width() / maskReduction))),
                         std::max(1, int(std::ceil(area.height() / maskReduction))));
    QImage mask(maskSize, QImage::Format_RGBA8888_Premultiplied);
    if (mask.isNull())
        return; // no shadow rather than no picture
    mask.fill(Qt::transparent);
    {
        QPainter m(&mask);
        m.setRenderHint(QPainter::Antialiasing, true);
        m.scale(1 / maskReduction, 1 / maskReduction);
        m.translate(-area.topLeft());
        m.fillPath(devicePath, Qt::black);
    }
    mask = GaussianBlur::blurred(mask, deviceSigma / maskReduction);

    painter.save();
    painter.resetTransform();
    painter.setOpacity(opacity);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.drawImage(QRectF(area.left(), area.top() - deviceOffsetUp, maskSize.width() * maskReduction,
                             maskSize.height() * maskReduction),
                      mask);
    painter.restore();
}

} // namespace tarn::CardShadow
