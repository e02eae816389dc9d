// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/library/LibraryContents.h"

#include <algorithm>

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QVBoxLayout>

#include "app/library/CaptureCollection.h"
#include "app/library/ViewKit.h"
#include "app/widgets/Palette.h"
#include "app/widgets/TarnButtonStyle.h"

namespace tarn {

namespace {

// The empty state's dashed outline.
class DashedFrame : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QPen pen(Palette::border, 1, Qt::CustomDashLine, Qt::FlatCap, Qt::MiterJoin);
        pen.setDashPattern({5, 5});
        pen.setMiterLimit(10);
        painter.setPen(pen);
        painter.drawPath(ViewKit::roundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 14));
    }
};

// The empty state's symbol on a 65-pixel plate.
class EmptyIcon : public SymbolView {
public:
    explicit EmptyIcon(QWidget *parent) : SymbolView(QString(), Palette::teal, 25, parent) { setFixedSize(65, 65); }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        {
            QPainter painter(this);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.fillPath(ViewKit::roundedRect(QRectF(rect()), 16), Palette::surface);
        }
        SymbolView::paintEvent(event);
    }
};

} // namespace

ViewToggle::ViewToggle(const QString &symbol, const QString &name, QWidget *parent)
    : QAbstractButton(parent),
      symbol_(symbol)
{
    setFixedSize(28, 24);
    setAccessibleName(name);
    setCursor(Qt::ArrowCursor);
}

void ViewToggle::setActive(bool active)
{
    if (active == active_)
        return;
    active_ = active;
    update();
}

void ViewToggle::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (isDown())
        painter.setOpacity(0.7);
    if (active_)
        painter.fillPath(ViewKit::roundedRect(QRectF(rect()), 5), Palette::raised);
    ViewKit::drawSymbol(painter, QRectF(rect()).center(), symbol_, active_ ? Palette::text : Palette::muted, 11);
}

LibraryContents::LibraryContents(const LibraryRepository &repository, QWidget *parent)
    : QWidget(parent),
      collection_(new CaptureCollection(repository))
{
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(17);
    column->addWidget(makeHeaderRow());
    column->addWidget(makeSelectionBar());
    column->addWidget(makeEmptyState());
    column->addWidget(collection_);
    connect(collection_, &CaptureCollection::commandRequested, this, &LibraryContents::commandRequested);
    connect(collection_, &CaptureCollection::selectionRequested, this, &LibraryContents::selectionRequested);
    refresh();
}

QWidget *LibraryContents::makeHeaderRow()
{
    auto *row = new QWidget;
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    title_ = ViewKit::label(QString(), ViewKit::font(14, QFont::DemiBold), Palette::text);
    count_ = ViewKit::label(QString(), ViewKit::monoFont(11), Palette::muted);
    layout->addWidget(title_);
    layout->addSpacing(8 - layout->spacing());
    layout->addWidget(count_);
    layout->addStretch(1);

    selectAll_ = new PlainButton(QStringLiteral("전체 선택"), QStringLiteral("checkmark.square"),
                                 ViewKit::font(11, QFont::Medium), Palette::teal);
    selectAll_->setObjectName(QStringLiteral("library.selectAll"));
    selectAll_->setToolTip(QStringLiteral("현재 목록의 모든 캡처 선택"));
    layout->addWidget(selectAll_);
    layout->addSpacing(12);
    newCapture_ =
        new PlainButton(QStringLiteral("새 캡처"), QStringLiteral("plus"), ViewKit::font(11), Palette::accent);
    layout->addWidget(newCapture_);
    layout->addSpacing(12);
    sort_ = new PlainButton(QString(), QString(), ViewKit::font(11), Palette::muted);
    sort_->setObjectName(QStringLiteral("library.sort"));
    sort_->setTrailingSymbol(QStringLiteral("chevron.down"), 8);
    layout->addWidget(sort_);
    layout->addSpacing(12);

    auto *switcher = new Plate(7, Palette::surface);
    auto *switchLayout = new QHBoxLayout(switcher);
    switchLayout->setContentsMargins(3, 3, 3, 3);
    switchLayout->setSpacing(2);
    gridToggle_ = new ViewToggle(QStringLiteral("square.grid.2x2"), QStringLiteral("격자 보기"));
    listToggle_ = new ViewToggle(QStringLiteral("list.bullet"), QStringLiteral("목록 보기"));
    switchLayout->addWidget(gridToggle_);
    switchLayout->addWidget(listToggle_);
    layout->addWidget(switcher);

    connect(selectAll_, &QAbstractButton::clicked, this, &LibraryContents::selectAllRequested);
    connect(newCapture_, &QAbstractButton::clicked, this, &LibraryContents::newCaptureRequested);
    connect(sort_, &QAbstractButton::clicked, this, &LibraryContents::showSortMenu);
    connect(gridToggle_, &QAbstractButton::clicked, this, [this] { Q_EMIT gridViewChosen(true); });
    connect(listToggle_, &QAbstractButton::clicked, this, [this] { Q_EMIT gridViewChosen(false); });
    return row;
}

