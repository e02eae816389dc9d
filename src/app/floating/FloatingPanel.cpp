// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/floating/FloatingPanel.h"

#include <QMouseEvent>
#include <QPainterPath>
#include <QRegion>
#include <QVBoxLayout>

#include "app/capture/DesktopScreens.h"
#include "app/floating/AllDesktops.h"
#include "platform/ScreenSource.h"

namespace tarn {

FloatingPanel::FloatingPanel(QSize contentSize, qreal cornerRadius)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus),
      cornerRadius_(cornerRadius),
      translucent_(DesktopScreens::source().compositorRunning())
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    if (translucent_)
        setAttribute(Qt::WA_TranslucentBackground);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    setFixedSize(contentSize);
    AllDesktops::keep(this);
}

void FloatingPanel::setContent(QWidget *content)
{
    if (content_)
        content_->deleteLater();
    content_ = content;
    layout()->addWidget(content);
}

void FloatingPanel::orderFront()
{
    show();
    raise();
}

void FloatingPanel::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        dragOffset_ = event->globalPosition().toPoint() - frameGeometry().topLeft();
}

void FloatingPanel::mouseMoveEvent(QMouseEvent *event)
{
    if (dragOffset_ && (event->buttons() & Qt::LeftButton))
        move(event->globalPosition().toPoint() - *dragOffset_);
}

void FloatingPanel::mouseReleaseEvent(QMouseEvent *) { dragOffset_.reset(); }

void FloatingPanel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (translucent_)
        return;
    QPainterPath outline;
    outline.addRoundedRect(QRectF(rect()), cornerRadius_, cornerRadius_);
    setMask(QRegion(outline.toFillPolygon().toPolygon()));
}

void paintPlate(QPainter &painter, const QRectF &rect, qreal radius, const QColor &fill, std::optional<QColor> border)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath plate;
    plate.addRoundedRect(rect, radius, radius);
    painter.fillPath(plate, fill);
    if (border) {
        QPainterPath edge;
        edge.addRoundedRect(rect.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
        painter.setPen(QPen(*border, 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(edge);
    }
    painter.restore();
}

} // namespace tarn
