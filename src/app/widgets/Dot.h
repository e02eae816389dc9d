// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QWidget>

namespace tarn {

// A filled round mark of one colour: a dirty mark, a live mark, a status light.
class Dot : public QWidget {
    Q_OBJECT

public:
    Dot(int diameter, const QColor &color, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor color_;
};

} // namespace tarn
