// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/settings/GeneralSettingsPage.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/settings/SettingsLayout.h"
#include "app/widgets/Palette.h"

namespace tarn {
namespace {

// The launch-at-login row is not a SettingToggle: its label keeps its natural width and the
// switch follows it.
QWidget *launchRow(SwitchButton *control)
{
    auto *row = new QWidget;
    auto *labels = new QVBoxLayout;
    labels->setContentsMargins(0, 0, 0, 0);
    labels->setSpacing(5);
    labels->addWidget(SettingsLayout::text(QStringLiteral("로그인 시 실행"), 12, QFont::Medium, Palette::text));
    // The desktop's autostart entry starts the program from where it is now.
    labels->addWidget(SettingsLayout::text(
        QStringLiteral("지금 실행한 위치의 Tarnwick을 자동 시작 항목에 등록합니다. 옮긴 뒤에는 다시 켜 주세요."), 10,
        QFont::Normal, Palette::muted));
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(labels);
    layout->addWidget(control, 0, Qt::AlignVCenter);
    layout->addStretch(1);
    control->setAccessibleName(QStringLiteral("로그인 시 실행"));
    return row;
}

} // namespace

GeneralSettingsPage::GeneralSettingsPage(QWidget *parent)
    : QWidget(parent),
      openEditor_(new SettingToggle(QStringLiteral("캡처 후 편집기 열기"),
                                    QStringLiteral("끄면 작은 빠른 작업 패널을 표시합니다."))),
      copyAfterCapture_(new SettingToggle(QStringLiteral("캡처 후 클립보드에 복사"),
                                          QStringLiteral("자동 복사는 기본적으로 꺼져 있습니다."))),
      globalShortcuts_(new SettingToggle(
          QStringLiteral("전역 단축키 사용"),
          QStringLiteral("다른 앱에서도 Ctrl+Shift+1–5로 호출합니다. 접근성 권한은 요구하지 않습니다."))),
      launchAtLogin_(new SwitchButton),
      clashNotice_(SettingsLayout::text(QString(), 11, QFont::Normal, Palette::coral))
{
    clashNotice_->setWordWrap(true);
    clashNotice_->hide();
    auto *stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(20);
    stack->addWidget(SettingsLayout::settingsGroup(
        QStringLiteral("작업 흐름"),
        {openEditor_, SettingsLayout::divider(), copyAfterCapture_, SettingsLayout::divider(), globalShortcuts_}));
    stack->addWidget(clashNotice_);
    stack->addWidget(SettingsLayout::settingsGroup(QStringLiteral("시작"), {launchRow(launchAtLogin_)}));
}

QString GeneralSettingsPage::clashText(const QStringList &failures)
{
    return QStringLiteral("다른 앱과 충돌한 단축키: ") + failures.join(QStringLiteral(", ")) +
        QStringLiteral("\n해당 앱의 단축키를 해제한 뒤 다시 켜 주세요.");
}

void GeneralSettingsPage::setShortcutFailures(const QStringList &failures)
{
    clashNotice_->setText(failures.isEmpty() ? QString() : clashText(failures));
    clashNotice_->setVisible(!failures.isEmpty());
}

} // namespace tarn
