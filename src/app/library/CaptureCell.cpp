// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/library/CaptureCell.h"

#include <QContextMenuEvent>

#include "app/library/SelectionToggle.h"

namespace tarn {

CaptureCell::CaptureCell(QWidget *parent) : QWidget(parent), toggle_(new SelectionToggle(this))
{
    connect(toggle_, &SelectionToggle::selectionRequested, this, &CaptureCell::selectionRequested);
}

void CaptureCell::bind(const CaptureItem &item, const QString &thumbnailPath, bool selected)
{
    const bool sameCapture = bound_ && item.id == item_.id;
    item_ = item;
    bound_ = true;
    selected_ = selected;
    toggle_->bind(item, selected);
    showItem(sameCapture, thumbnailPath);
    showSelection();
}

void CaptureCell::setSelected(bool selected)
{
    if (selected == selected_)
        return;
    selected_ = selected;
    toggle_->showSelected(selected);
    showSelection();
}

void CaptureCell::setSelectable(bool selectable) { toggle_->setEnabled(selectable); }

void CaptureCell::contextMenuEvent(QContextMenuEvent *event)
{
    Q_EMIT menuRequested(item_, event->globalPos());
    event->accept();
}

} // namespace tarn
