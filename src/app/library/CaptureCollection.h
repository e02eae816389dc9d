// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <set>
#include <unordered_map>
#include <vector>

#include <QPointer>
#include <QWidget>

#include "app/library/CaptureMenu.h"
#include "app/library/CollectionLayout.h"
#include "core/model/CaptureItem.h"

class QScrollArea;

namespace tarn {

class CaptureCell;
class LibraryRepository;

// The visible captures as a grid of cards or a list of rows. It is as tall as all of them, but
// only the cells within (or just around) the scroll area's viewport exist: cells that scroll
// away are hidden and reused for the captures scrolling in, so a library of any size costs a
// screenful of widgets. A capture that stays in view keeps its cell (its hover state and
// picture) when the list changes. Tab goes through the cells in the order of their captures, and
// the arrow keys move the keyboard from cell to cell, scrolling the next one into view.
class CaptureCollection : public QWidget {
    Q_OBJECT

public:
    CaptureCollection(const LibraryRepository &repository, QWidget *parent = nullptr);

    // The scroll area this collection scrolls in; the cells follow its viewport.
    void setScrollArea(QScrollArea *area);

    // The captures to show, in order. They are the model's own and must stay valid until the
    // next call (the model replaces them only together with announcing its new items).
    void setItems(std::vector<const CaptureItem *> items);
    void setGridView(bool grid);
    void setSelection(const std::set<Uuid> &selection);
    void setBusy(bool busy);
    void setLibraryReady(bool ready);

    const std::vector<const CaptureItem *> &items() const { return items_; }
    bool isGridView() const { return grid_; }
    CollectionLayout layoutFor(int width) const;
    // The cell showing a capture, if it is in view.
    CaptureCell *cellFor(const Uuid &id) const;
    // Every cell that exists, shown or kept for reuse.
    int cellCount() const { return int(bound_.size() + spare_.size()); }

Q_SIGNALS:
    void commandRequested(const tarn::CaptureItem &item, tarn::CaptureCommand command);
    void selectionRequested(const tarn::Uuid &id, bool selected);

protected:
    bool event(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void relayout();
    void placeVisible();
    void placeCells();
    template <typename Apply> void forEachCell(Apply apply);
    void followPointer();
    CaptureCell *cellAt(QPoint position) const;
    void showPointerOver(const CaptureCell *over);
    bool movesTheList(const QObject *watched) const;
    void orderTabs(int first, int last);
    void focusItem(int index);
    void noteKeyboard(QWidget *now);
    void regainKeyboard();
    QRect visibleBand() const;
    CaptureCell *takeCell();
    void release(CaptureCell *cell);
    void keepKeyboardFrom(const CaptureCell *cell);
    void showMenu(const CaptureItem &item, const QPoint &globalPosition);
    void dropAllCells();

    const LibraryRepository &repository_;
    QPointer<QScrollArea> area_;
    QPointer<QWidget> viewport_;
    std::vector<const CaptureItem *> items_;
    std::set<Uuid> selection_;
    bool grid_ = true;
    bool busy_ = false;
    bool ready_ = false;
    CollectionLayout layout_;
    std::unordered_map<Uuid, CaptureCell *> bound_;
    std::unordered_map<CaptureCell *, int> boundVersion_;
    std::vector<CaptureCell *> spare_;
    int itemsVersion_ = 0;
    // A placement runs, or the cells are being gone through: a placement asked for meanwhile
    // (`placeAgain_`) waits until that is through.
    bool placing_ = false;
    bool placeAgain_ = false;
    std::array<int, 3> tabsOrdered_{-1, -1, -1}; // first, last and items version of the Tab order
    // The place in the list of the capture whose cell last had the keyboard, while nothing
    // outside the cells has taken it since.
    int keyboardIndex_ = -1;
};

} // namespace tarn
