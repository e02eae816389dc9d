// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/library/CaptureHero.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

#include "app/library/CaptureActionButton.h"
#include "app/library/CaptureButtonRow.h"
#include "app/library/HeroArtwork.h"
#include "app/library/ViewKit.h"
#include "app/widgets/Eyebrow.h"
#include "app/widgets/Palette.h"

namespace tarn {

CaptureHero::CaptureHero(QWidget *parent) : QWidget(parent)
{
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(26, 26, 26, 26);
    column->setSpacing(24);
    auto *upper = new QHBoxLayout;
    upper->setSpacing(10);
    upper->addWidget(makeText(), 1);
    artwork_ = new HeroArtwork;
    upper->addWidget(artwork_);
    upper->addSpacing(7);
    column->addLayout(upper);
    column->addWidget(makeActions());
}

QWidget *CaptureHero::makeText()
{
    auto *text = new QWidget;
    auto *column = new QVBoxLayout(text);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(15);
    auto *eyebrow = new QHBoxLayout;
    eyebrow->setSpacing(7);
    eyebrow->addWidget(new SymbolView(QStringLiteral("sparkle"), Palette::teal, 10));
    eyebrow->addWidget(new Eyebrow(QStringLiteral("LESS FRICTION. MORE FOCUS."), Palette::teal));
    eyebrow->addStretch(1);
    column->addStretch(1);
    column->addLayout(eyebrow);
    QFont headline = ViewKit::font(30, QFont::DemiBold);
    headline.setLetterSpacing(QFont::AbsoluteSpacing, -1);
    column->addWidget(new SpacedText(QStringLiteral("생각은 가볍게.\n캡처는 선명하게."), headline, Palette::text, 3));
    column->addWidget(new SpacedText(QStringLiteral("포착하고, 다듬고, 전하세요.\n화면 속 아이디어가 작품이 되는 곳."),
                                     ViewKit::font(12), Palette::muted, 5));
    column->addStretch(1);
    return text;
}

QWidget *CaptureHero::makeActions()
{
    actions_ = new CaptureButtonRow;
    auto add = [this](CaptureActionButton *button, CaptureAction action) {
        actions_->addButton(button);
        connect(button, &QAbstractButton::clicked, this, [this, action] { Q_EMIT captureRequested(action); });
    };
    add(new CaptureActionButton(QStringLiteral("영역 캡처"), QStringLiteral("viewfinder"),
                                QStringLiteral("Ctrl+Shift+1"), true, false),
        CaptureAction::region);
    add(new CaptureActionButton(QStringLiteral("윈도우"), QStringLiteral("macwindow"), QStringLiteral("Ctrl+Shift+2"),
                                false, false),
        CaptureAction::window);
    add(new CaptureActionButton(QStringLiteral("전체 화면"), QStringLiteral("display"), QStringLiteral("Ctrl+Shift+3"),
                                false, false),
        CaptureAction::display);
    record_ = new CaptureActionButton(QStringLiteral("화면 녹화"), QStringLiteral("record.circle"),
                                      QStringLiteral("Ctrl+Shift+4"), false, true);
    actions_->addButton(record_);
    connect(record_, &QAbstractButton::clicked, this, &CaptureHero::recordingToggled);
    return actions_;
}

void CaptureHero::setActionsEnabled(bool enabled) { actions_->setEnabled(enabled); }

void CaptureHero::setRecorderState(RecordingService::State state)
{
    const bool idle = state == RecordingService::State::idle;
    record_->setTitleAndSymbol(idle ? QStringLiteral("화면 녹화") : QStringLiteral("녹화 종료"),
                               idle ? QStringLiteral("record.circle") : QStringLiteral("stop.circle.fill"));
    actions_->arrange(); // the other title may need other room
}

void CaptureHero::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient fill(area.topLeft(), area.bottomRight());
    fill.setColorAt(0, QColor(27, 41, 49));
    fill.setColorAt(0.5, QColor(23, 32, 40));
    fill.setColorAt(1, QColor(24, 34, 43));
    const QPainterPath shape = ViewKit::roundedRect(area, 17);
    painter.fillPath(shape, fill);
    painter.setPen(QPen(ViewKit::faded(Palette::teal, 0.15), 1));
    painter.drawPath(shape);
    painter.setClipPath(shape);
    artwork_->paint(painter);
}

} // namespace tarn
