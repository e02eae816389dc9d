// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/editor/CanvasBackground.h"

#include <cmath>

#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QRegion>

#include "core/render/CardShadow.h"

namespace tarn::CanvasBackground {

namespace {

const QColor backdropColor = QColor::fromRgbF(0.065f, 0.085f, 0.115f);
const QColor dotColor = QColor::fromRgbF(1, 1, 1, 0.07f);
const QColor plateColor = QColor::fromRgbF(0.15f, 0.18f, 0.2f);

// Black at 23 %, blur 30 points (a Gaussian of standard deviation 15), 10 points down.
constexpr double shadowOpacity = 0.23;
constexpr double shadowSigma = 15;
constexpr QPointF shadowOffset(0, 10);

constexpr double gridStep = 20;
constexpr double gridStart = 12;

double pixelRatio(const QPainter &painter) { return painter.device()->devicePixelRatioF(); }

// One cell of the dot grid at the painter's resolution, so the grid is filled with one tiled
// brush instead of thousands of ellipses.
QImage gridTile(double ratio)
{
    const int side = int(std::ceil(gridStep * ratio));
    QImage tile(side, side, QImage::Format_ARGB32_Premultiplied);
    tile.setDevicePixelRatio(ratio);
    tile.fill(Qt::transparent);
    QPainter p(&tile);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    p.setBrush(dotColor);
    p.drawEllipse(QRectF(gridStart, gridStart, 1, 1));
    return tile;
}

void paintDotGrid(QPainter &painter, QSizeF viewSize)
{
    // Dots start at 12 and stop before the edges: nothing is drawn in a view 12 wide or less.
    if (viewSize.width() <= gridStart || viewSize.height() <= gridStart)
        return;
    static QImage tile;
    const double ratio = pixelRatio(painter);
    if (tile.isNull() || tile.devicePixelRatio() != ratio)
        tile = gridTile(ratio);
    painter.fillRect(QRectF(QPointF(0, 0), viewSize), QBrush(tile));
}

// The shadow of a plate of one size, made in device pixels with the plate at a given
// fraction of a pixel from the image's whole-pixel origin `margin`, so that the cached image
// drawn at whole device pixels gives what painting the shadow afresh would.
struct PlateShadow {
    QSizeF size;
    QPointF phase;
    double ratio = 0;
    QImage image;
    QPoint margin;
};

PlateShadow makeShadow(QSizeF size, QPointF phase, double ratio)
{
    const CardShadow::Style style{shadowOpacity, shadowSigma * ratio, shadowOffset * ratio, 4};
    const int reach = int(std::ceil(3 * style.sigma + std::abs(style.offset.y()))) + 1;
    const QSizeF device = size * ratio;
    QImage image(int(std::ceil(device.width() + phase.x())) + 2 * reach,
                 int(std::ceil(device.height() + phase.y())) + 2 * reach, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    QPainterPath plate;
    plate.addRect(QRectF(QPointF(reach, reach) + phase, device));
    CardShadow::paint(plate, p, style);
    return {size, phase, ratio, image, QPoint(reach, reach)};
}

// Draws an image one pixel per device pixel with its top-left corner at a device pixel.
void drawInDevicePixels(QPainter &painter, const QImage &image, QPoint deviceTopLeft)
{
    painter.save();
    painter.resetTransform();
    painter.setTransform(painter.deviceTransform().inverted());
    painter.drawImage(deviceTopLeft, image);
    painter.restore();
}

void paintPlateShadow(QPainter &painter, const QRectF &plate)
{
    static PlateShadow cache;
    const double ratio = pixelRatio(painter);
    const QPointF device = painter.deviceTransform().map(plate.topLeft());
    const QPoint whole(int(std::floor(device.x())), int(std::floor(device.y())));
    const QPointF phase = device - whole;
    if (cache.image.isNull() || cache.size != plate.size() || cache.phase != phase || cache.ratio != ratio)
        cache = makeShadow(plate.size(), phase, ratio);
    drawInDevicePixels(painter, cache.image, whole - cache.margin);
}

// The whole view pixels that the plate covers.
QRect coveredByPlate(const QRectF &plate)
{
    const QPoint topLeft(int(std::ceil(plate.left())), int(std::ceil(plate.top())));
    const QPoint bottomRight(int(std::floor(plate.right())) - 1, int(std::floor(plate.bottom())) - 1);
    return {topLeft, bottomRight};
}

} // namespace

void paint(QPainter &painter, QSizeF viewSize, const QRectF &plate, bool renderIsOpaque)
{
    const QRectF bounds(QPointF(0, 0), viewSize);
    const QRect covered = coveredByPlate(plate);
    painter.save();
    // Under the plate nothing of this shows: it is painted round the plate only.
    if (!covered.isEmpty())
        painter.setClipRegion(QRegion(bounds.toAlignedRect()).subtracted(QRegion(covered)), Qt::IntersectClip);
    painter.fillRect(bounds, backdropColor);
    paintDotGrid(painter, viewSize);
    paintPlateShadow(painter, plate);
    if (renderIsOpaque)
        painter.fillRect(plate, plateColor); // its edges, where the render may leave part of a pixel
    painter.restore();
    if (!renderIsOpaque)
        paintPlate(painter, plate);
}

void paintPlate(QPainter &painter, const QRectF &plate) { painter.fillRect(plate, plateColor); }

} // namespace tarn::CanvasBackground
