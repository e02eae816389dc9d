// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/settings/RecordingSettingsPage.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/settings/SettingsLayout.h"
#include "app/widgets/Palette.h"

namespace tarn {
namespace {

QWidget *pickerRow(const QString &title, ChoicePicker *picker)
{
    auto *row = new QWidget;
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(SettingsLayout::text(title, 12, QFont::Normal, Palette::text));
    layout->addStretch(1);
    picker->setFixedWidth(130);
    layout->addWidget(picker);
    return row;
}

} // namespace

RecordingSettingsPage::RecordingSettingsPage(QWidget *parent)
    : QWidget(parent),
      frameRate_(new ChoicePicker(QStringLiteral("목표 프레임 속도"), SettingChoices::frameRates())),
      recordingLongEdge_(new ChoicePicker(QStringLiteral("최대 긴 변 해상도"), SettingChoices::longEdges())),
      systemAudio_(new SettingToggle(QStringLiteral("시스템 오디오"),
                                     QStringLiteral("다른 앱에서 재생하는 소리를 포함합니다."))),
      microphone_(new SettingToggle(QStringLiteral("마이크"),
                                    QStringLiteral("따로 허용할 권한 없이 기본 입력 장치를 사용합니다.")))
{
    auto *stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(20);
    stack->addWidget(SettingsLayout::settingsGroup(
        QStringLiteral("비디오"),
        {pickerRow(QStringLiteral("목표 프레임 속도"), frameRate_), SettingsLayout::divider(),
         pickerRow(QStringLiteral("최대 긴 변 해상도"), recordingLongEdge_),
         SettingsLayout::note(QStringLiteral("H.264 / MP4 · 원본보다 확대하지 않습니다. 실제 프레임 속도는 화면 변화, "
                                             "하드웨어 및 시스템 부하에 따라 달라집니다."),
                              11, 4, Palette::muted)}));
    stack->addWidget(SettingsLayout::settingsGroup(QStringLiteral("오디오 · 명시적으로 켠 경우에만 녹음"),
                                                   {systemAudio_, SettingsLayout::divider(), microphone_}));
}

} // namespace tarn
