// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/floating/CountdownView.h"

#include <QPainter>
#include <QVBoxLayout>

#include "app/floating/FloatingPanel.h"
#include "app/widgets/Palette.h"

namespace tarn {

CountdownView::CountdownView(int value, QWidget *parent) : QWidget(parent)
{
    setFixedSize(180, 158);
    auto *stack = new QVBoxLayout(this);
    stack->setSpacing(13);
    stack->setAlignment(Qt::AlignCenter);

    number_ = new QLabel(QString::number(value));
    QFont numberFont = font();
    numberFont.setPixelSize(64);
    numberFont.setWeight(QFont::Light);
    number_->setFont(numberFont);
    number_->setAlignment(Qt::AlignCenter);
    QPalette numberColours = number_->palette();
    numberColours.setColor(QPalette::WindowText, Palette::accent);
    number_->setPalette(numberColours);

    cancel_ = new QPushButton(QStringLiteral("취소"));
    cancel_->setFlat(true);
    cancel_->setCursor(Qt::PointingHandCursor);
    QFont buttonFont = font();
    buttonFont.setPixelSize(12);
    cancel_->setFont(buttonFont);
    cancel_->setStyleSheet(
        QStringLiteral("QPushButton { color: %1; background: transparent; border: none; padding: 2px 8px; }"
                       "QPushButton:pressed { color: %2; }")
            .arg(Palette::muted.name(), Palette::text.name()));
    connect(cancel_, &QPushButton::clicked, this, &CountdownView::cancelled);

    stack->addWidget(number_, 0, Qt::AlignHCenter);
    stack->addWidget(cancel_, 0, Qt::AlignHCenter);
}

void CountdownView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QColor plate = Palette::sidebar;
    plate.setAlphaF(0.95f);
    paintPlate(painter, rect(), 24, plate);
}

} // namespace tarn
