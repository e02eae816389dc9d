// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/settings/SettingToggle.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/settings/SettingsLayout.h"
#include "app/widgets/Palette.h"

namespace tarn {

SettingToggle::SettingToggle(const QString &title, const QString &detail, QWidget *parent)
    : QWidget(parent),
      title_(SettingsLayout::text(title, 12, QFont::Medium, Palette::text)),
      switch_(new SwitchButton)
{
    auto *labels = new QVBoxLayout;
    labels->setContentsMargins(0, 0, 0, 0);
    labels->setSpacing(5);
    labels->addWidget(title_);
    QLabel *detailLabel = SettingsLayout::text(detail, 10, QFont::Normal, Palette::muted);
    detailLabel->setWordWrap(true);
    labels->addWidget(detailLabel);

    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addLayout(labels, 1);
    row->addWidget(switch_, 0, Qt::AlignVCenter);
    switch_->setAccessibleName(title);
    connect(switch_, &QAbstractButton::clicked, this, &SettingToggle::edited);
}

} // namespace tarn
