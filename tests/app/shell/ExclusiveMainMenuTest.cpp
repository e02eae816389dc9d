// SPDX-License-Identifier: GPL-3.0-or-later
#include <set>

#include <QApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include "app/shell/MainMenu.h"
#include "app/shell/StatusMenu.h"

namespace tarn {
namespace {

// A window that answers every responder action and writes down what it was asked to do.
class ResponderWindow : public QMainWindow, public MenuResponder {
public:
    bool answers(ResponderAction) const override { return true; }
    void perform(ResponderAction action) override { performed.push_back(action); }
    std::vector<ResponderAction> performed;
};

// One line per menu entry: "menu | title | keys | target", "menu | -" for a separator.
QStringList describe(const QList<QAction *> &actions, const QString &menu, const std::map<QAction *, QString> &targets)
{
    QStringList lines;
    for (QAction *action : actions) {
        if (action->isSeparator()) {
            lines << menu + QStringLiteral(" | -");
            continue;
        }
        const auto target = targets.find(action);
        lines << menu + QStringLiteral(" | ") + action->text() + QStringLiteral(" | ") + action->shortcut().toString() +
                QStringLiteral(" | ") + (target == targets.end() ? QStringLiteral("?") : target->second);
    }
    return lines;
}

bool activate(QWidget *window)
{
    window->show();
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

TEST(ExclusiveMainMenu, EveryMenuEntryWithItsKeysAndWhereItGoes)
{
    MainMenu menu;
    ResponderWindow window;
    QMenuBar *bar = menu.attach(&window);
    ASSERT_TRUE(activate(&window));

    // Where each entry goes: trigger it and see which command or responder action arrives.
    std::map<QAction *, QString> targets;
    QSignalSpy commands(&menu, &MainMenu::commandTriggered);
    for (QAction *top : bar->actions()) {
        for (QAction *action : top->menu()->actions()) {
            if (action->isSeparator())
                continue;
            commands.clear();
            window.performed.clear();
            menu.refreshResponders();
            action->trigger();
            if (commands.count() == 1)
                targets[action] =
                    QStringLiteral("command ") + QString::number(int(commands.front().front().value<AppCommand>()));
            else if (window.performed.size() == 1)
                targets[action] = QStringLiteral("responder ") + QString::number(int(window.performed.front()));
        }
    }
    QStringList lines;
    for (QAction *top : bar->actions())
        lines << describe(top->menu()->actions().mid(0, top->text() == QStringLiteral("윈도우") ? 2 : 99), top->text(),
                          targets);

    const auto command = [](AppCommand c) { return QStringLiteral("command ") + QString::number(int(c)); };
    const auto responder = [](ResponderAction r) { return QStringLiteral("responder ") + QString::number(int(r)); };
    using C = AppCommand;
    using R = ResponderAction;
    const QStringList expected{
        QStringLiteral("Tarnwick | Tarnwick에 관하여 |  | ") + command(C::showAbout),
        QStringLiteral("Tarnwick | -"),
        QStringLiteral("Tarnwick | 설정… | Ctrl+, | ") + command(C::showSettings),
        QStringLiteral("Tarnwick | -"),
        QStringLiteral("Tarnwick | Tarnwick 가리기 | Ctrl+H | ") + command(C::hide),
        QStringLiteral("Tarnwick | Tarnwick 종료 | Ctrl+Q | ") + command(C::quit),
        QStringLiteral("파일 | 영역 캡처 | Ctrl+Shift+1 | ") + command(C::captureRegion),
        QStringLiteral("파일 | 윈도우 캡처 | Ctrl+Shift+2 | ") + command(C::captureWindow),
        QStringLiteral("파일 | 전체 화면 캡처 | Ctrl+Shift+3 | ") + command(C::captureDisplay),
        QStringLiteral("파일 | 화면 녹화… | Ctrl+Shift+4 | ") + command(C::record),
        QStringLiteral("파일 | 텍스트 추출 | Ctrl+Shift+5 | ") + command(C::captureText),
        QStringLiteral("파일 | -"),
        QStringLiteral("파일 | 파일 가져오기… | Ctrl+O | ") + command(C::importFiles),
        QStringLiteral("파일 | 편집 저장 | Ctrl+S | ") + responder(R::save),
        QStringLiteral("파일 | 편집 이미지 내보내기… | Ctrl+Shift+S | ") + responder(R::exportImage),
        QStringLiteral("파일 | -"),
        QStringLiteral("파일 | 창 닫기 | Ctrl+W | ") + responder(R::close),
        QStringLiteral("편집 | 실행 취소 | Ctrl+Z | ") + responder(R::undo),
        QStringLiteral("편집 | 다시 실행 | Ctrl+Shift+Z | ") + responder(R::redo),
        QStringLiteral("편집 | -"),
        QStringLiteral("편집 | 잘라내기 | Ctrl+X | ") + responder(R::cut),
        QStringLiteral("편집 | 복사 | Ctrl+C | ") + responder(R::copy),
        QStringLiteral("편집 | 붙여넣기 | Ctrl+V | ") + responder(R::paste),
        QStringLiteral("편집 | 전체 선택 | Ctrl+A | ") + responder(R::selectAll),
        QStringLiteral("편집 | -"),
        QStringLiteral("편집 | 라이브러리 검색 | Ctrl+F | ") + command(C::search),
        QStringLiteral("윈도우 | 라이브러리 열기 | Ctrl+0 | ") + command(C::showLibrary),
        QStringLiteral("윈도우 | 고정 이미지 모두 닫기 |  | ") + command(C::closePins),
        QStringLiteral("도움말 | 단축키 가이드 |  | ") + command(C::showShortcuts),
        QStringLiteral("도움말 | 화면 기록 권한 설정 |  | ") + command(C::showPermissions),
    };
    EXPECT_EQ(lines, expected);

    // No two actions of the window share a key: Qt would then fire neither.
    std::set<QString> keys;
    for (QAction *action : window.findChildren<QAction *>() + menu.findChildren<QAction *>()) {
        if (!action->shortcut().isEmpty()) {
            EXPECT_TRUE(keys.insert(action->shortcut().toString()).second)
                << action->shortcut().toString().toStdString();
        }
    }
}

TEST(ExclusiveMainMenu, ResponderItemsAreEnabledOnlyWhileTheFocusedWindowAnswersThem)
{
    MainMenu menu;
    QMainWindow plain;
    menu.attach(&plain);
    auto *field = new QLineEdit(QStringLiteral("some text"), &plain);
    plain.setCentralWidget(field);
    field->setFocusPolicy(Qt::ClickFocus);
    ResponderWindow editor;
    menu.attach(&editor);

    const auto enabled = [&menu] {
        QStringList on;
        for (ResponderAction action : {ResponderAction::save, ResponderAction::exportImage, ResponderAction::undo,
                                       ResponderAction::redo, ResponderAction::cut, ResponderAction::copy,
                                       ResponderAction::paste, ResponderAction::selectAll, ResponderAction::close})
            if (menu.action(action)->isEnabled())
                on << menu.action(action)->text();
        return on.join(QLatin1Char(','));
    };

    ASSERT_TRUE(activate(&plain));
    plain.setFocus();
    menu.refreshResponders();
    EXPECT_EQ(enabled(), QStringLiteral("창 닫기")) << "a window without an editor only closes";

    field->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return field->hasFocus(); }));
    EXPECT_EQ(enabled(), QStringLiteral("잘라내기,복사,붙여넣기,전체 선택,창 닫기"));
    menu.action(ResponderAction::selectAll)->trigger();
    EXPECT_EQ(field->selectedText(), QStringLiteral("some text"));
    menu.action(ResponderAction::cut)->trigger();
    menu.refreshResponders(); // as opening a menu does: undo has become possible in the field
    EXPECT_EQ(enabled(), QStringLiteral("실행 취소,잘라내기,복사,붙여넣기,전체 선택,창 닫기"));