QWidget *LibraryContents::makeSelectionBar()
{
    selectionBar_ = new Plate(10, ViewKit::faded(Palette::accent, 0.055), ViewKit::faded(Palette::accent, 0.16));
    auto *layout = new QHBoxLayout(selectionBar_);
    layout->setContentsMargins(14, 10, 14, 10);
    layout->setSpacing(14);
    selectionCount_ = new PlainButton(QString(), QStringLiteral("checkmark.circle.fill"),
                                      ViewKit::font(12, QFont::DemiBold), Palette::accent);
    selectionCount_->setAttribute(Qt::WA_TransparentForMouseEvents);
    selectionCount_->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(selectionCount_);
    layout->addStretch(1);
    auto *clear = new PlainButton(QStringLiteral("선택 해제"), QString(), ViewKit::font(11), Palette::muted);
    clear->setObjectName(QStringLiteral("library.clearSelection"));
    layout->addWidget(clear);
    restore_ = new SymbolTarnButton(QStringLiteral("선택 항목 복원"), QStringLiteral("arrow.uturn.backward"),
                                    TarnButtonStyle{false, false});
    restore_->setObjectName(QStringLiteral("library.restoreSelected"));
    layout->addWidget(restore_);
    // A destructive action: its label is coral on the ordinary plate.
    trash_ = new SymbolTarnButton(QStringLiteral("선택 항목 휴지통으로 이동"), QStringLiteral("trash"),
                                  TarnButtonStyle{false, true});
    trash_->setObjectName(QStringLiteral("library.trashSelected"));
    layout->addWidget(trash_);
    connect(clear, &QAbstractButton::clicked, this, &LibraryContents::clearSelectionRequested);
    connect(restore_, &QAbstractButton::clicked, this, &LibraryContents::restoreSelectedRequested);
    connect(trash_, &QAbstractButton::clicked, this, &LibraryContents::trashSelectedRequested);
    return selectionBar_;
}

QWidget *LibraryContents::makeEmptyState()
{
    emptyState_ = new DashedFrame;
    auto *layout = new QVBoxLayout(emptyState_);
    layout->setContentsMargins(0, 34, 0, 34);
    layout->setSpacing(14);
    emptyIcon_ = new EmptyIcon(emptyState_);
    layout->addWidget(emptyIcon_, 0, Qt::AlignHCenter);
    emptyTitle_ = ViewKit::label(QString(), ViewKit::font(16, QFont::Medium), Palette::text);
    layout->addWidget(emptyTitle_, 0, Qt::AlignHCenter);
    emptyHint_ = ViewKit::label(QString(), ViewKit::font(12), Palette::muted);
    layout->addWidget(emptyHint_, 0, Qt::AlignHCenter);

    emptyButtons_ = new QWidget;
    auto *buttons = new QHBoxLayout(emptyButtons_);
    buttons->setContentsMargins(0, 5, 0, 0);
    auto *import = new TarnButton(QStringLiteral("파일 가져오기"), TarnButtonStyle{false, false});
    auto *samples = new PlainButton(QStringLiteral("샘플로 둘러보기"), QString(), ViewKit::font(11), Palette::teal);
    samples->setObjectName(QStringLiteral("library.addSamples"));
    buttons->addWidget(import);
    buttons->addWidget(samples);
    layout->addWidget(emptyButtons_, 0, Qt::AlignHCenter);
    connect(import, &QAbstractButton::clicked, this, &LibraryContents::importFilesRequested);
    connect(samples, &QAbstractButton::clicked, this, &LibraryContents::samplesRequested);
    return emptyState_;
}

