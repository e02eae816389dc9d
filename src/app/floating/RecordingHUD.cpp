// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/floating/RecordingHUD.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

#include "app/floating/FloatingPanel.h"
#include "app/widgets/DisplayFormat.h"
#include "app/widgets/Dot.h"
#include "app/widgets/Keycap.h"
#include "app/widgets/Palette.h"
#include "app/widgets/Theme.h"

namespace tarn {
namespace {

QLabel *label(int pixelSize, QFont::Weight weight, bool monospaced, const QColor &colour)
{
    auto *label = new QLabel;
    QFont font = monospaced ? QFontDatabase::systemFont(QFontDatabase::FixedFont) : QFont();
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    label->setFont(font);
    QPalette colours = label->palette();
    colours.setColor(QPalette::WindowText, colour);
    label->setPalette(colours);
    return label;
}

} // namespace

StopButton::StopButton(QWidget *parent) : QAbstractButton(parent)
{
    setFixedSize(30, 30);
    setToolTip(QStringLiteral("녹화 종료 및 저장"));
    setAccessibleName(QStringLiteral("녹화 종료 및 저장"));
}

void StopButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setOpacity(!isEnabled() ? 0.4 : isDown() ? 0.7 : 1.0);
    paintPlate(painter, rect(), 8, Palette::coral);
    const qreal ratio = devicePixelRatioF();
    const QImage symbol = Theme::symbolImage(QStringLiteral("stop.fill"), Palette::sidebar, 11, ratio);
    if (!symbol.isNull()) {
        const QSizeF size = QSizeF(symbol.size()) / ratio;
        painter.drawImage(QPointF((width() - size.width()) / 2, (height() - size.height()) / 2), symbol);
    }
}

RecordingHUD::RecordingHUD(RecordingService *recorder, QWidget *parent) : QWidget(parent), recorder_(recorder)
{
    setFixedSize(290, 52);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(16, 0, 16, 0);
    row->setSpacing(12);
    row->addWidget(new Dot(8, Palette::coral), 0, Qt::AlignVCenter);

    auto *texts = new QVBoxLayout;
    texts->setSpacing(3);
    time_ = label(14, QFont::DemiBold, true, Palette::text);
    size_ = label(9, QFont::Normal, false, Palette::muted);
    texts->addWidget(time_);
    texts->addWidget(size_);
    row->addLayout(texts);
    row->addStretch(1);
    row->addWidget(new Keycap(QStringLiteral("Ctrl+Shift+4")), 0, Qt::AlignVCenter);
    stop_ = new StopButton;
    row->addWidget(stop_, 0, Qt::AlignVCenter);

    connect(stop_, &QAbstractButton::clicked, this, [this] {
        if (recorder_)
            recorder_->stop(); // runs on; its outcome reaches the owner through the recorder
    });
    if (recorder_) {
        connect(recorder_, &RecordingService::stateChanged, this, &RecordingHUD::refresh);
        connect(recorder_, &RecordingService::secondsChanged, this, &RecordingHUD::refresh);
        connect(recorder_, &RecordingService::byteCountChanged, this, &RecordingHUD::refresh);
    }
    refresh();
}

void RecordingHUD::refresh()
{
    if (recorder_)
        present(recorder_->state(), recorder_->seconds(), recorder_->byteCount());
    else
        present(RecordingService::State::idle, 0, 0);
}

void RecordingHUD::present(RecordingService::State state, double seconds, qint64 byteCount)
{
    const bool stopping = state == RecordingService::State::stopping;
    time_->setText(stopping ? QStringLiteral("저장 중…") : DisplayFormat::duration(seconds));
    size_->setText(DisplayFormat::byteCount(byteCount));
    stop_->setEnabled(!stopping);
}

void RecordingHUD::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QColor plate = Palette::sidebar;
    plate.setAlphaF(0.97f);
    paintPlate(painter, rect(), 14, plate, Palette::border);
}

} // namespace tarn
