// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Finds what a person would see as broken in a shown window: a text drawn elided ("…") or with
// glyphs cut off by its widget's edge or its clip, and a widget that lies (partly) outside the
// visible area of its parent. Every widget is painted on its own into a device that records the
// texts drawn, so custom-painted controls are judged the same way as labels and buttons.
#include <algorithm>
#include <vector>

#include <QAbstractScrollArea>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QScrollBar>
#include <QString>
#include <QStringList>
#include <QTextItem>
#include <QWidget>

namespace tarn::TestSupport {

namespace LayoutFitDetail {

// One text as drawn: its characters and the device rectangles of its ink and of the area it
// could be seen in (the painter's and the system's clip).
struct DrawnText {
    QString text;
    QRectF ink;
    QRectF visible;
};

// A paint engine that draws nothing and keeps every text it is asked to draw.
class TextRecorder : public QPaintEngine {
public:
    TextRecorder() : QPaintEngine(QPaintEngine::AllFeatures) { }

    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState &) override { }
    void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override { }
    void drawImage(const QRectF &, const QImage &, const QRectF &, Qt::ImageConversionFlags) override { }
    void drawPath(const QPainterPath &) override { }
    void drawPolygon(const QPointF *, int, PolygonDrawMode) override { }
    Type type() const override { return QPaintEngine::User; }

    void drawTextItem(const QPointF &origin, const QTextItem &item) override
    {
        if (item.text().trimmed().isEmpty())
            return;
        const QTransform toDevice = painter()->combinedTransform();
        const QRectF ink =
            toDevice.mapRect(QFontMetricsF(item.font()).tightBoundingRect(item.text()).translated(origin));
        QRectF visible = area;
        if (painter()->hasClipping())
            visible &= toDevice.mapRect(painter()->clipBoundingRect());
        if (!systemClip().isEmpty())
            visible &= QRectF(systemClip().boundingRect());
        texts.push_back({item.text(), ink, visible});
    }

    QRectF area;
    std::vector<DrawnText> texts;
};

class TextDevice : public QPaintDevice {
public:
    explicit TextDevice(QSize size) : size_(size) { engine_.area = QRectF(QPointF(), QSizeF(size)); }

    QPaintEngine *paintEngine() const override { return &engine_; }
    const std::vector<DrawnText> &texts() const { return engine_.texts; }

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        switch (metric) {
        case PdmWidth:
            return size_.width();
        case PdmHeight:
            return size_.height();
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return 96;
        case PdmDepth:
            return 32;
        case PdmNumColors:
            return INT_MAX;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(devicePixelRatioFScale());
        default:
            return QPaintDevice::metric(metric);
        }
    }

private:
    QSize size_;
    mutable TextRecorder engine_;
};

// Antialiased edges and rounding may spill over by a pixel.
inline constexpr qreal tolerance = 1.0;

inline QString describe(const QWidget *widget)
{
    QStringList path;
    for (const QWidget *w = widget; w; w = w->isWindow() ? nullptr : w->parentWidget()) {
        QString name = QString::fromLatin1(w->metaObject()->className());
        if (!w->objectName().isEmpty())
            name += QLatin1Char('#') + w->objectName();
        path.prepend(name);
    }
    return path.join(QStringLiteral(" > "));
}

inline QString rectText(const QRectF &r)
{
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

// The scroll area whose viewport `widget` is, if it is one.
inline const QAbstractScrollArea *scrollAreaOf(const QWidget *viewport)
{
    const auto *area = qobject_cast<const QAbstractScrollArea *>(viewport->parentWidget());
    return area && area->viewport() == viewport ? area : nullptr;
}

// A widget outside its parent: in a scroll area's viewport only along a direction the user
// cannot scroll (its scroll bar is not shown).
inline void checkPlacement(const QWidget *widget, QStringList &faults)
{
    const QWidget *parent = widget->parentWidget();
    const QRect r = widget->geometry();
    if (!parent || r.isEmpty())
        return;
    const QRect room = parent->rect();
    bool across = true;
    bool down = true;
    if (const QAbstractScrollArea *area = scrollAreaOf(parent)) {
        across = !area->horizontalScrollBar()->isVisible();
        down = !area->verticalScrollBar()->isVisible();
    }
    const bool outAcross = r.left() < room.left() || r.right() > room.right();
    const bool outDown = r.top() < room.top() || r.bottom() > room.bottom();
    if ((across && outAcross) || (down && outDown))
        faults << describe(widget) + QStringLiteral(": lies at ") + rectText(r) +
                QStringLiteral(" outside its parent ") + rectText(room);
}

inline void checkTexts(QWidget *widget, QStringList &faults)
{
    if (widget->size().isEmpty())
        return;
    TextDevice device(widget->size());
    widget->render(&device, QPoint(), QRegion(), QWidget::RenderFlags());
    for (const DrawnText &drawn : device.texts()) {
        if (drawn.text.contains(QChar(0x2026)))
            faults << describe(widget) + QStringLiteral(": text elided to \"") + drawn.text + QLatin1Char('"');
        const QRectF room = drawn.visible.adjusted(-tolerance, -tolerance, tolerance, tolerance);
        if (!room.contains(drawn.ink))
            faults << describe(widget) + QStringLiteral(": text \"") + drawn.text + QStringLiteral("\" drawn at ") +
                    rectText(drawn.ink) + QStringLiteral(" is cut by its visible area ") + rectText(drawn.visible);
    }
}

} // namespace LayoutFitDetail

// The faults of a shown window and of every widget in it (other windows left out).
inline QStringList layoutFaults(QWidget *window)
{
    QStringList faults;
    QList<QWidget *> widgets = window->findChildren<QWidget *>();
    widgets.prepend(window);
    for (QWidget *widget : widgets) {
        if (!widget->isVisible() || widget->window() != window)
            continue;
        if (widget != window)
            LayoutFitDetail::checkPlacement(widget, faults);
        LayoutFitDetail::checkTexts(widget, faults);
    }
    return faults;
}

} // namespace tarn::TestSupport
