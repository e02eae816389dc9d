// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/editor/CanvasPainter.h"

#include <cmath>
#include <exception>

#include <QFontDatabase>
#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>

#include "app/editor/CanvasBackground.h"
#include "core/render/BadgeRotationGeometry.h"
#include "core/render/CardShadow.h"
#include "core/render/DraftRenderer.h"
#include "core/render/Fonts.h"
#include "core/render/RasterRenderer.h"

namespace tarn::CanvasPainter {

namespace {

const QColor marqueeColor = QColor::fromRgbF(0.8f, 0.98f, 0.63f);
const QColor outlineColor = QColor::fromRgbF(1, 1, 1, 0.7f);
const QColor accentColor = QColor::fromRgbF(0.26f, 0.72f, 1);
const QColor labelPlateColor = QColor::fromRgbF(0.06f, 0.1f, 0.15f, 0.95f);

// Black at 30 %, blur 3 points, 1 point down; the shadow's lengths are device pixels.
CardShadow::Style ringShadow(double ratio) { return {0.3, 1.5 * ratio, QPointF(0, 1) * ratio, 1}; }

void strokeDashed(QPainter &painter, const QRectF &rect, const QColor &color, double width, double dash, double gap)
{
    QPen pen(color, width, Qt::CustomDashLine, Qt::FlatCap, Qt::MiterJoin);
    pen.setDashPattern({dash / width, gap / width}); // QPen counts dashes in pen widths
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect);
}

// The dashed box round a selected mark other than a badge: its bounds, or a 50-pixel square
// round the first point of a small mark, grown by 5 view points.
void paintSelectionOutline(QPainter &painter, const CanvasGeometry &geometry, const Annotation &selected)
{
    QRectF b = geometry.annotationBounds(selected);
    if ((b.width() < 10 || b.height() < 10) && !selected.points.empty()) {
        const QPointF c = selected.points.front().scaled(geometry.layout().sourceSize());
        b = QRectF(c.x() - 25, c.y() - 25, 50, 50);
    }
    strokeDashed(painter, geometry.viewRect(b).adjusted(-5, -5, 5, 5), outlineColor, 1, 4, 4);
}

void paintFailure(QPainter &painter)
{
    painter.setPen(Qt::white);
    painter.setFont(Fonts::font(12));
    painter.drawText(QRectF(30, 30, 1e6, 1e6), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, failureText());
}

// The document, with the draft appended when it is drawn, in layout space.
void drawDocument(QPainter &painter, const Frame &frame, bool drawsDraft, DocumentRenderer renderer)
{
    if (!drawsDraft) {
        (renderer ? renderer : &RasterRenderer::draw)(frame.image, frame.document, painter);
    } else if (frame.draftRenderer && !renderer) {
        frame.draftRenderer->draw(frame.image, frame.document, *frame.draft, painter);
    } else {
        EditDocument withDraft = frame.document;
        withDraft.annotations.push_back(*frame.draft);
        (renderer ? renderer : &RasterRenderer::draw)(frame.image, withDraft, painter);
    }
}

} // namespace

bool isOpaque(const QImage &image)
{
    if (!image.hasAlphaChannel())
        return true;
    int alphaByte = -1;
    switch (image.format()) {
    case QImage::Format_RGBA8888:
    case QImage::Format_RGBA8888_Premultiplied:
        alphaByte = 3;
        break;
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
        alphaByte = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? 3 : 0;
        break;
    default:
        return false;
    }
    for (int y = 0; y < image.height(); ++y) {
        const uchar *row = image.constScanLine(y);
        for (int x = 0; x < image.width(); ++x) {
            if (row[4 * x + alphaByte] != 0xFF)
                return false;
        }
    }
    return true;
}

// Qt offers no tabular-figures switch for the UI font; the fixed-pitch family's digits are all
// one width, so the label keeps still as the badge turns.
QFont degreeLabelFont()
{
    QFont font = Fonts::font(11, QFont::DemiBold);
    QStringList families = Fonts::families();
    families.prepend(QFontDatabase::systemFont(QFontDatabase::FixedFont).family());
    font.setFamilies(families);
    return font;
}

bool KeptFrame::fits(const Frame &frame, double ratio, bool opaque) const
{
    return !picture.isNull() && picture.devicePixelRatio() == ratio && imageKey == frame.image.cacheKey() &&
        viewSize == frame.viewSize && canvasRect == frame.geometry.canvasRect() &&
        transform == frame.geometry.layoutTransform() && renderIsOpaque == opaque && document == frame.document;
}

void KeptFrame::make(const Frame &frame, double ratio, bool opaque)
{
    picture = QImage((frame.viewSize * ratio).toSize(), QImage::Format_RGB32);
    picture.setDevicePixelRatio(ratio);
    QPainter painter(&picture);
    painter.setClipRect(QRectF(QPointF(0, 0), frame.viewSize));
    painter.setRenderHint(QPainter::Antialiasing, true);
    CanvasBackground::paint(painter, frame.viewSize, frame.geometry.canvasRect(), opaque);
    painter.setTransform(frame.geometry.layoutTransform(), true);
    RasterRenderer::drawUnderDraft(frame.image, frame.document, painter);
    painter.end();
    imageKey = frame.image.cacheKey();
    document = frame.document;
    transform = frame.geometry.layoutTransform();
    canvasRect = frame.geometry.canvasRect();
    viewSize = frame.viewSize;
    renderIsOpaque = opaque;
}

