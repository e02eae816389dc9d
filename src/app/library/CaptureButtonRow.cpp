// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/library/CaptureButtonRow.h"

#include <algorithm>

#include <QGridLayout>

namespace tarn {

CaptureButtonRow::CaptureButtonRow(QWidget *parent) : QWidget(parent), grid_(new QGridLayout(this))
{
    grid_->setContentsMargins(0, 0, 0, 0);
    grid_->setSpacing(spacing);
}

void CaptureButtonRow::addButton(QWidget *button)
{
    buttons_.push_back(button);
    columns_ = 0;
    placeIn(int(buttons_.size()));
}

void CaptureButtonRow::arrange()
{
    int columns = int(buttons_.size());
    while (columns > 1 && neededWidth(columns) > width())
        columns = (columns + 1) / 2;
    placeIn(columns);
}

int CaptureButtonRow::neededWidth(int columns) const
{
    int needed = (columns - 1) * spacing;
    for (int column = 0; column < columns; ++column) {
        int widest = 0;
        for (size_t index = size_t(column); index < buttons_.size(); index += size_t(columns))
            widest = std::max(widest, buttons_[index]->minimumSizeHint().width());
        needed += widest;
    }
    return needed;
}

// The columns share the width evenly, as far as each button's own width allows.
void CaptureButtonRow::placeIn(int columns)
{
    if (columns == columns_)
        return;
    columns_ = columns;
    for (QWidget *button : buttons_)
        grid_->removeWidget(button);
    for (size_t index = 0; index < buttons_.size(); ++index)
        grid_->addWidget(buttons_[index], int(index) / columns, int(index) % columns);
    for (int column = 0; column < grid_->columnCount(); ++column)
        grid_->setColumnStretch(column, column < columns ? 1 : 0);
}

// Narrower than a row of every button: the row wraps rather than widen the window's content.
QSize CaptureButtonRow::minimumSizeHint() const { return {neededWidth(1), QWidget::minimumSizeHint().height()}; }

void CaptureButtonRow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    arrange();
}

} // namespace tarn
