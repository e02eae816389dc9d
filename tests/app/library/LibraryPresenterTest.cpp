// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "app/library/LibraryPresenter.h"

namespace tarn {
namespace {

using LibraryPresenter::ContentsFacts;

CaptureItem item(CaptureKind kind, bool favorite, bool trashed)
{
    CaptureItem made;
    made.id = Uuid::random();
    made.kind = kind;
    made.isFavorite = favorite;
    if (trashed)
        made.trashedAt = Date{1000};
    return made;
}

TEST(LibraryPresenterTest, PanelsFollowSectionSearchPermissionAndPendingRecordings)
{
    struct Case {
        LibrarySection section;
        QString search;
        bool permission;
        int active;
        int pending;
        bool hero, permissionBanner, recoveryBanner;
    };
    const Case cases[] = {
        {LibrarySection::all, {}, true, 0, 0, true, false, false},
        {LibrarySection::all, QStringLiteral(" "), true, 3, 0, false, false, false}, // a blank is a search
        {LibrarySection::images, {}, true, 3, 0, false, false, false},
        {LibrarySection::trash, {}, true, 3, 0, false, false, false},
        {LibrarySection::all, {}, false, 0, 0, true, false, false}, // nothing to capture for yet
        {LibrarySection::all, {}, false, 1, 0, true, true, false},
        {LibrarySection::favorites, QStringLiteral("x"), false, 5, 2, false, true, true},
        {LibrarySection::all, {}, true, 0, 1, true, false, true},
    };
    for (const Case &c : cases) {
        const auto panels = LibraryPresenter::panels(c.section, c.search, c.permission, c.active, c.pending);
        EXPECT_EQ(panels.hero, c.hero) << int(c.section) << c.search.toStdString();
        EXPECT_EQ(panels.permissionBanner, c.permissionBanner) << c.active;
        EXPECT_EQ(panels.recoveryBanner, c.recoveryBanner) << c.pending;
    }
}

TEST(LibraryPresenterTest, SectionCountsIgnoreTheSearchAndKeepTrashedItemsToTheTrash)
{
    const std::vector<CaptureItem> items = {
        item(CaptureKind::image, false, false), item(CaptureKind::image, true, false),
        item(CaptureKind::video, false, false), item(CaptureKind::video, true, true), // a trashed favourite
        item(CaptureKind::image, false, true),
    };
    EXPECT_EQ(LibraryPresenter::count(LibrarySection::all, items), 3);
    EXPECT_EQ(LibraryPresenter::count(LibrarySection::images, items), 2);
    EXPECT_EQ(LibraryPresenter::count(LibrarySection::videos, items), 1);
    EXPECT_EQ(LibraryPresenter::count(LibrarySection::favorites, items), 1);
    EXPECT_EQ(LibraryPresenter::count(LibrarySection::trash, items), 2);
    EXPECT_EQ(LibraryPresenter::count(LibrarySection::trash, {}), 0);
}

TEST(LibraryPresenterTest, EmptyStatesSayWhyNothingIsShownAndOfferStartingPointsOnlyForAnEmptyLibrary)
{
    struct Case {
        LibrarySection section;
        QString search;
        int active;
        QString symbol, title, hint;
        bool buttons;
    };
    const QString searchHint = QStringLiteral("다른 단어를 입력하거나 검색 조건을 줄여 보세요.");
    const QString startHint = QStringLiteral("이미지를 끌어 놓거나, 영역 캡처로 시작하세요.");
    const QString noMatch = QStringLiteral("일치하는 캡처가 없습니다");
    const QString first = QStringLiteral("첫 번째 순간을 담아보세요");
    const QString emptyTrash = QStringLiteral("휴지통이 비어 있습니다");
    const QString glass = QStringLiteral("magnifyingglass");
    const QString photo = QStringLiteral("photo.badge.plus");
    const Case cases[] = {
        {LibrarySection::all, {}, 0, photo, first, startHint, true},
        {LibrarySection::all, QStringLiteral("zzz"), 0, glass, noMatch, searchHint, true},
        {LibrarySection::all, QStringLiteral("zzz"), 4, glass, noMatch, searchHint, false},
        {LibrarySection::trash, {}, 0, photo, emptyTrash, startHint, false},
        {LibrarySection::trash, QStringLiteral("a"), 0, glass, noMatch, searchHint, false},
        {LibrarySection::videos, {}, 2, photo, first, startHint, false},
        {LibrarySection::favorites, {}, 0, photo, first, startHint, false},
    };
    for (const Case &c : cases) {
        ContentsFacts facts;
        facts.section = c.section;
        facts.searchText = c.search;
        facts.activeCount = c.active;
        facts.libraryReady = true;
        const auto state = LibraryPresenter::contents(facts);
        EXPECT_TRUE(state.emptyShown);
        EXPECT_EQ(state.emptySymbol, c.symbol);
        EXPECT_EQ(state.emptyTitle, c.title);
        EXPECT_EQ(state.emptyHint, c.hint);
        EXPECT_EQ(state.emptyButtonsShown, c.buttons) << int(c.section) << " " << c.active;
    }
}

TEST(LibraryPresenterTest, SelectAllAndTheStartingButtonsTurnOffWhileBusyOrLoading)
{
    struct Case {
        bool busy, ready;
        int visible, selected;
        bool allSelected;
        bool selectAll, startButtons;
    };
    const Case cases[] = {
        {false, true, 3, 0, false, true, true},  {false, true, 3, 2, false, true, true},
        {false, true, 3, 3, true, false, true},  {false, true, 0, 0, false, false, true},
        {true, true, 3, 0, false, false, false}, {false, false, 3, 0, false, false, false},
    };
    for (const Case &c : cases) {
        ContentsFacts facts;
        facts.isBusy = c.busy;
        facts.libraryReady = c.ready;
        facts.visibleCount = c.visible;
        facts.selectedCount = c.selected;
        facts.allVisibleSelected = c.allSelected;
        const auto state = LibraryPresenter::contents(facts);
        EXPECT_EQ(state.selectAllEnabled, c.selectAll) << c.busy << c.ready << c.visible << c.selected;
        EXPECT_EQ(state.emptyButtonsEnabled, c.startButtons);
        EXPECT_EQ(state.selectionBarShown, c.selected > 0);
        EXPECT_EQ(state.emptyShown, c.visible == 0);
    }
}

TEST(LibraryPresenterTest, HeaderAndSelectionBarFollowTheSectionAndSearch)
{
    for (LibrarySection section : allCases<LibrarySection>()) {
        for (const QString &search : {QString(), QStringLiteral("tag:ui")}) {
            ContentsFacts facts;
            facts.section = section;
            facts.searchText = search;
            facts.visibleCount = 12;
            facts.selectedCount = 3;
            facts.newestFirst = section != LibrarySection::videos;
            const auto state = LibraryPresenter::contents(facts);
            EXPECT_EQ(state.title, search.isEmpty() ? QStringLiteral("최근 캡처") : QStringLiteral("검색 결과"));
            EXPECT_EQ(state.count, QStringLiteral("12"));
            EXPECT_EQ(state.newCaptureShown, section != LibrarySection::all);
            EXPECT_EQ(state.restoreShown, section == LibrarySection::trash);
            EXPECT_EQ(state.selectionCount, QStringLiteral("3개 선택됨"));
            EXPECT_EQ(state.sortLabel, facts.newestFirst ? QStringLiteral("최신순") : QStringLiteral("오래된순"));
        }
    }
}

TEST(LibraryPresenterTest, StatusStripCountsActiveItemsAndAllStoredBytes)
{
    EXPECT_EQ(LibraryPresenter::libraryStats(0, 0), QStringLiteral("0 ITEMS  ·  0 KB"));
    EXPECT_EQ(LibraryPresenter::libraryStats(6, 880'000), QStringLiteral("6 ITEMS  ·  880 KB"));
    EXPECT_EQ(LibraryPresenter::libraryStats(10000, 12'345'678'901), QStringLiteral("10000 ITEMS  ·  12.35 GB"));
}

TEST(LibraryPresenterTest, SizeTextsShowPixelsForImagesAndDurationsOnlyOnVideoCards)
{
    CaptureItem image = item(CaptureKind::image, false, false);
    image.width = 1920;
    image.height = 1080;
    CaptureItem video = item(CaptureKind::video, false, false);
    video.width = 1280;
    video.height = 720;
    CaptureItem timed = video;
    timed.duration = 3725.9;
    CaptureItem sample = image;
    sample.isSample = true;
    EXPECT_EQ(LibraryPresenter::cardSize(image), QStringLiteral("1920 × 1080"));
    EXPECT_EQ(LibraryPresenter::cardSize(video), QStringLiteral("00:00"));
    EXPECT_EQ(LibraryPresenter::cardSize(timed), QStringLiteral("1:02:05"));
    EXPECT_EQ(LibraryPresenter::rowSize(timed), QStringLiteral("1280 × 720"));
    EXPECT_EQ(LibraryPresenter::rowSize(sample), QStringLiteral("SAMPLE · 1920 × 1080"));
}

} // namespace
} // namespace tarn
