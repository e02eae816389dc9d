// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/settings/SheetHeader.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/settings/SettingsLayout.h"
#include "app/widgets/IconButton.h"
#include "app/widgets/Palette.h"

namespace tarn {

SheetHeader::SheetHeader(const QString &title, const QString &subtitle, QWidget *parent)
    : QWidget(parent),
      close_(new IconButton(QStringLiteral("xmark"), QStringLiteral("닫기")))
{
    auto *texts = new QVBoxLayout;
    texts->setContentsMargins(0, 0, 0, 0);
    texts->setSpacing(7);
    texts->addWidget(SettingsLayout::text(title, 23, QFont::DemiBold, Palette::text));
    texts->addWidget(SettingsLayout::text(subtitle, 12, QFont::Normal, Palette::muted));

    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(28, 28, 28, 28);
    row->addLayout(texts);
    row->addStretch(1);
    row->addWidget(close_, 0, Qt::AlignTop);
    connect(close_, &QAbstractButton::clicked, this, &SheetHeader::closeRequested);
}

} // namespace tarn
