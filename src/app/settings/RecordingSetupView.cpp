// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/settings/RecordingSetupView.h"

#include <QHBoxLayout>

#include "app/settings/SettingsLayout.h"
#include "app/widgets/Palette.h"

namespace tarn {
namespace {

// Display identities are X resource ids (29 bits), so they fit the picker's int values.
std::vector<Choice> displayEntries(const std::vector<DisplayChoice> &displays)
{
    std::vector<Choice> entries;
    for (const DisplayChoice &display : displays)
        entries.push_back({display.label, int(display.displayID)});
    return entries;
}

QWidget *labelledPicker(const QString &title, ChoicePicker *picker, int pixelSize)
{
    auto *widget = new QWidget;
    auto *row = new QHBoxLayout(widget);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);
    row->addWidget(SettingsLayout::text(title, pixelSize, QFont::Normal, Palette::text));
    picker->setFont(SettingsLayout::font(pixelSize));
    row->addWidget(picker);
    return widget;
}

} // namespace

RecordingSetupView::RecordingSetupView(const std::vector<DisplayChoice> &displays, QWidget *parent)
    : SheetDialog(QStringLiteral("화면 녹화"), QStringLiteral("보여주고 싶은 것만, 소리까지 선명하게."), width,
                  std::nullopt, parent),
      display_(new ChoicePicker(QStringLiteral("디스플레이"), displayEntries(displays))),
      recordingRegion_(new SettingToggle(QStringLiteral("영역만 녹화"),
                                         QStringLiteral("시작 후 원하는 화면에서 드래그하여 영역을 선택합니다."))),
      frameRate_(new ChoicePicker(QStringLiteral("프레임"), SettingChoices::frameRates())),
      recordingLongEdge_(new ChoicePicker(QStringLiteral("긴 변 최대"), SettingChoices::longEdges())),
      systemAudio_(new SettingToggle(QStringLiteral("시스템 오디오"),
                                     QStringLiteral("다른 앱에서 재생되는 오디오를 포함합니다."))),
      microphone_(
          new SettingToggle(QStringLiteral("마이크"), QStringLiteral("기본 입력 장치 · 따로 허용할 권한은 없습니다."))),
      start_(new TarnButton(QStringLiteral("녹화 시작"), {.prominent = true}))
{
    auto *stack = new QVBoxLayout;
    stack->setContentsMargins(28, 0, 28, 20);
    stack->setSpacing(20);
    stack->addWidget(displayCard());
    stack->addWidget(recordingRegion_);
    stack->addWidget(SettingsLayout::divider());
    stack->addWidget(pickerRow());
    stack->addWidget(systemAudio_);
    stack->addWidget(microphone_);
    stack->addWidget(SettingsLayout::note(
        QStringLiteral(
            "3초 카운트다운 후 녹화합니다. 녹화를 시작할 때 열려 있는 Tarnwick 창은 녹화 바 외에는 제외합니다. "
            "실제 fps는 시스템 부하에 따라 달라집니다. Ctrl+Shift+4 또는 녹화 바의 종료 버튼으로 저장하세요."),
        11, 5, Palette::muted));
    content()->addLayout(stack);
    auto *footing = new QVBoxLayout;
    footing->setContentsMargins(28, 0, 28, 28);
    footing->addWidget(footerRow());
    footer()->addLayout(footing);

    start_->setSymbol(QStringLiteral("record.circle"));
    connect(start_, &QPushButton::clicked, this, [this] { Q_EMIT startRequested(displayID()); });
}

QWidget *RecordingSetupView::displayCard()
{
    auto *card = new SettingsLayout::Card(11, 18, 0);
    auto *row = new QWidget;
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(10);
    layout->addWidget(SettingsLayout::symbol(QStringLiteral("display"), Palette::teal, 31));
    layout->addWidget(labelledPicker(QStringLiteral("디스플레이"), display_, 13));
    layout->addStretch(1);
    card->add(row);
    return card;
}

QWidget *RecordingSetupView::pickerRow()
{
    auto *row = new QWidget;
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(20);
    layout->addWidget(labelledPicker(QStringLiteral("프레임"), frameRate_, 11));
    layout->addWidget(labelledPicker(QStringLiteral("긴 변 최대"), recordingLongEdge_, 11));
    layout->addStretch(1);
    return row;
}

QWidget *RecordingSetupView::footerRow()
{
    auto *row = new QWidget;
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(SettingsLayout::labelled(QStringLiteral("film"), QStringLiteral("H.264 · MP4 · SDR"), 10,
                                               Palette::muted, true));
    layout->addStretch(1);
    layout->addWidget(start_);
    return row;
}

uint32_t RecordingSetupView::displayID() const { return uint32_t(display_->value().value_or(0)); }

void RecordingSetupView::setDisplayID(uint32_t displayID) { display_->setValue(int(displayID)); }

void RecordingSetupView::setBusy(bool busy) { start_->setEnabled(!busy); }

} // namespace tarn
