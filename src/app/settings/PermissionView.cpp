// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/settings/PermissionView.h"

#include <QHBoxLayout>

#include "app/settings/SettingsLayout.h"
#include "app/widgets/Palette.h"

namespace tarn {

PermissionView::PermissionView(QWidget *parent)
    : SheetDialog(QStringLiteral("화면에 접근할 수 있게 해주세요"), QStringLiteral("필요한 권한만, 필요한 순간에."),
                  width, std::nullopt, parent),
      permission_(new TarnButton(QString(), {.prominent = true})),
      settings_(new TarnButton(QStringLiteral("시스템 설정 열기"))),
      recheck_(SettingsLayout::plainButton(QStringLiteral("권한 상태 다시 확인"), 11, Palette::teal))
{
    auto *stack = new QVBoxLayout;
    stack->setContentsMargins(28, 0, 28, 30);
    stack->setSpacing(22);
    stack->addWidget(
        SettingsLayout::symbol(QStringLiteral("rectangle.inset.filled.and.person.filled"), Palette::teal, 48));
    stack->addWidget(SettingsLayout::note(QStringLiteral("시스템은 화면 캡처와 녹화를 보호합니다.\n"
                                                         "시스템의 ‘화면 및 시스템 오디오 기록’에서 Tarnwick을 "
                                                         "허용해 주세요."),
                                          13, 7, Palette::text));
    auto *promises = new QVBoxLayout;
    promises->setSpacing(12);
    promises->addWidget(SettingsLayout::labelled(QStringLiteral("checkmark.shield"),
                                                 QStringLiteral("캡처와 OCR는 이 컴퓨터에서만 처리됩니다."), 11,
                                                 Palette::muted));
    promises->addWidget(SettingsLayout::labelled(
        QStringLiteral("mic"), QStringLiteral("마이크는 녹화 옵션에서 켤 때만 요청합니다."), 11, Palette::muted));
    promises->addWidget(SettingsLayout::labelled(QStringLiteral("keyboard"),
                                                 QStringLiteral("전역 단축키에 접근성 권한을 요구하지 않습니다."), 11,
                                                 Palette::muted));
    stack->addLayout(promises);
    stack->addWidget(SettingsLayout::note(
        QStringLiteral("권한 변경 후 앱을 다시 열어야 할 수 있습니다. 권한은 앱이 임의로 허용할 수 없습니다."), 11, 4,
        Palette::muted));
    stack->addWidget(SettingsLayout::note(desktopGuidance(), 11, 4, Palette::teal));
    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(10);
    buttons->addWidget(permission_);
    buttons->addWidget(settings_);
    buttons->addStretch(1);
    stack->addLayout(buttons);
    stack->addWidget(recheck_, 0, Qt::AlignLeft);
    content()->addLayout(stack);

    setScreenPermission(false);
    connect(permission_, &QPushButton::clicked, this, [this] {
        if (granted_)
            Q_EMIT closeRequested();
        else
            Q_EMIT permissionRequested();
    });
    connect(settings_, &QPushButton::clicked, this, &PermissionView::privacySettingsRequested);
    connect(recheck_, &QPushButton::clicked, this, &PermissionView::recheckRequested);
}

QString PermissionView::desktopGuidance()
{
    return QStringLiteral("Linux에서는 X11 디스플레이(XWayland 포함)에 연결된 앱이 화면을 기록할 수 있어, 따로 허용할 "
                          "설정 화면이 없습니다. 권한이 연결되지 않으면 X11 세션에서 앱을 다시 실행해 주세요.");
}

void PermissionView::setScreenPermission(bool granted)
{
    granted_ = granted;
    permission_->setText(granted ? QStringLiteral("연결 완료") : QStringLiteral("화면 기록 권한 요청"));
    permission_->updateGeometry();
}

} // namespace tarn
