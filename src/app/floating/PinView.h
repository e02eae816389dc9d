// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QLabel>
#include <QSlider>
#include <QWidget>

namespace tarn {

// Draws an image as large as fits, keeping its aspect ratio, centred.
class FittedImage : public QWidget {
    Q_OBJECT
public:
    explicit FittedImage(QImage image, QWidget *parent = nullptr);
    const QImage &image() const { return image_; }
    // Where the image lands inside `bounds`.
    static QRectF fittedRect(QSizeF imageSize, const QRectF &bounds);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage image_;
};

// The content of a pinned-image window: the image, then a row with an opacity slider (25 to
// 100 %) whose changes are announced by `opacityChanged`.
class PinView : public QWidget {
    Q_OBJECT
public:
    explicit PinView(QImage image, QWidget *parent = nullptr);

    double opacity() const { return opacity_; }
    QSlider *slider() const { return slider_; }
    QString percentText() const { return percent_->text(); }

Q_SIGNALS:
    void opacityChanged(double opacity);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void setOpacity(double opacity);

    double opacity_ = 1.0;
    QSlider *slider_;
    QLabel *percent_;
};

} // namespace tarn
