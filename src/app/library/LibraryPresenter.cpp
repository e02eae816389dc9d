// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/library/LibraryPresenter.h"

#include <algorithm>

#include <QLocale>

#include "app/widgets/DisplayFormat.h"

namespace tarn::LibraryPresenter {

QString title(LibrarySection section)
{
    switch (section) {
    case LibrarySection::all:
        return QStringLiteral("모든 캡처");
    case LibrarySection::images:
        return QStringLiteral("스크린샷");
    case LibrarySection::videos:
        return QStringLiteral("화면 녹화");
    case LibrarySection::favorites:
        return QStringLiteral("즐겨찾기");
    case LibrarySection::trash:
        return QStringLiteral("휴지통");
    }
    return {};
}

QString symbol(LibrarySection section)
{
    switch (section) {
    case LibrarySection::all:
        return QStringLiteral("square.grid.2x2");
    case LibrarySection::images:
        return QStringLiteral("photo");
    case LibrarySection::videos:
        return QStringLiteral("video");
    case LibrarySection::favorites:
        return QStringLiteral("star");
    case LibrarySection::trash:
        return QStringLiteral("trash");
    }
    return {};
}

int count(LibrarySection section, const std::vector<CaptureItem> &items)
{
    return int(std::count_if(items.begin(), items.end(),
                             [section](const CaptureItem &item) { return includes(section, item); }));
}

Panels panels(LibrarySection section, const QString &searchText, bool screenPermission, int activeCount,
              int pendingRecordingCount)
{
    return Panels{
        section == LibrarySection::all && searchText.isEmpty(),
        !screenPermission && activeCount >= 1,
        pendingRecordingCount >= 1,
    };
}

namespace {

void decideEmptyState(const ContentsFacts &facts, Contents &out)
{
    const bool searching = !facts.searchText.isEmpty();
    out.emptySymbol = searching ? QStringLiteral("magnifyingglass") : QStringLiteral("photo.badge.plus");
    if (searching)
        out.emptyTitle = QStringLiteral("일치하는 캡처가 없습니다");
    else if (facts.section == LibrarySection::trash)
        out.emptyTitle = QStringLiteral("휴지통이 비어 있습니다");
    else
        out.emptyTitle = QStringLiteral("첫 번째 순간을 담아보세요");
    out.emptyHint = searching ? QStringLiteral("다른 단어를 입력하거나 검색 조건을 줄여 보세요.")
                              : QStringLiteral("이미지를 끌어 놓거나, 영역 캡처로 시작하세요.");
    out.emptyButtonsShown = facts.activeCount == 0 && facts.section == LibrarySection::all;
    out.emptyButtonsEnabled = !facts.isBusy && facts.libraryReady;
}

} // namespace

Contents contents(const ContentsFacts &facts)
{
    Contents out;
    out.title = facts.searchText.isEmpty() ? QStringLiteral("최근 캡처") : QStringLiteral("검색 결과");
    out.count = QString::number(facts.visibleCount);
    out.selectAllEnabled = !facts.isBusy && facts.libraryReady && facts.visibleCount > 0 && !facts.allVisibleSelected;
    out.newCaptureShown = facts.section != LibrarySection::all;
    out.sortLabel = facts.newestFirst ? QStringLiteral("최신순") : QStringLiteral("오래된순");
    out.selectionBarShown = facts.selectedCount > 0;
    out.selectionCount = QString::number(facts.selectedCount) + QStringLiteral("개 선택됨");
    out.restoreShown = facts.section == LibrarySection::trash;
    out.emptyShown = facts.visibleCount == 0;
    decideEmptyState(facts, out);
    return out;
}

namespace {

QString pixelSize(const CaptureItem &item)
{
    return QString::number(item.width) + QStringLiteral(" × ") + QString::number(item.height);
}

} // namespace

QString cardSize(const CaptureItem &item)
{
    if (item.kind == CaptureKind::video)
        return DisplayFormat::duration(item.duration.value_or(0));
    return pixelSize(item);
}

QString rowSize(const CaptureItem &item)
{
    return (item.isSample ? QStringLiteral("SAMPLE · ") : QString()) + pixelSize(item);
}

QString cardDate(const Date &date)
{
    const QDateTime local = date.toDateTime().toLocalTime();
    const QLocale locale;
    QString time = locale.timeFormat(QLocale::ShortFormat);
    time.remove(QStringLiteral(":ss"));
    return locale.toString(local.date(), QStringLiteral("MM. dd.")) + QLatin1Char(' ') +
        locale.toString(local.time(), time);
}

QString rowDate(const Date &date)
{
    return QLocale().toString(date.toDateTime().toLocalTime().date(), QLocale::ShortFormat);
}

QString libraryStats(int activeCount, int64_t storedBytes)
{
    return QString::number(activeCount) + QStringLiteral(" ITEMS  ·  ") + DisplayFormat::byteCount(storedBytes);
}

} // namespace tarn::LibraryPresenter
