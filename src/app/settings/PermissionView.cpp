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
      recheck_(SettingsLayout::plainButton(QStringLiteral("권한 상태 다시 확인"), 11, Palette::teal)),
      recheckResult_(SettingsLayout::note(QString(), 11, 4, Palette::muted))
{
    auto *stack = new QVBoxLayout;
    stack->setContentsMargins(28, 0, 28, 22);
    stack->setSpacing(22);
    stack->addWidget(
        SettingsLayout::symbol(QStringLiteral("rectangle.inset.filled.and.person.filled"), Palette::teal, 48));
    // How access works on X11, said once: there is nothing to allow anywhere.
    stack->addWidget(SettingsLayout::note(QStringLiteral("X11에서는 디스플레이에 연결된 앱이 화면을 캡처하고 "
                                                         "녹화합니다.\n") +
                                              noSettingsPage() +
                                              QStringLiteral(" 연결되지 않으면 X11 세션(XWayland 포함)에서 "
                                                             "Tarnwick을 다시 실행해 주세요."),
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
    content()->addLayout(stack);
    auto *footing = new QVBoxLayout;
    footing->setContentsMargins(28, 0, 28, 30);
    footing->setSpacing(22);
    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(10);
    buttons->addWidget(permission_);
    buttons->addStretch(1);
    footing->addLayout(buttons);
    auto *recheck = new QVBoxLayout;
    recheck->setSpacing(6);
    recheck->addWidget(recheck_, 0, Qt::AlignLeft);
    recheck->addWidget(recheckResult_);
    recheckResult_->hide();
    footing->addLayout(recheck);
    footer()->addLayout(footing);

    setScreenPermission(false);
    connect(permission_, &QPushButton::clicked, this, [this] {
        if (granted_)
            Q_EMIT closeRequested();
        else
            Q_EMIT permissionRequested();
    });
    // The check may find what was already shown: it says so, or the click would seem lost.
    connect(recheck_, &QPushButton::clicked, this, [this] {
        Q_EMIT recheckRequested();
        recheckResult_->setText(granted_
                                    ? QStringLiteral("다시 확인했습니다. 화면 기록 권한이 연결되어 있습니다.")
                                    : QStringLiteral("다시 확인했습니다. 화면 기록 권한이 아직 연결되지 않았습니다."));
        recheckResult_->show();
        fitHeight();
    });
}

QString PermissionView::noSettingsPage() { return QStringLiteral("따로 허용할 설정 화면은 없습니다."); }

void PermissionView::setScreenPermission(bool granted)
{
    granted_ = granted;
    permission_->setText(granted ? QStringLiteral("연결 완료") : QStringLiteral("화면 기록 권한 요청"));
    permission_->updateGeometry();
}

} // namespace tarn
