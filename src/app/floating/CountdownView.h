// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>
#include <QPushButton>
#include <QWidget>

namespace tarn {

// The content of the countdown panel: the remaining seconds, large, and a cancel button.
class CountdownView : public QWidget {
    Q_OBJECT
public:
    explicit CountdownView(int value, QWidget *parent = nullptr);

    QString numberText() const { return number_->text(); }
    QPushButton *cancelButton() const { return cancel_; }

Q_SIGNALS:
    void cancelled();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QLabel *number_;
    QPushButton *cancel_;
};

} // namespace tarn
