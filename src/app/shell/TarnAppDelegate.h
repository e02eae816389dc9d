// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <optional>

#include <QObject>
#include <QPointer>
#include <QString>

#include <qcoro/qcorotask.h>

#include "app/capture/RecordingService.h"
#include "app/library/LibrarySection.h"
#include "app/shell/AppCommand.h"

class QMessageBox;

namespace tarn {

class AppModel;
class DialogChain;
class DialogsInFront;
class HotKeyManager;
class LibraryLease;
class LibraryWindow;
class MainMenu;
class QuitController;
class StatusItem;
class StatusMenu;
class TerminationSignals;

// Owns everything that lives as long as the process: the application model, the global hot
// keys, the menus, the library window, the status item and, once the start-up task has taken
// it, the library lease (held until the process ends). `applicationDidFinishLaunching` builds
// them in order and starts the start-up task, which locks and loads the library and, in a UI
// smoke run, drives the smoke run to its end. Every menu item, status-menu item and hot key
// arrives at `perform`.
class TarnAppDelegate : public QObject {
    Q_OBJECT

public:
    static QString statusToolTip(); // "Tarnwick · Ctrl+Shift+1 영역 캡처"

    TarnAppDelegate(const QString &root, bool demo, std::optional<QString> smokeOutput, QObject *parent = nullptr);
    ~TarnAppDelegate() override;

    // The launch sequence: appearance, menus, library window, status item, hot keys, the
    // recorder's state, the start-up task, and the library window brought forward at once
    // (without waiting for the library).
    void applicationDidFinishLaunching();

    // Carries out one command of the menus, the status menu or the hot keys.
    void perform(AppCommand command);
    // Registers the hot keys anew when the preference is on and this is no UI smoke run; the
    // keys that failed go to the model's shortcut failures.
    void configureHotKeys();
    void showAbout();

    AppModel &app() const { return *app_; }
    HotKeyManager &hotKeys() const { return *hotKeys_; }
    MainMenu *mainMenu() const { return mainMenu_.get(); }
    StatusMenu *statusMenu() const { return statusMenu_.get(); }
    StatusItem *statusItem() const { return statusItem_.get(); }
    LibraryWindow *libraryWindow() const { return libraryWindow_.get(); }
    QuitController *quitController() const { return quit_.get(); }
    bool holdsLease() const { return libraryLease_ != nullptr; }

Q_SIGNALS:
    // A command is about to be carried out.
    void performing(tarn::AppCommand command);
    // The start-up task of an ordinary run is over: the library is loaded, or the lease or the
    // load failed and the error is shown.
    void startUpFinished();
    // The process should end with this status (the quit decision approved, or a UI smoke run
    // ended). Standard error already holds any message.
    void exitRequested(int status);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createMenus();
    void createWindow();
    void createStatusItem();
    void followRecorder(RecordingService::State state);
    void installQuitPaths();
    QCoro::Task<> startUp();
    void failSmokeRun(const QString &description);
    void openSheet(AppSheet sheet);
    void hideWindows();

    std::unique_ptr<DialogsInFront> dialogsInFront_;
    std::unique_ptr<DialogChain> dialogChain_;
    std::unique_ptr<HotKeyManager> hotKeys_;
    std::unique_ptr<AppModel> app_;
    std::unique_ptr<MainMenu> mainMenu_;
    std::unique_ptr<LibraryWindow> libraryWindow_;
    std::unique_ptr<StatusMenu> statusMenu_;
    std::unique_ptr<StatusItem> statusItem_;
    std::unique_ptr<QuitController> quit_;
    std::unique_ptr<TerminationSignals> signals_;
    std::unique_ptr<LibraryLease> libraryLease_;
    std::optional<QString> smokeOutput_;
    QPointer<QMessageBox> about_;
};

} // namespace tarn
