// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/library/CaptureCollection.h"

#include <algorithm>
#include <utility>

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QHoverEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QScrollArea>

#include "app/library/CaptureCard.h"
#include "app/library/CaptureListRow.h"
#include "core/library/LibraryRepository.h"

namespace tarn {

namespace {

// Cells are made this far above and below the viewport, so a short scroll finds them ready.
constexpr int overscan = 240;

} // namespace

// Goes over the cells in view with placement held off (see placeVisible), so that whatever a
// cell does when changed cannot take cells from under the loop.
template <typename Apply> void CaptureCollection::forEachCell(Apply apply)
{
    const bool outermost = !std::exchange(placing_, true);
    for (const auto &[id, cell] : bound_)
        apply(cell);
    if (!outermost)
        return;
    placing_ = false;
    if (std::exchange(placeAgain_, false))
        placeVisible();
}

CaptureCollection::CaptureCollection(const LibraryRepository &repository, QWidget *parent)
    : QWidget(parent),
      repository_(repository)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) { noteKeyboard(now); });
    // Qt tells this widget of every pointer move over it or over any of its cells: see event().
    setAttribute(Qt::WA_Hover);
}

// The cells in view change when the viewport changes size and when the list moves within it:
// it scrolls (what scrolls moves), or the hero, a banner or the selection bar above it comes or
// goes (the list moves within what scrolls). Every widget from this one up to what scrolls
// reports its moves here.
void CaptureCollection::setScrollArea(QScrollArea *area)
{
    area_ = area;
    viewport_ = area->viewport();
    viewport_->installEventFilter(this);
    for (QWidget *widget = this; widget && widget != area->viewport(); widget = widget->parentWidget())
        widget->installEventFilter(this);
}

bool CaptureCollection::movesTheList(const QObject *watched) const
{
    const auto *widget = qobject_cast<const QWidget *>(watched);
    return widget && widget->isAncestorOf(this) && area_->widget() && area_->widget()->isAncestorOf(widget);
}

bool CaptureCollection::eventFilter(QObject *watched, QEvent *event)
{
    // The event's type first: while the scroll area is being destroyed its viewport still reports
    // here, and the area may no longer be asked anything.
    const QEvent::Type type = event->type();
    if ((type == QEvent::Resize && watched == viewport_) || (type == QEvent::Move && area_ && movesTheList(watched)))
        placeVisible();
    return QWidget::eventFilter(watched, event);
}

// Qt sends enter and leave by the widget it last saw under the pointer, which knows nothing of
// cells moved under a resting pointer: after a scroll the card that came under the pointer
// would keep its hover look when the pointer went on (no leave for a card never entered), and
// a card moved back under it got no enter. Every pointer move over the collection or a cell
// comes here as a hover move in the collection's own coordinates, and the look is set afresh
// from the cell whose place holds the pointer.
bool CaptureCollection::event(QEvent *event)
{
    if (event->type() == QEvent::HoverMove)
        showPointerOver(cellAt(static_cast<QHoverEvent *>(event)->position().toPoint()));
    // The list has no hover look of its own: QWidget would repaint it, every card in view with
    // it, each time the pointer crossed its edge.
    if (event->type() == QEvent::HoverEnter || event->type() == QEvent::HoverLeave)
        return true;
    return QWidget::event(event);
}

void CaptureCollection::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    showPointerOver(nullptr);
}

CollectionLayout CaptureCollection::layoutFor(int width) const
{
    return grid_ ? CollectionLayout::grid(width, &CaptureCard::heightFor)
                 : CollectionLayout::list(width, CaptureListRow::rowHeight);
}

void CaptureCollection::setItems(std::vector<const CaptureItem *> items)
{
    items_ = std::move(items);
    ++itemsVersion_;
    relayout();
    regainKeyboard();
}

void CaptureCollection::setGridView(bool grid)
{
    if (grid == grid_)
        return;
    grid_ = grid;
    dropAllCells();
    relayout();
}

void CaptureCollection::setSelection(const std::set<Uuid> &selection)
{
    selection_ = selection;
    forEachCell([this](CaptureCell *cell) { cell->setSelected(selection_.count(cell->item().id) > 0); });
}

// Disabling the cell with the keyboard would have Qt pass the keyboard on along the Tab order,
// from cell to cell as each is disabled in turn, and the scroll area would scroll after it. The
// keyboard is let go at once instead; regainKeyboard gives it back to that place in the list
// once the cells work again.
void CaptureCollection::setBusy(bool busy)
{
    busy_ = busy;
    QWidget *focused = QApplication::focusWidget();
    if (busy_ && focused && focused != this && isAncestorOf(focused))
        focused->clearFocus();
    forEachCell([this](CaptureCell *cell) { cell->setEnabled(!busy_); });
    regainKeyboard();
}

void CaptureCollection::setLibraryReady(bool ready)
{
    ready_ = ready;
    forEachCell([this](CaptureCell *cell) { cell->setSelectable(ready_); });
}

