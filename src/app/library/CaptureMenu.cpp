// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/library/CaptureMenu.h"

#include <QMenu>

#include "app/library/ViewKit.h"
#include "app/widgets/Palette.h"
#include "app/widgets/Theme.h"

namespace tarn::CaptureMenu {

namespace {

CaptureMenuEntry entry(const QString &title, const QString &symbol, CaptureCommand command, bool destructive = false)
{
    return CaptureMenuEntry{false, title, symbol, command, destructive};
}

const CaptureMenuEntry divider{true, {}, {}, CaptureCommand::open, false};

} // namespace

std::vector<CaptureMenuEntry> entries(const CaptureItem &item, const std::set<Uuid> &selection)
{
    const bool appliesToSelection = selection.size() >= 2 && selection.count(item.id) > 0;
    const QString selected = QString::number(selection.size());
    if (item.trashedAt) {
        if (appliesToSelection)
            return {entry(QStringLiteral("선택한 ") + selected + QStringLiteral("개 복원"),
                          QStringLiteral("arrow.uturn.backward"), CaptureCommand::restoreSelected)};
        return {
            entry(QStringLiteral("라이브러리로 복원"), QStringLiteral("arrow.uturn.backward"), CaptureCommand::trash)};
    }
    const bool video = item.kind == CaptureKind::video;
    std::vector<CaptureMenuEntry> out;
    out.push_back(video
                      ? entry(QStringLiteral("영상 재생"), QStringLiteral("play"), CaptureCommand::open)
                      : entry(QStringLiteral("편집하기"), QStringLiteral("slider.horizontal.3"), CaptureCommand::open));
    out.push_back(entry(QStringLiteral("복사"), QStringLiteral("doc.on.doc"), CaptureCommand::copy));
    out.push_back(
        entry(QStringLiteral("파일로 내보내기…"), QStringLiteral("square.and.arrow.up"), CaptureCommand::exportFile));
    if (!video)
        out.push_back(entry(QStringLiteral("화면 위에 고정"), QStringLiteral("pin"), CaptureCommand::pin));
    out.push_back(divider);
    out.push_back(entry(item.isFavorite ? QStringLiteral("즐겨찾기 해제") : QStringLiteral("즐겨찾기"),
                        QStringLiteral("star"), CaptureCommand::favorite));
    out.push_back(divider);
    if (appliesToSelection)
        out.push_back(entry(QStringLiteral("선택한 ") + selected + QStringLiteral("개를 휴지통으로 이동"),
                            QStringLiteral("trash"), CaptureCommand::trashSelected, true));
    else
        out.push_back(entry(QStringLiteral("휴지통으로 이동"), QStringLiteral("trash"), CaptureCommand::trash, true));
    return out;
}

QMenu *build(const std::vector<CaptureMenuEntry> &entries, QWidget *parent)
{
    auto *menu = new QMenu(parent);
    const qreal ratio = parent ? parent->devicePixelRatioF() : 1.0;
    for (const CaptureMenuEntry &line : entries) {
        if (line.divider) {
            menu->addSeparator();
            continue;
        }
        const QColor tint = line.destructive ? Palette::coral : Palette::text;
        QAction *action = menu->addAction(QIcon(ViewKit::symbol(line.symbol, tint, 14, ratio)), line.title);
        action->setData(int(line.command));
    }
    return menu;
}

CaptureCommand command(const QAction *action) { return CaptureCommand(action->data().toInt()); }

} // namespace tarn::CaptureMenu
