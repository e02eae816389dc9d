// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractButton>

namespace tarn {

// A small on/off switch tinted teal when on. It is checkable; a press by the user arrives as
// `clicked(bool)` with the new position, and owners that may refuse the change put the switch
// back with setChecked.
class SwitchButton : public QAbstractButton {
    Q_OBJECT

public:
    static constexpr QSize trackSize{30, 17};

    explicit SwitchButton(QWidget *parent = nullptr);

    QSize sizeHint() const override { return trackSize; }

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace tarn
