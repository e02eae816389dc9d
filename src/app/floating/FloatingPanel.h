// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include <QColor>
#include <QPainter>
#include <QPoint>
#include <QWidget>

namespace tarn {

// A borderless panel that floats above ordinary windows on every desktop, appears without
// taking the focus and is moved by dragging its background. Its content draws its own rounded
// plate: with a compositing manager the corners are transparent, without one they are cut off
// with a mask.
class FloatingPanel : public QWidget {
    Q_OBJECT
public:
    FloatingPanel(QSize contentSize, qreal cornerRadius);

    // Replaces the content (the previous one is deleted).
    void setContent(QWidget *content);
    QWidget *content() const { return content_; }
    // Shows the panel in front without activating the application.
    void orderFront();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QWidget *content_ = nullptr;
    qreal cornerRadius_;
    bool translucent_;
    std::optional<QPoint> dragOffset_;
};

// Fills a rounded plate, with a 1-point border laid over its edge when given.
void paintPlate(QPainter &painter, const QRectF &rect, qreal radius, const QColor &fill,
                std::optional<QColor> border = std::nullopt);

} // namespace tarn
