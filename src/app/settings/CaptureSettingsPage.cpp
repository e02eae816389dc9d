// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/settings/CaptureSettingsPage.h"

#include <QHBoxLayout>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "app/settings/PermissionView.h"
#include "app/settings/SettingsLayout.h"
#include "app/widgets/Palette.h"

namespace tarn {
namespace {

QWidget *delayRow(ChoicePicker *picker)
{
    auto *row = new QWidget;
    auto *labels = new QVBoxLayout;
    labels->setContentsMargins(0, 0, 0, 0);
    labels->setSpacing(5);
    labels->addWidget(SettingsLayout::text(QStringLiteral("캡처 지연"), 12, QFont::Medium, Palette::text));
    labels->addWidget(SettingsLayout::text(QStringLiteral("선택 후 메뉴나 팝오버를 준비할 수 있습니다."), 10,
                                           QFont::Normal, Palette::muted));
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(labels);
    layout->addStretch(1);
    picker->setFixedWidth(100);
    layout->addWidget(picker, 0, Qt::AlignVCenter);
    return row;
}

} // namespace

CaptureSettingsPage::CaptureSettingsPage(QWidget *parent)
    : QWidget(parent),
      captureCursor_(new SettingToggle(QStringLiteral("마우스 포인터 포함"),
                                       QStringLiteral("영역·윈도우·전체 화면 캡처에 적용됩니다."))),
      captureDelay_(new ChoicePicker(QStringLiteral("캡처 지연"), SettingChoices::captureDelays())),
      automaticOCR_(new SettingToggle(
          QStringLiteral("자동 OCR 및 검색 색인"),
          QStringLiteral("한국어·영어를 우선 인식합니다. 화면이나 텍스트를 서버로 보내지 않습니다."))),
      permission_(new QStackedWidget)
{
    auto *stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(20);
    stack->addWidget(SettingsLayout::settingsGroup(
        QStringLiteral("스크린샷"), {captureCursor_, SettingsLayout::divider(), delayRow(captureDelay_)}));
    stack->addWidget(SettingsLayout::settingsGroup(
        QStringLiteral("로컬 텍스트 인식"),
        {automaticOCR_,
         SettingsLayout::note(QStringLiteral("인식한 텍스트는 원본과 함께 로컬 라이브러리에 보관됩니다. "
                                             "민감정보 마스킹은 편집기에서 검토 후 적용하세요."),
                              11, 5, Palette::muted)}));

    // Index 0 missing, 1 granted.
    permission_->addWidget(SettingsLayout::labelled(QStringLiteral("lock.shield"),
                                                    QStringLiteral("화면 기록 권한 필요"), 11, Palette::coral));
    permission_->addWidget(SettingsLayout::labelled(QStringLiteral("checkmark.shield"),
                                                    QStringLiteral("화면 기록 권한 연결됨"), 11, Palette::teal));
    permission_->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);
    auto *row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(permission_);
    row->addStretch(1);
    // Where the other platform offers a button to its privacy settings: X11 has none to open.
    row->addWidget(SettingsLayout::text(PermissionView::noSettingsPage(), 11, QFont::Normal, Palette::muted));
    stack->addLayout(row);
}

void CaptureSettingsPage::setScreenPermission(bool granted) { permission_->setCurrentIndex(granted ? 1 : 0); }

bool CaptureSettingsPage::showsPermissionGranted() const { return permission_->currentIndex() == 1; }

} // namespace tarn