    ASSERT_TRUE(activate(&editor));
    EXPECT_EQ(enabled(),
              QStringLiteral("편집 저장,편집 이미지 내보내기…,실행 취소,다시 실행,잘라내기,복사,붙여넣기,"
                             "전체 선택,창 닫기"));
    // Ctrl+S from the keyboard reaches the focused editor once.
    QTest::keyClick(&editor, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(editor.performed, std::vector<ResponderAction>{ResponderAction::save});

    // 윈도우 lists the open windows when it opens.
    plain.setWindowTitle(QStringLiteral("plain window"));
    editor.setWindowTitle(QStringLiteral("editor window"));
    QMenu *windows = editor.menuBar()->actions().at(3)->menu();
    Q_EMIT windows->aboutToShow();
    QStringList listed;
    for (QAction *action : windows->actions().mid(3))
        listed << action->text() + (action->isChecked() ? QStringLiteral("*") : QString());
    listed.sort();
    EXPECT_EQ(listed, (QStringList{QStringLiteral("editor window*"), QStringLiteral("plain window")}));
}

TEST(ExclusiveMainMenu, TheStatusMenuIsRebuiltEvenUnderItsOwnTriggerAndOnlyShowsTheHotKeys)
{
    StatusMenu status;
    QSignalSpy commands(&status, &StatusMenu::commandTriggered);
    status.rebuild(false);
    for (QAction *action : status.menu()->actions())
        EXPECT_TRUE(action->shortcut().isEmpty() || action->shortcutContext() == Qt::WidgetShortcut);
    EXPECT_EQ(status.menu()->actions().at(5)->text(), QStringLiteral("화면 녹화…"));
    // Stopping from the menu changes the state, which rebuilds the menu under the running trigger.
    QObject::connect(&status, &StatusMenu::commandTriggered, &status, [&status] { status.rebuild(true); });
    status.menu()->actions().at(5)->trigger();
    EXPECT_EQ(status.menu()->actions().at(5)->text(), QStringLiteral("녹화 종료 및 저장"));
    ASSERT_EQ(commands.count(), 1);
    EXPECT_EQ(commands.front().front().value<AppCommand>(), AppCommand::record);
}

} // namespace
} // namespace tarn
