// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/library/LibraryBanners.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>

#include "app/library/ViewKit.h"
#include "app/widgets/Palette.h"

namespace tarn {

PermissionBanner::PermissionBanner(QWidget *parent)
    : Plate(9, ViewKit::faded(Palette::teal, 0.035), Qt::transparent, parent)
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(14, 12, 14, 12);
    row->setSpacing(10);
    row->addWidget(new SymbolView(QStringLiteral("lock.shield"), Palette::teal, 11));
    row->addWidget(ViewKit::label(QStringLiteral("화면 캡처를 시작하려면 시스템 권한을 연결하세요."), ViewKit::font(11),
                                  Palette::muted));
    row->addStretch(1);
    auto *open =
        new PlainButton(QStringLiteral("권한 설정"), QString(), ViewKit::font(11, QFont::DemiBold), Palette::text);
    row->addWidget(open);
    connect(open, &QAbstractButton::clicked, this, &PermissionBanner::permissionRequested);
}

RecoveryBanner::RecoveryBanner(QWidget *parent)
    : Plate(9, ViewKit::faded(Palette::coral, 0.08), Qt::transparent, parent)
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(14, 14, 14, 14);
    row->addWidget(new SymbolView(QStringLiteral("exclamationmark.triangle"), Palette::coral, 11));
    text_ = ViewKit::label(QString(), ViewKit::font(11), Palette::coral);
    row->addWidget(text_);
    row->addStretch(1);
    auto *open = new PlainButton(QStringLiteral("복구 폴더 열기"), QString(), ViewKit::font(11), Palette::coral);
    row->addWidget(open);
    connect(open, &QAbstractButton::clicked, this, &RecoveryBanner::folderRequested);
}

void RecoveryBanner::setCount(int count)
{
    text_->setText(QStringLiteral("마무리되지 않은 녹화 ") + QString::number(count) +
                   QStringLiteral("개를 보존했습니다."));
}

QString RecoveryBanner::text() const { return text_->text(); }

} // namespace tarn
