// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/shell/StatusMenu.h"

#include <QAction>
#include <QMenu>

namespace tarn {

StatusMenu::StatusMenu(QObject *parent) : QObject(parent), menu_(std::make_unique<QMenu>())
{
    connect(menu_.get(), &QMenu::aboutToShow, this, &StatusMenu::aboutToShow);
}

StatusMenu::~StatusMenu() = default;

void StatusMenu::rebuild(bool recording)
{
    // An item may be the one whose trigger is being handled (stopping a recording changes the
    // state, which rebuilds the menu): take the items out now and delete them from the event loop.
    for (QAction *action : menu_->actions()) {
        menu_->removeAction(action);
        action->deleteLater();
    }

    const auto add = [this](const QString &title, AppCommand command, int digit = 0) {
        auto *action = new QAction(title, menu_.get());
        if (digit > 0) {
            action->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key(Qt::Key_0 + digit)));
            action->setShortcutContext(Qt::WidgetShortcut);
        }
        connect(action, &QAction::triggered, this, [this, command] { Q_EMIT commandTriggered(command); });
        menu_->addAction(action);
    };
    add(QStringLiteral("Tarnwick 라이브러리"), AppCommand::showLibrary);
    menu_->addSeparator();
    add(QStringLiteral("영역 캡처"), AppCommand::captureRegion, 1);
    add(QStringLiteral("윈도우 캡처"), AppCommand::captureWindow, 2);
    add(QStringLiteral("전체 화면"), AppCommand::captureDisplay, 3);
    add(recording ? QStringLiteral("녹화 종료 및 저장") : QStringLiteral("화면 녹화…"), AppCommand::record, 4);
    add(QStringLiteral("영역 텍스트 추출"), AppCommand::captureText, 5);
    menu_->addSeparator();
    add(QStringLiteral("고정 이미지 모두 닫기"), AppCommand::closePins);
    add(QStringLiteral("설정…"), AppCommand::showSettings);
    add(QStringLiteral("종료"), AppCommand::quit);
}

} // namespace tarn