CaptureCell *CaptureCollection::cellFor(const Uuid &id) const
{
    auto found = bound_.find(id);
    return found == bound_.end() ? nullptr : found->second;
}

void CaptureCollection::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    relayout();
}

void CaptureCollection::relayout()
{
    layout_ = layoutFor(width());
    const int height = layout_.totalHeight(int(items_.size()));
    if (height != this->height())
        setFixedHeight(height);
    placeVisible();
}

QRect CaptureCollection::visibleBand() const
{
    if (!area_)
        return rect();
    const QWidget *viewport = area_->viewport();
    const QPoint origin = mapFrom(viewport, QPoint(0, 0));
    return QRect(origin, viewport->size()).adjusted(0, -overscan, 0, overscan);
}

// Hiding, showing or disabling a cell can move the keyboard and so scroll the list, which asks
// for a placement from within the running one (or a pass over the cells): going on afterwards
// with cells the inner placement gave to other captures would leave a card in view blank, or
// crash. So a placement asked for meanwhile waits until the running one is through, and runs
// then; should the list never stand still, the event loop takes the rest.
void CaptureCollection::placeVisible()
{
    if (placing_) {
        placeAgain_ = true;
        return;
    }
    placing_ = true;
    int rounds = 0;
    do {
        placeAgain_ = false;
        placeCells();
    } while (placeAgain_ && ++rounds < 4);
    placing_ = false;
    if (std::exchange(placeAgain_, false))
        QMetaObject::invokeMethod(this, &CaptureCollection::placeVisible, Qt::QueuedConnection);
}

void CaptureCollection::placeCells()
{
    const QRect band = visibleBand();
    const auto [first, last] = layout_.range(band.top(), band.bottom() + 1, int(items_.size()));
    std::unordered_map<Uuid, CaptureCell *> kept;
    for (int index = first; index < last; ++index) {
        const Uuid &id = items_[size_t(index)]->id;
        if (auto found = bound_.find(id); found != bound_.end()) {
            kept.emplace(id, found->second);
            bound_.erase(found);
        }
    }
    for (const auto &[id, cell] : std::exchange(bound_, std::move(kept)))
        release(cell);

    for (int index = first; index < last; ++index) {
        const CaptureItem &item = *items_[size_t(index)];
        const auto found = bound_.find(item.id);
        const bool fresh = found == bound_.end();
        CaptureCell *cell = fresh ? bound_.emplace(item.id, takeCell()).first->second : found->second;
        if (fresh || boundVersion_[cell] != itemsVersion_) {
            cell->bind(item, repository_.thumbnailURL(item), selection_.count(item.id) > 0);
            boundVersion_[cell] = itemsVersion_;
        }
        cell->setGeometry(layout_.cellRect(index));
        if (fresh) {
            cell->setEnabled(!busy_);
            cell->setSelectable(ready_);
            cell->show();
        }
    }
    orderTabs(first, last);
    followPointer();
}

void CaptureCollection::noteKeyboard(QWidget *now)
{
    if (!now)
        return; // a disabled or hidden cell lost it: kept in mind
    if (!isAncestorOf(now)) {
        keyboardIndex_ = -1;
        return;
    }
    for (const auto &[id, cell] : bound_)
        if (cell == now || cell->isAncestorOf(now))
            for (size_t index = 0; index < items_.size(); ++index)
                if (items_[index]->id == id)
                    keyboardIndex_ = int(index);
}

// A busy library disables its cells and a capture that leaves the list takes its cell away, and
// either way Qt drops the keyboard; once the cells work again it goes to the capture now at that
// place in the list (the next one, or the last).
void CaptureCollection::regainKeyboard()
{
    if (keyboardIndex_ < 0 || busy_ || items_.empty() || QApplication::focusWidget() || !isVisible() ||
        !window()->isActiveWindow())
        return;
    focusItem(std::min(keyboardIndex_, int(items_.size()) - 1));
}

// Cells are made and reused as the list scrolls, so their places in the window's Tab order say
// nothing; this puts the cells in view in the order of their captures.
void CaptureCollection::orderTabs(int first, int last)
{
    // Scrolling within the cells in view changes nothing.
    if (std::exchange(tabsOrdered_, {first, last, itemsVersion_}) == std::array{first, last, itemsVersion_})
        return;
    QWidget *previous = nullptr;
    const auto follow = [&previous](QWidget *next) {
        if (previous)
            QWidget::setTabOrder(previous, next);
        previous = next;
    };
    for (int index = first; index < last; ++index) {
        CaptureCell *cell = bound_.at(items_[size_t(index)]->id);
        follow(cell);
        // Each cell's own buttons (a star, a menu) come right after it.
        for (QWidget *part : cell->findChildren<QWidget *>())
            if (part->focusPolicy() & Qt::TabFocus)
                follow(part);
    }
}

