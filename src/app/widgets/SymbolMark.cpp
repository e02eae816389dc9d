// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/widgets/SymbolMark.h"

#include <QPainter>

#include "app/widgets/Theme.h"

namespace tarn {

SymbolMark::SymbolMark(const QString &symbol, const QColor &color, int size, QWidget *parent)
    : QWidget(parent),
      symbol_(symbol),
      color_(color)
{
    setFixedSize(size, size);
}

void SymbolMark::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    Theme::drawSymbol(painter, symbol_, QRectF(rect()), color_);
}

} // namespace tarn
