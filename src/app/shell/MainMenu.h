// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <map>
#include <variant>
#include <vector>

#include <QKeySequence>
#include <QObject>
#include <QString>

#include "app/shell/AppCommand.h"
#include "app/widgets/MenuResponder.h"

class QAction;
class QMainWindow;
class QMenu;
class QMenuBar;

namespace tarn {

// The application's menus: one set of actions for the whole process, shown in a menu bar of
// each main window (the library window and every editor window). Command items always stay
// enabled (the commands refuse work themselves when the library is not ready or busy) and are
// announced through `commandTriggered`; responder items (save, export, undo, redo, the text
// commands, close) are enabled only while the focused window answers them and go to it.
class MainMenu : public QObject {
    Q_OBJECT

public:
    // One entry of a menu: a command, a responder action, or a separator (no target).
    struct Entry {
        QString title;
        std::variant<std::monostate, AppCommand, ResponderAction> target;
        QKeySequence keys;
    };
    struct Menu {
        QString title;
        std::vector<Entry> entries;
    };
    // The five menus in their order: Tarnwick, 파일, 편집, 윈도우, 도움말.
    static const std::vector<Menu> &layout();

    explicit MainMenu(QObject *parent = nullptr);
    ~MainMenu() override;

    // Gives the window a menu bar built from the shared actions; the window owns the bar. The
    // 윈도우 menu lists the open windows each time it opens.
    QMenuBar *attach(QMainWindow *window);

    // Lets a window without a menu bar (the text and video windows, the pins) answer the
    // menu's keys as well, as if one menu bar served every window: Ctrl+W closes it, and the
    // commands' keys work while it is in front.
    void lendKeys(QWidget *window) const;

    QAction *action(AppCommand command) const;
    QAction *action(ResponderAction action) const;

    // Enables each responder item by whether the focused window answers it now. Runs on every
    // focus change and before a menu opens; a window whose answers change while it keeps the
    // focus calls it too.
    void refreshResponders();

Q_SIGNALS:
    void commandTriggered(tarn::AppCommand command);

private:
    QMenu *buildMenu(const Menu &menu, QWidget *parent);
    void listWindows(QMenu *menu, int fixedCount);

    std::map<AppCommand, QAction *> commands_;
    std::map<ResponderAction, QAction *> responders_;
};

} // namespace tarn
