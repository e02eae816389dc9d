// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <vector>

#include <QString>

#include "app/library/LibrarySection.h"
#include "core/model/CaptureItem.h"

// What the library window shows for a state of the library, as plain values: the widgets only
// paint these, so every decision here can be checked without a window.
namespace tarn::LibraryPresenter {

// Title and symbol of a sidebar section (also the header's title).
QString title(LibrarySection section);
QString symbol(LibrarySection section);
// The items of the whole library a section holds; the search plays no part.
int count(LibrarySection section, const std::vector<CaptureItem> &items);

// The optional panels above the contents.
struct Panels {
    bool hero = false;
    bool permissionBanner = false;
    bool recoveryBanner = false;
};
Panels panels(LibrarySection section, const QString &searchText, bool screenPermission, int activeCount,
              int pendingRecordingCount);

// Everything the contents block decides from the model.
struct ContentsFacts {
    LibrarySection section = LibrarySection::all;
    QString searchText;
    int visibleCount = 0;
    int selectedCount = 0;
    bool allVisibleSelected = false;
    bool isBusy = false;
    bool libraryReady = false;
    int activeCount = 0;
    bool newestFirst = true;
};

struct Contents {
    QString title;
    QString count;
    bool selectAllEnabled = false;
    bool newCaptureShown = false;
    QString sortLabel;
    bool selectionBarShown = false;
    QString selectionCount;
    bool restoreShown = false; // else the trash button
    bool emptyShown = false;
    QString emptySymbol;
    QString emptyTitle;
    QString emptyHint;
    bool emptyButtonsShown = false;
    bool emptyButtonsEnabled = false;
};
Contents contents(const ContentsFacts &facts);

// Texts of one capture: the card's size ("1920 × 1080", or the duration of a video), the
// row's size line (pixel size for both kinds, after "SAMPLE · " for a generated sample), and
// the dates of the card (month, day and time) and of the row (the date alone), in the
// user's locale.
QString cardSize(const CaptureItem &item);
QString rowSize(const CaptureItem &item);
QString cardDate(const Date &date);
QString rowDate(const Date &date);

// The right end of the status strip: items outside the trash and the bytes of all of them.
QString libraryStats(int activeCount, int64_t storedBytes);

} // namespace tarn::LibraryPresenter