void LibraryContents::setScrollArea(QScrollArea *area) { collection_->setScrollArea(area); }

void LibraryContents::setVisibleItems(std::vector<const CaptureItem *> items)
{
    facts_.visibleCount = int(items.size());
    collection_->setItems(std::move(items));
    refresh();
}

void LibraryContents::setSelection(const std::set<Uuid> &selection)
{
    selection_ = selection;
    collection_->setSelection(selection);
    refresh();
}

void LibraryContents::setSection(LibrarySection section)
{
    facts_.section = section;
    refresh();
}

void LibraryContents::setSearchText(const QString &text)
{
    facts_.searchText = text;
    refresh();
}

void LibraryContents::setBusy(bool busy)
{
    facts_.isBusy = busy;
    collection_->setBusy(busy);
    refresh();
}

void LibraryContents::setLibraryReady(bool ready)
{
    facts_.libraryReady = ready;
    collection_->setLibraryReady(ready);
    refresh();
}

void LibraryContents::setActiveCount(int count)
{
    facts_.activeCount = count;
    refresh();
}

void LibraryContents::setNewestFirst(bool newestFirst)
{
    facts_.newestFirst = newestFirst;
    refresh();
}

void LibraryContents::setGridView(bool grid)
{
    collection_->setGridView(grid);
    gridToggle_->setActive(grid);
    listToggle_->setActive(!grid);
}

void LibraryContents::refresh()
{
    const std::vector<const CaptureItem *> &visible = collection_->items();
    facts_.selectedCount = int(selection_.size());
    facts_.allVisibleSelected = !visible.empty() &&
        std::all_of(visible.begin(), visible.end(),
                    [this](const CaptureItem *item) { return selection_.count(item->id) > 0; });
    state_ = LibraryPresenter::contents(facts_);

    title_->setText(state_.title);
    count_->setText(state_.count);
    selectAll_->setEnabled(state_.selectAllEnabled);
    newCapture_->setVisible(state_.newCaptureShown);
    sort_->setLabel(state_.sortLabel);

    keepFocusOffSelectionBar(state_.selectionBarShown && !facts_.isBusy);
    selectionBar_->setVisible(state_.selectionBarShown);
    selectionBar_->setEnabled(!facts_.isBusy);
    selectionCount_->setLabel(state_.selectionCount);
    restore_->setVisible(state_.restoreShown);
    trash_->setVisible(!state_.restoreShown);

    emptyState_->setVisible(state_.emptyShown);
    emptyIcon_->setSymbol(state_.emptySymbol, Palette::teal);
    emptyTitle_->setText(state_.emptyTitle);
    emptyHint_->setText(state_.emptyHint);
    emptyButtons_->setVisible(state_.emptyButtonsShown);
    emptyButtons_->setEnabled(state_.emptyButtonsEnabled);
    collection_->setVisible(!state_.emptyShown);
}

// Qt drops the keyboard altogether when the control holding it is hidden or disabled with its
// parent, so a keyboard user who trashed the selection from the bar was left nowhere; the
// keyboard goes to the list's header row just above the bar instead.
void LibraryContents::keepFocusOffSelectionBar(bool barUsable)
{
    const QWidget *focused = QApplication::focusWidget();
    if (barUsable || !focused || !selectionBar_->isAncestorOf(focused))
        return;
    for (QWidget *next : {static_cast<QWidget *>(selectAll_), static_cast<QWidget *>(sort_)})
        if (next->isEnabled() && next->isVisible()) {
            next->setFocus(Qt::OtherFocusReason);
            return;
        }
}

void LibraryContents::showSortMenu()
{
    auto *menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    connect(menu->addAction(QStringLiteral("최신순")), &QAction::triggered, this,
            [this] { Q_EMIT newestFirstChosen(true); });
    connect(menu->addAction(QStringLiteral("오래된순")), &QAction::triggered, this,
            [this] { Q_EMIT newestFirstChosen(false); });
    menu->popup(sort_->mapToGlobal(QPoint(0, sort_->height())));
}

} // namespace tarn
