// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/shell/MainMenu.h"

#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QWindow>

#include "app/flows/AppWindows.h"
#include "app/shell/ResponderChain.h"

namespace tarn {

namespace {

using R = ResponderAction;
using C = AppCommand;

MainMenu::Entry separator() { return {}; }

QKeySequence ctrl(Qt::Key key) { return QKeySequence(Qt::CTRL | key); }
QKeySequence ctrlShift(Qt::Key key) { return QKeySequence(Qt::CTRL | Qt::SHIFT | key); }

const QString windowMenuTitle = QStringLiteral("윈도우");

} // namespace

// The other platform's Command key is Ctrl here, and both of its Command-Shift and
// Control-Shift are Ctrl+Shift; no two items share a key.
const std::vector<MainMenu::Menu> &MainMenu::layout()
{
    static const std::vector<Menu> menus{
        {QStringLiteral("Tarnwick"),
         {
             {QStringLiteral("Tarnwick에 관하여"), C::showAbout, {}},
             separator(),
             {QStringLiteral("설정…"), C::showSettings, ctrl(Qt::Key_Comma)},
             separator(),
             {QStringLiteral("Tarnwick 가리기"), C::hide, ctrl(Qt::Key_H)},
             {QStringLiteral("Tarnwick 종료"), C::quit, ctrl(Qt::Key_Q)},
         }},
        {QStringLiteral("파일"),
         {
             {QStringLiteral("영역 캡처"), C::captureRegion, ctrlShift(Qt::Key_1)},
             {QStringLiteral("윈도우 캡처"), C::captureWindow, ctrlShift(Qt::Key_2)},
             {QStringLiteral("전체 화면 캡처"), C::captureDisplay, ctrlShift(Qt::Key_3)},
             {QStringLiteral("화면 녹화…"), C::record, ctrlShift(Qt::Key_4)},
             {QStringLiteral("텍스트 추출"), C::captureText, ctrlShift(Qt::Key_5)},
             separator(),
             {QStringLiteral("파일 가져오기…"), C::importFiles, ctrl(Qt::Key_O)},
             {QStringLiteral("편집 저장"), R::save, ctrl(Qt::Key_S)},
             {QStringLiteral("편집 이미지 내보내기…"), R::exportImage, ctrlShift(Qt::Key_S)},
             separator(),
             {QStringLiteral("창 닫기"), R::close, ctrl(Qt::Key_W)},
         }},
        {QStringLiteral("편집"),
         {
             {QStringLiteral("실행 취소"), R::undo, ctrl(Qt::Key_Z)},
             {QStringLiteral("다시 실행"), R::redo, ctrlShift(Qt::Key_Z)},
             separator(),
             {QStringLiteral("잘라내기"), R::cut, ctrl(Qt::Key_X)},
             {QStringLiteral("복사"), R::copy, ctrl(Qt::Key_C)},
             {QStringLiteral("붙여넣기"), R::paste, ctrl(Qt::Key_V)},
             {QStringLiteral("전체 선택"), R::selectAll, ctrl(Qt::Key_A)},
             separator(),
             {QStringLiteral("라이브러리 검색"), C::search, ctrl(Qt::Key_F)},
         }},
        {windowMenuTitle,
         {
             {QStringLiteral("라이브러리 열기"), C::showLibrary, ctrl(Qt::Key_0)},
             {QStringLiteral("고정 이미지 모두 닫기"), C::closePins, {}},
         }},
        {QStringLiteral("도움말"),
         {
             {QStringLiteral("단축키 가이드"), C::showShortcuts, {}},
             {QStringLiteral("화면 기록 권한 설정"), C::showPermissions, {}},
         }},
    };
    return menus;
}

MainMenu::MainMenu(QObject *parent) : QObject(parent)
{
    for (const Menu &menu : layout()) {
        for (const Entry &entry : menu.entries) {
            if (const auto *command = std::get_if<AppCommand>(&entry.target)) {
                auto *action = new QAction(entry.title, this);
                action->setShortcut(entry.keys);
                connect(action, &QAction::triggered, this, [this, c = *command] { Q_EMIT commandTriggered(c); });
                commands_[*command] = action;
            } else if (const auto *responder = std::get_if<ResponderAction>(&entry.target)) {
                auto *action = new QAction(entry.title, this);
                action->setShortcut(entry.keys);
                action->setEnabled(false);
                connect(action, &QAction::triggered, this, [r = *responder] { ResponderChain::perform(r); });
                responders_[*responder] = action;
            }
        }
    }
    connect(qApp, &QApplication::focusChanged, this, &MainMenu::refreshResponders);
    connect(qApp, &QGuiApplication::focusWindowChanged, this, &MainMenu::refreshResponders);
}

MainMenu::~MainMenu() = default;

void MainMenu::lendKeys(QWidget *window) const
{
    for (const auto &[command, action] : commands_)
        window->addAction(action);
    for (const auto &[responder, action] : responders_)
        window->addAction(action);
}

QAction *MainMenu::action(AppCommand command) const { return commands_.at(command); }

QAction *MainMenu::action(ResponderAction action) const { return responders_.at(action); }

QMenuBar *MainMenu::attach(QMainWindow *window)
{
    auto *bar = new QMenuBar(window);
    for (const Menu &menu : layout())
        bar->addMenu(buildMenu(menu, bar));
    window->setMenuBar(bar);
    return bar;
}

QMenu *MainMenu::buildMenu(const Menu &layout, QWidget *parent)
{
    auto *menu = new QMenu(layout.title, parent);
    for (const Entry &entry : layout.entries) {
        if (const auto *command = std::get_if<AppCommand>(&entry.target))
            menu->addAction(commands_.at(*command));
        else if (const auto *responder = std::get_if<ResponderAction>(&entry.target))
            menu->addAction(responders_.at(*responder));
        else
            menu->addSeparator();
    }
    connect(menu, &QMenu::aboutToShow, this, &MainMenu::refreshResponders);
    if (layout.title == windowMenuTitle) {
        const int fixed = int(menu->actions().size());
        connect(menu, &QMenu::aboutToShow, this, [this, menu, fixed] { listWindows(menu, fixed); });
    }
    return menu;
}

// The fixed items, a separator and one item per open window; the active window is checked.
void MainMenu::listWindows(QMenu *menu, int fixedCount)
{
    const QList<QAction *> items = menu->actions();
    for (qsizetype i = fixedCount; i < items.size(); ++i) {
        menu->removeAction(items[i]);
        if (items[i]->parent() == menu)
            items[i]->deleteLater();
    }
    std::vector<QWidget *> windows;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        const Qt::WindowType type = widget->windowType();
        if (widget->isVisible() && (type == Qt::Window || type == Qt::Dialog) && !widget->windowTitle().isEmpty())
            windows.push_back(widget);
    }
    if (windows.empty())
        return;
    menu->addSeparator();
    for (QWidget *window : windows) {
        auto *item = new QAction(window->windowTitle(), menu);
        item->setCheckable(true);
        item->setChecked(window == QApplication::activeWindow());
        connect(item, &QAction::triggered, window, [window] { AppWindows::bringForward(window); });
        menu->addAction(item);
    }
}

void MainMenu::refreshResponders()
{
    for (const auto &[responder, action] : responders_)
        action->setEnabled(ResponderChain::answers(responder));
}

} // namespace tarn
