// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/floating/PinView.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

#include "app/widgets/Palette.h"
#include "app/widgets/Theme.h"

namespace tarn {

FittedImage::FittedImage(QImage image, QWidget *parent) : QWidget(parent), image_(std::move(image))
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setMinimumSize(1, 1);
}

QRectF FittedImage::fittedRect(QSizeF imageSize, const QRectF &bounds)
{
    if (imageSize.isEmpty() || bounds.isEmpty())
        return {};
    const QSizeF fitted = imageSize.scaled(bounds.size(), Qt::KeepAspectRatio);
    return {bounds.x() + (bounds.width() - fitted.width()) / 2, bounds.y() + (bounds.height() - fitted.height()) / 2,
            fitted.width(), fitted.height()};
}

void FittedImage::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(fittedRect(image_.size(), rect()), image_);
}

PinView::PinView(QImage image, QWidget *parent) : QWidget(parent)
{
    auto *stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);
    stack->addWidget(new FittedImage(std::move(image)), 1);

    auto *row = new QWidget;
    row->setFixedHeight(35);
    auto *controls = new QHBoxLayout(row);
    controls->setContentsMargins(12, 0, 12, 0);
    controls->setSpacing(10);
    QFont font = this->font();
    font.setPixelSize(10);
    row->setFont(font);

    auto *symbol = new QLabel;
    symbol->setPixmap(QPixmap::fromImage(
        Theme::symbolImage(QStringLiteral("circle.lefthalf.filled"), Palette::muted, 12, devicePixelRatioF())));
    controls->addWidget(symbol);

    slider_ = new QSlider(Qt::Horizontal);
    slider_->setRange(25, 100);
    slider_->setValue(100);
    slider_->setStyleSheet(
        QStringLiteral(
            "QSlider::groove:horizontal { height: 4px; background: %1; border-radius: 2px; }"
            "QSlider::sub-page:horizontal { background: %2; border-radius: 2px; }"
            "QSlider::handle:horizontal { background: %3; width: 14px; margin: -5px 0; border-radius: 7px; }")
            .arg(Palette::border.name(), Palette::teal.name(), Palette::text.name()));
    controls->addWidget(slider_, 1);

    percent_ = new QLabel(QStringLiteral("100%"));
    percent_->setFixedWidth(36);
    controls->addWidget(percent_);
    stack->addWidget(row);

    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, Palette::muted);
    setPalette(colours);
    connect(slider_, &QSlider::valueChanged, this, [this](int value) { setOpacity(value / 100.0); });
}

void PinView::setOpacity(double opacity)
{
    if (opacity == opacity_)
        return;
    opacity_ = opacity;
    percent_->setText(QStringLiteral("%1%").arg(static_cast<long long>(opacity_ * 100 + 1e-9)));
    Q_EMIT opacityChanged(opacity_);
}

void PinView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Palette::sidebar);
}

} // namespace tarn
