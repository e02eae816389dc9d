// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>
#include <QWidget>

#include "app/library/CaptureMenu.h"
#include "core/model/CaptureItem.h"

namespace tarn {

class SelectionToggle;

// What the grid's card and the list's row have in common: they show one capture, reflect
// whether it is selected, and ask for commands, selection changes and the capture menu. The
// collection reuses a cell for another capture when it scrolls into view. Tab reaches a cell:
// Return opens its capture and Space ticks or unticks it.
class CaptureCell : public QWidget {
    Q_OBJECT

public:
    explicit CaptureCell(QWidget *parent = nullptr);

    // Shows a capture, or a new state of the same one; `thumbnailPath` is its thumbnail file.
    void bind(const CaptureItem &item, const QString &thumbnailPath, bool selected);
    void setSelected(bool selected);
    // Whether the checkbox takes clicks (the library has loaded).
    void setSelectable(bool selectable);
    // Whether the pointer rests over the cell, when that changed without the pointer moving.
    virtual void setPointerOver(bool over) { Q_UNUSED(over); }
    const CaptureItem &item() const { return item_; }
    bool isSelected() const { return selected_; }
    SelectionToggle *toggle() const { return toggle_; }

Q_SIGNALS:
    void commandRequested(const tarn::CaptureItem &item, tarn::CaptureCommand command);
    void selectionRequested(const tarn::Uuid &id, bool selected);
    void menuRequested(const tarn::CaptureItem &item, const QPoint &globalPosition);

protected:
    // A different capture (`sameCapture` false) or a new state of the same one.
    virtual void showItem(bool sameCapture, const QString &thumbnailPath) = 0;
    virtual void showSelection() { update(); }
    void contextMenuEvent(QContextMenuEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void requestCommand(CaptureCommand command) { Q_EMIT commandRequested(item_, command); }

    SelectionToggle *toggle_;

private:
    CaptureItem item_;
    bool bound_ = false;
    bool selected_ = false;
};

} // namespace tarn