QString failureText() { return QStringLiteral("흐림 미리보기를 만들지 못했습니다. 이미지를 다시 열어 주세요."); }

void paint(QPainter &painter, const Frame &frame, DocumentRenderer renderer)
{
    const CanvasGeometry &geometry = frame.geometry;
    const QRectF bounds(QPointF(0, 0), frame.viewSize);
    painter.save();
    painter.setClipRect(bounds);
    painter.setRenderHint(QPainter::Antialiasing, true);
    // The render covers its whole rectangle with opaque pixels unless it shows a picture with
    // transparent parts without a frame; the plate then shows through.
    const bool renderIsOpaque = frame.document.backdrop != Backdrop::none || frame.imageIsOpaque;

    // The mark being drawn shows above every other, exactly as it will be added; a crop being
    // dragged is shown by its marquee only.
    const bool draftIsCrop = frame.draft && frame.draft->tool == MarkupTool::crop;
    const bool drawsDraft = frame.draft && !draftIsCrop;
    if (frame.draftRenderer && !drawsDraft)
        frame.draftRenderer->clear();
    const bool fromKept = drawsDraft && frame.keptFrame && frame.draftRenderer && !renderer;
    if (frame.keptFrame && !fromKept)
        frame.keptFrame->clear();
    if (fromKept) {
        const double ratio = painter.device()->devicePixelRatioF();
        if (!frame.keptFrame->fits(frame, ratio, renderIsOpaque))
            frame.keptFrame->make(frame, ratio, renderIsOpaque);
        painter.save();
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(QPointF(0, 0), frame.keptFrame->picture);
        painter.restore();
    } else {
        CanvasBackground::paint(painter, frame.viewSize, geometry.canvasRect(), renderIsOpaque);
    }
    painter.save();
    painter.setTransform(geometry.layoutTransform(), true);
    try {
        if (fromKept) {
            const QImage blurred = frame.draftRenderer->blurredCopy(frame.image, frame.document, *frame.draft, painter);
            RasterRenderer::drawDraftOver(frame.image, frame.document, *frame.draft, blurred, painter);
        } else {
            drawDocument(painter, frame, drawsDraft, renderer);
        }
    } catch (const std::exception &) {
        painter.restore();
        if (fromKept) { // the kept picture shows the capture: start again from the backdrop
            frame.keptFrame->clear();
            CanvasBackground::paint(painter, frame.viewSize, geometry.canvasRect(), renderIsOpaque);
        }
        if (renderIsOpaque)
            CanvasBackground::paintPlate(painter, geometry.canvasRect());
        paintFailure(painter);
        painter.restore();
        return;
    }
    painter.restore();

    if (draftIsCrop) {
        const QRectF crop = frame.draft->rect().scaled(geometry.layout().sourceSize());
        strokeDashed(painter, geometry.viewRect(crop), marqueeColor, 1.5, 6, 4);
    } else if (const Annotation *selected = geometry.selectedAnnotation();
               selected && selected->tool != MarkupTool::badge) {
        paintSelectionOutline(painter, geometry, *selected);
    }
    if (const auto ring = geometry.badgeRotationGeometry())
        paintBadgeRotationControl(painter, *ring, geometry.selectedBadge()->resolvedBadgeRotation(), frame.viewSize);
    painter.restore();
}

void paintBadgeRotationControl(QPainter &painter, const BadgeRotationGeometry &ring, double rotationDegrees,
                               QSizeF viewSize)
{
    const QPointF c = ring.center();
    const double r = ring.radius();
    const QPointF h = ring.handleCenter(rotationDegrees);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);

    QPainterPath circle;
    circle.addEllipse(c, r, r);
    QPainterPath handle;
    handle.addEllipse(h, 7, 7);
    QPainterPathStroker ringStroke;
    ringStroke.setWidth(2);
    QPainterPathStroker rimStroke;
    rimStroke.setWidth(2.5);
    CardShadow::paint(ringStroke.createStroke(circle).united(handle).united(rimStroke.createStroke(handle)), painter,
                      ringShadow(painter.device()->devicePixelRatioF()));

    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(accentColor, 2));
    painter.drawPath(circle);
    painter.fillPath(handle, accentColor);
    painter.setPen(QPen(Qt::white, 2.5));
    painter.drawPath(handle);

    const double x = std::min(std::max(c.x() - 25, 6.0), viewSize.width() - 56);
    const double y = std::max(c.y() - r - 29, 6.0);
    const QRectF plate(x, y, 50, 22);
    QPainterPath plateShape;
    plateShape.addRoundedRect(plate, 6, 6);
    painter.fillPath(plateShape, labelPlateColor);
    painter.setPen(accentColor);
    painter.setFont(degreeLabelFont());
    const QString degrees = QString::number(static_cast<long long>(std::trunc(rotationDegrees))) + QStringLiteral("°");
    painter.drawText(plate.adjusted(3, 4, -3, -4), Qt::AlignCenter, degrees);
    painter.restore();
}

} // namespace tarn::CanvasPainter
