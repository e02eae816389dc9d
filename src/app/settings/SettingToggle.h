// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>
#include <QWidget>

#include "app/settings/SwitchButton.h"

namespace tarn {

// One settings row: a title and a detail line (wrapped onto as many lines as it needs) that
// take the row's width, and a switch at the trailing edge. The row shows a value owned
// elsewhere: setValue shows it, `edited` reports the position the user chose.
class SettingToggle : public QWidget {
    Q_OBJECT

public:
    SettingToggle(const QString &title, const QString &detail, QWidget *parent = nullptr);

    bool value() const { return switch_->isChecked(); }
    void setValue(bool value) { switch_->setChecked(value); }
    SwitchButton *control() const { return switch_; }
    QString title() const { return title_->text(); }

Q_SIGNALS:
    void edited(bool value);

private:
    QLabel *title_;
    SwitchButton *switch_;
};

} // namespace tarn