void CaptureCollection::keyPressEvent(QKeyEvent *event)
{
    const int down = grid_ ? layout_.columns : 1;
    int step = 0;
    switch (event->key()) {
    case Qt::Key_Left:
        step = -1;
        break;
    case Qt::Key_Right:
        step = 1;
        break;
    case Qt::Key_Up:
        step = -down;
        break;
    case Qt::Key_Down:
        step = down;
        break;
    default:
        break;
    }
    const QWidget *focused = QApplication::focusWidget();
    const auto *cell = focused ? qobject_cast<const CaptureCell *>(focused) : nullptr;
    if (step == 0 || !cell || cell->parentWidget() != this) {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    const auto at = std::find_if(items_.begin(), items_.end(),
                                 [&](const CaptureItem *item) { return item->id == cell->item().id; });
    const int target = int(at - items_.begin()) + step;
    if (at != items_.end() && target >= 0 && target < int(items_.size()))
        focusItem(target);
}

// Scrolls the cell of a capture into view (which makes it) and gives it the keyboard.
void CaptureCollection::focusItem(int index)
{
    const QRect cell = layout_.cellRect(index);
    if (area_ && area_->widget()) {
        const QPoint centre = mapTo(area_->widget(), cell.center());
        area_->ensureVisible(centre.x(), centre.y(), cell.width() / 2, cell.height() / 2 + 8);
    }
    placeVisible();
    if (CaptureCell *shown = cellFor(items_[size_t(index)]->id))
        shown->setFocus(Qt::OtherFocusReason);
}

// Hover moves come only when the pointer moves. After a scroll, or when a cell shows another
// capture, the cell under a pointer that stayed put is found here, so the hover look follows
// the pointer and not the card that happened to be under it before. The X server is asked where
// the pointer is only while it is over the list.
void CaptureCollection::followPointer()
{
    if (bound_.empty() || !isVisible())
        return;
    const QWidget *frame = area_ ? area_->viewport() : this;
    const CaptureCell *over = nullptr;
    if (frame->underMouse()) {
        const QPoint global = QCursor::pos();
        if (frame->rect().contains(frame->mapFromGlobal(global)))
            over = cellAt(mapFromGlobal(global));
    }
    showPointerOver(over);
}

CaptureCell *CaptureCollection::cellAt(QPoint position) const
{
    for (const auto &[id, cell] : bound_)
        if (cell->geometry().contains(position))
            return cell;
    return nullptr;
}

void CaptureCollection::showPointerOver(const CaptureCell *over)
{
    forEachCell([over](CaptureCell *cell) { cell->setPointerOver(cell == over); });
}

CaptureCell *CaptureCollection::takeCell()
{
    if (!spare_.empty()) {
        CaptureCell *cell = spare_.back();
        spare_.pop_back();
        return cell;
    }
    CaptureCell *cell = grid_ ? static_cast<CaptureCell *>(new CaptureCard(this)) : new CaptureListRow(this);
    connect(cell, &CaptureCell::commandRequested, this, &CaptureCollection::commandRequested);
    connect(cell, &CaptureCell::selectionRequested, this, &CaptureCollection::selectionRequested);
    connect(cell, &CaptureCell::menuRequested, this, &CaptureCollection::showMenu);
    return cell;
}

void CaptureCollection::release(CaptureCell *cell)
{
    keepKeyboardFrom(cell);
    cell->hide();
    boundVersion_.erase(cell);
    spare_.push_back(cell);
}

// Hiding the cell that has the keyboard would have Qt pass it to the next widget in the Tab
// order, and the scroll area would scroll that one into view: back against the wheel, and from
// within the placement hiding the cell, whose bookkeeping the placement inside it changed under
// its feet (a cell given to two captures, so one showed nowhere, or a crash). The keyboard stays
// with the list instead, which the arrow keys then scroll.
void CaptureCollection::keepKeyboardFrom(const CaptureCell *cell)
{
    if (cell->isAncestorOf(QApplication::focusWidget()))
        setFocus(Qt::OtherFocusReason);
}

// The cells leave the books before they are hidden: a placement asked for meanwhile makes new ones.
void CaptureCollection::dropAllCells()
{
    boundVersion_.clear();
    for (CaptureCell *cell : std::exchange(spare_, {}))
        cell->deleteLater();
    for (const auto &[id, cell] : std::exchange(bound_, {})) {
        keepKeyboardFrom(cell);
        cell->hide();
        cell->deleteLater();
    }
}

void CaptureCollection::showMenu(const CaptureItem &item, const QPoint &globalPosition)
{
    QMenu *menu = CaptureMenu::build(CaptureMenu::entries(item, selection_), this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    connect(menu, &QMenu::triggered, this,
            [this, item](QAction *action) { Q_EMIT commandRequested(item, CaptureMenu::command(action)); });
    menu->popup(globalPosition);
}

} // namespace tarn
