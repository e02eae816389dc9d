// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/library/CaptureCell.h"

#include <QContextMenuEvent>
#include <QKeyEvent>

#include "app/library/SelectionToggle.h"

namespace tarn {

CaptureCell::CaptureCell(QWidget *parent) : QWidget(parent), toggle_(new SelectionToggle(this))
{
    // Only the keyboard brings the focus here: a click keeps its own meaning for each part.
    setFocusPolicy(Qt::TabFocus);
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

void CaptureCell::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        requestCommand(CaptureCommand::open);
        break;
    case Qt::Key_Space:
        if (toggle_->isEnabled())
            Q_EMIT selectionRequested(item_.id, !selected_);
        break;
    default:
        QWidget::keyPressEvent(event); // arrows go on to the collection
        return;
    }
    event->accept();
}

} // namespace tarn
