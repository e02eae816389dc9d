// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractButton>
#include <QWidget>

namespace tarn {

// The top row of every sheet: a large title over a muted subtitle, and a close button at the
// trailing edge whose press arrives as `closeRequested`. Padded 28 on every side.
class SheetHeader : public QWidget {
    Q_OBJECT

public:
    SheetHeader(const QString &title, const QString &subtitle, QWidget *parent = nullptr);

    QAbstractButton *closeButton() const { return close_; }

Q_SIGNALS:
    void closeRequested();

private:
    QAbstractButton *close_;
};

} // namespace tarn
