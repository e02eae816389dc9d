// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include <QWidget>

class QGridLayout;

namespace tarn {

// The capture hero's row of buttons: one row of equal columns where there is room for every
// button whole, else two rows of two (one button a row where even two do not fit), so that a
// narrow window (a small or scaled screen) shows each button whole instead of cutting the last
// ones off. It needs no more width than its widest button.
class CaptureButtonRow : public QWidget {
    Q_OBJECT

public:
    static constexpr int spacing = 10;

    explicit CaptureButtonRow(QWidget *parent = nullptr);

    void addButton(QWidget *button);
    // Sets the columns again for the buttons' current sizes (a title that changed).
    void arrange();

    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    // The width `columns` columns of the buttons need, each as wide as its widest button.
    int neededWidth(int columns) const;
    void placeIn(int columns);

    QGridLayout *grid_;
    std::vector<QWidget *> buttons_;
    int columns_ = 0;
};

} // namespace tarn
