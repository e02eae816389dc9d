// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

namespace tarn {

// One symbol in one colour, `size` pixels square, sharp at any pixel ratio; not a control.
class SymbolMark : public QWidget {
    Q_OBJECT

public:
    SymbolMark(const QString &symbol, const QColor &color, int size, QWidget *parent = nullptr);
    QString symbol() const { return symbol_; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString symbol_;
    QColor color_;
};

} // namespace tarn
