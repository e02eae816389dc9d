// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <set>
#include <vector>

#include <QAbstractButton>
#include <QWidget>

#include "app/library/CaptureMenu.h"
#include "app/library/LibraryPresenter.h"

class QLabel;
class QScrollArea;

namespace tarn {

class CaptureCollection;
class LibraryRepository;
class PlainButton;
class SymbolView;
class TarnButton;

// A switch button of the grid/list choice: a symbol on a raised plate when it is the current
// choice.
class ViewToggle : public QAbstractButton {
    Q_OBJECT

public:
    ViewToggle(const QString &symbol, const QString &name, QWidget *parent = nullptr);
    void setActive(bool active);
    bool isActive() const { return active_; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString symbol_;
    bool active_ = false;
};

// The lower block of the library window: the list title and count with select-all, the new
// capture button, the sort menu and the grid/list switch; the selection bar while anything is
// selected; then the captures, or an empty state that says why there are none.
class LibraryContents : public QWidget {
    Q_OBJECT

public:
    LibraryContents(const LibraryRepository &repository, QWidget *parent = nullptr);

    void setScrollArea(QScrollArea *area);
    void setVisibleItems(std::vector<const CaptureItem *> items);
    void setSelection(const std::set<Uuid> &selection);
    void setSection(LibrarySection section);
    void setSearchText(const QString &text);
    void setBusy(bool busy);
    void setLibraryReady(bool ready);
    void setActiveCount(int count);
    void setNewestFirst(bool newestFirst);
    void setGridView(bool grid);

    const LibraryPresenter::Contents &state() const { return state_; }
    CaptureCollection *collection() const { return collection_; }

Q_SIGNALS:
    void selectAllRequested();
    void clearSelectionRequested();
    void trashSelectedRequested();
    void restoreSelectedRequested();
    void newCaptureRequested();
    void newestFirstChosen(bool newestFirst);
    void gridViewChosen(bool grid);
    void importFilesRequested();
    void samplesRequested();
    void commandRequested(const tarn::CaptureItem &item, tarn::CaptureCommand command);
    void selectionRequested(const tarn::Uuid &id, bool selected);

private:
    QWidget *makeHeaderRow();
    QWidget *makeSelectionBar();
    QWidget *makeEmptyState();
    void refresh();
    void keepFocusOffSelectionBar(bool barUsable);
    void showSortMenu();

    LibraryPresenter::ContentsFacts facts_;
    LibraryPresenter::Contents state_;
    std::set<Uuid> selection_;
    QLabel *title_ = nullptr;
    QLabel *count_ = nullptr;
    PlainButton *selectAll_ = nullptr;
    PlainButton *newCapture_ = nullptr;
    PlainButton *sort_ = nullptr;
    ViewToggle *gridToggle_ = nullptr;
    ViewToggle *listToggle_ = nullptr;
    QWidget *selectionBar_ = nullptr;
    PlainButton *selectionCount_ = nullptr;
    TarnButton *restore_ = nullptr;
    TarnButton *trash_ = nullptr;
    QWidget *emptyState_ = nullptr;
    SymbolView *emptyIcon_ = nullptr;
    QLabel *emptyTitle_ = nullptr;
    QLabel *emptyHint_ = nullptr;
    QWidget *emptyButtons_ = nullptr;
    CaptureCollection *collection_;
};

} // namespace tarn
