// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAction>
#include <QMenu>

#include <gtest/gtest.h>

#include "app/library/CaptureMenu.h"

namespace tarn {
namespace {

// The entries as one line of text: titles with "|" for a divider, and the commands.
std::pair<QString, std::vector<CaptureCommand>> describe(const std::vector<CaptureMenuEntry> &entries)
{
    QStringList titles;
    std::vector<CaptureCommand> commands;
    for (const CaptureMenuEntry &entry : entries) {
        titles << (entry.divider ? QStringLiteral("|") : entry.title);
        if (!entry.divider)
            commands.push_back(entry.command);
    }
    return {titles.join(QLatin1Char(',')), commands};
}

TEST(CaptureMenuTest, EntriesFollowKindTrashFavouriteAndSelection)
{
    using C = CaptureCommand;
    struct Case {
        CaptureKind kind;
        bool trashed;
        bool favorite;
        int othersSelected; // selected captures besides this one
        bool selfSelected;
        QString titles;
        std::vector<CaptureCommand> commands;
    };
    const Case cases[] = {
        {CaptureKind::image,
         false,
         false,
         0,
         false,
         QStringLiteral("편집하기,복사,파일로 내보내기…,화면 위에 고정,|,즐겨찾기,|,휴지통으로 이동"),
         {C::open, C::copy, C::exportFile, C::pin, C::favorite, C::trash}},
        {CaptureKind::video,
         false,
         true,
         0,
         false,
         QStringLiteral("영상 재생,복사,파일로 내보내기…,|,즐겨찾기 해제,|,휴지통으로 이동"),
         {C::open, C::copy, C::exportFile, C::favorite, C::trash}},
        // Only this capture selected: the entry is about this one.
        {CaptureKind::image,
         false,
         false,
         0,
         true,
         QStringLiteral("편집하기,복사,파일로 내보내기…,화면 위에 고정,|,즐겨찾기,|,휴지통으로 이동"),
         {C::open, C::copy, C::exportFile, C::pin, C::favorite, C::trash}},
        // Part of a selection of three: the entry moves all of them.
        {CaptureKind::image,
         false,
         true,
         2,
         true,
         QStringLiteral("편집하기,복사,파일로 내보내기…,화면 위에 고정,|,즐겨찾기 해제,|,선택한 3개를 휴지통으로 이동"),
         {C::open, C::copy, C::exportFile, C::pin, C::favorite, C::trashSelected}},
        // Opened on a capture outside the selection: it acts on this capture alone.
        {CaptureKind::video,
         false,
         false,
         3,
         false,
         QStringLiteral("영상 재생,복사,파일로 내보내기…,|,즐겨찾기,|,휴지통으로 이동"),
         {C::open, C::copy, C::exportFile, C::favorite, C::trash}},
        {CaptureKind::image, true, true, 0, false, QStringLiteral("라이브러리로 복원"), {C::trash}},
        {CaptureKind::video, true, false, 0, true, QStringLiteral("라이브러리로 복원"), {C::trash}},
        {CaptureKind::image, true, false, 1, true, QStringLiteral("선택한 2개 복원"), {C::restoreSelected}},
        {CaptureKind::image, true, false, 4, false, QStringLiteral("라이브러리로 복원"), {C::trash}},
    };
    for (const Case &c : cases) {
        CaptureItem item;
        item.id = Uuid::random();
        item.kind = c.kind;
        item.isFavorite = c.favorite;
        if (c.trashed)
            item.trashedAt = Date{5};
        std::set<Uuid> selection;
        for (int n = 0; n < c.othersSelected; ++n)
            selection.insert(Uuid::random());
        if (c.selfSelected)
            selection.insert(item.id);
        const auto [titles, commands] = describe(CaptureMenu::entries(item, selection));
        EXPECT_EQ(titles, c.titles);
        EXPECT_EQ(commands, c.commands) << c.titles.toStdString();
    }
}

TEST(CaptureMenuTest, TheMenuCarriesEachCommandAndMarksOnlyTheTrashEntryDestructive)
{
    CaptureItem item;
    item.id = Uuid::random();
    const std::vector<CaptureMenuEntry> entries = CaptureMenu::entries(item, {});
    for (const CaptureMenuEntry &entry : entries)
        EXPECT_EQ(entry.destructive, !entry.divider && entry.command == CaptureCommand::trash)
            << entry.title.toStdString();

    std::unique_ptr<QMenu> menu(CaptureMenu::build(entries, nullptr));
    const QList<QAction *> actions = menu->actions();
    ASSERT_EQ(actions.size(), qsizetype(entries.size()));
    for (qsizetype n = 0; n < actions.size(); ++n) {
        EXPECT_EQ(actions[n]->isSeparator(), entries[size_t(n)].divider);
        if (!entries[size_t(n)].divider) {
            EXPECT_EQ(CaptureMenu::command(actions[n]), entries[size_t(n)].command);
        }
    }
}

} // namespace
} // namespace tarn
