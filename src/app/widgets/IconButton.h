// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractButton>
#include <QString>

namespace tarn {

// A square 32 x 32 button showing one symbol at 14 px in the muted colour, without a plate of
// its own; `help` is both its tooltip and its accessible name. Presses arrive as `clicked`.
class IconButton : public QAbstractButton {
    Q_OBJECT

public:
    static constexpr int side = 32;
    static constexpr int symbolSize = 14;
    static constexpr qreal cornerRadius = 7;

    IconButton(const QString &symbol, const QString &help, QWidget *parent = nullptr);

    const QString &symbol() const { return symbol_; }
    void setSymbol(const QString &symbol);
    QSize sizeHint() const override { return {side, side}; }

protected:
    void paintEvent(QPaintEvent *event) override;
    bool hitButton(const QPoint &pos) const override;

private:
    QString symbol_;
};

} // namespace tarn
