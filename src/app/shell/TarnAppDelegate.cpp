// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/shell/TarnAppDelegate.h"

#include <cstdio>

#include <QApplication>
#include <QEvent>
#include <QMessageBox>
#include <QSessionManager>

#include "app/capture/OwnWindows.h"
#include "app/editor/EditorController.h"
#include "app/floating/FloatingWindows.h"
#include "app/flows/HeldClipboard.h"
#include "app/library/CaptureAction.h"
#include "app/library/LibraryView.h"
#include "app/model/AppModel.h"
#include "app/model/ProductInfo.h"
#include "app/shell/DevModes.h"
#include "app/shell/DialogsInFront.h"
#include "app/shell/LibraryBinding.h"
#include "app/shell/LibraryWindow.h"
#include "app/shell/MainMenu.h"
#include "app/shell/QuitController.h"
#include "app/shell/StatusMenu.h"
#include "app/shell/TerminationSignals.h"
#include "app/shell/TrayStatusItem.h"
#include "app/widgets/DialogChain.h"
#include "app/widgets/ErrorDescription.h"
#include "app/widgets/Notifications.h"
#include "app/widgets/Palette.h"
#include "app/widgets/Theme.h"
#include "core/library/LibraryLease.h"
#include "platform/x11/HotKeyManager.h"

namespace tarn {

namespace {

const QColor recordingRed{0xFF, 0x45, 0x3A};

// The desktop's own services, except that a smoke run copies into a clipboard of its own: it
// checks what a paste would receive and leaves the user's clipboard alone.
AppServices servicesFor(const std::optional<QString> &smokeOutput)
{
    AppServices services;
    if (smokeOutput)
        services.clipboard = std::make_unique<HeldClipboard>();
    return services;
}

} // namespace

QString TarnAppDelegate::statusToolTip() { return QStringLiteral("Tarnwick · Ctrl+Shift+1 영역 캡처"); }

TarnAppDelegate::TarnAppDelegate(const QString &root, bool demo, std::optional<QString> smokeOutput, QObject *parent)
    : QObject(parent),
      dialogsInFront_(std::make_unique<DialogsInFront>()),
      dialogChain_(std::make_unique<DialogChain>()),
      hotKeys_(std::make_unique<HotKeyManager>()),
      app_(std::make_unique<AppModel>(root, demo, servicesFor(smokeOutput))),
      smokeOutput_(std::move(smokeOutput))
{ }

TarnAppDelegate::~TarnAppDelegate()
{
    if (qApp)
        qApp->removeEventFilter(this);
    delete about_.data();
}

void TarnAppDelegate::applicationDidFinishLaunching()
{
    Theme::useDarkAppearance();
    createMenus();
    createWindow();
    createStatusItem();
    connect(hotKeys_.get(), &HotKeyManager::activated, this, [this](uint32_t identifier) {
        if (const auto command = hotKeyCommand(identifier))
            perform(*command);
    });
    connect(app_.get(), &AppModel::shortcutsChanged, this, &TarnAppDelegate::configureHotKeys);
    configureHotKeys();
    connect(&app_->recorder(), &RecordingService::stateChanged, this, &TarnAppDelegate::followRecorder);
    followRecorder(app_->recorder().state());
    installQuitPaths();
    startUp();
    app_->showLibrary();
}

// One set of actions; the library window and every editor window show them in a menu bar, and
// the floating text, video and pinned-image windows answer their keys.
void TarnAppDelegate::createMenus()
{
    mainMenu_ = std::make_unique<MainMenu>();
    connect(mainMenu_.get(), &MainMenu::commandTriggered, this, &TarnAppDelegate::perform);
    connect(app_.get(), &AppModel::editorAdded, this, [this](EditorController *editor) {
        if (auto *window = qobject_cast<QMainWindow *>(editor->window()))
            mainMenu_->attach(window);
    });
    connect(&app_->floating(), &FloatingWindows::windowOpened, mainMenu_.get(), &MainMenu::lendKeys);
}

void TarnAppDelegate::createWindow()
{
    libraryWindow_ = std::make_unique<LibraryWindow>(app_->isDemo());
    mainMenu_->attach(libraryWindow_.get());
    libraryWindow_->setCentralWidget(makeLibraryView(*app_));
    libraryWindow_->restoreFrame();
    app_->setMainWindow(libraryWindow_.get());
}

void TarnAppDelegate::createStatusItem()
{
    statusMenu_ = std::make_unique<StatusMenu>();
    connect(statusMenu_.get(), &StatusMenu::commandTriggered, this, &TarnAppDelegate::perform);
    connect(statusMenu_.get(), &StatusMenu::aboutToShow, this,
            [this] { statusMenu_->rebuild(app_->recorder().state() != RecordingService::State::idle); });
    statusItem_ = std::make_unique<TrayStatusItem>();
    statusItem_->setSymbol(QStringLiteral("viewfinder"), Palette::text);
    statusItem_->setToolTip(statusToolTip());
    statusMenu_->rebuild(false);
    statusItem_->setMenu(statusMenu_->menu());
    // A click on the item itself does what clicking the application's icon does elsewhere.
    connect(statusItem_.get(), &StatusItem::activated, app_.get(), &AppModel::showLibrary);
    statusItem_->show();
}

void TarnAppDelegate::configureHotKeys()
{
    const bool enabled = app_->preferences().globalShortcuts() && !smokeOutput_;
    app_->setShortcutFailures(hotKeys_->registerKeys(enabled));
}

// Every state but idle counts as recording, for the symbol and for the status menu's item.
void TarnAppDelegate::followRecorder(RecordingService::State state)
{
    const bool recording = state != RecordingService::State::idle;
    if (statusItem_) {
        statusItem_->setSymbol(recording ? QStringLiteral("record.circle.fill") : QStringLiteral("viewfinder"),
                               recording ? recordingRed : Palette::text);
    }
    if (statusMenu_)
        statusMenu_->rebuild(recording);
}

// The menu, the status menu, the session manager, SIGTERM, SIGINT and SIGHUP, and any quit request
// of Qt's own all end in the one quit decision. Closing the last window never quits.
void TarnAppDelegate::installQuitPaths()
{
    QApplication::setQuitOnLastWindowClosed(false);
    quit_ = std::make_unique<QuitController>(*app_);
    connect(quit_.get(), &QuitController::approved, this, [this] { Q_EMIT exitRequested(0); });
    signals_ = std::make_unique<TerminationSignals>();
    connect(signals_.get(), &TerminationSignals::received, quit_.get(),
            [this] { quit_->requestQuit(QuitController::Origin::signal); });
    connect(qApp, &QGuiApplication::commitDataRequest, quit_.get(),
            [this](QSessionManager &manager) { quit_->commitData(manager); });
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] {
        hotKeys_->unregister();
        libraryWindow_->saveFrame();
    });
    qApp->installEventFilter(this);
}

bool TarnAppDelegate::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == qApp && event->type() == QEvent::Quit && quit_) {
        quit_->requestQuit();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

// Takes the lease and loads the library. Without the lease the library is never loaded in
// this process: the model stays not ready, so its commands refuse to run, and the window shows
// the error.
QCoro::Task<> TarnAppDelegate::startUp()
{
    QPointer<TarnAppDelegate> self(this);
    try {
        libraryLease_ = std::make_unique<LibraryLease>(app_->repository().root());
    } catch (...) {
        if (smokeOutput_) {
            failSmokeRun(describe(std::current_exception()));
        } else {
            app_->showError(std::current_exception());
            Q_EMIT startUpFinished();
        }
        co_return;
    }
    co_await app_->load(libraryLease_.get());
    if (!self)
        co_return;
    if (!smokeOutput_) {
        Q_EMIT startUpFinished();
        co_return;
    }
    const QString output = *smokeOutput_;
    QString failure;
    try {
        co_await DevModes::runUISmoke(*app_, output);
    } catch (...) {
        failure = describe(std::current_exception());
    }
    if (!self)
        co_return;
    if (!failure.isNull())
        failSmokeRun(failure);
    else
        Q_EMIT exitRequested(0);
}

void TarnAppDelegate::failSmokeRun(const QString &description)
{
    std::fputs((QStringLiteral("UI smoke failed: ") + description + QLatin1Char('\n')).toUtf8().constData(), stderr);
    std::fflush(stderr);
    Q_EMIT exitRequested(1);
}

void TarnAppDelegate::perform(AppCommand command)
{
    Q_EMIT performing(command);
    switch (command) {
    case AppCommand::showAbout:
        showAbout();
        break;
    case AppCommand::showSettings:
        openSheet(AppSheet::settings);
        break;
    case AppCommand::showPermissions:
        openSheet(AppSheet::permissions);
        break;
    case AppCommand::showShortcuts:
        openSheet(AppSheet::shortcuts);
        break;
    case AppCommand::hide:
        hideWindows();
        break;
    case AppCommand::quit:
        quit_->requestQuit();
        break;
    case AppCommand::captureRegion:
        app_->beginCapture(CaptureAction::region);
        break;
    case AppCommand::captureWindow:
        app_->beginCapture(CaptureAction::window);
        break;
    case AppCommand::captureDisplay:
        app_->beginCapture(CaptureAction::display);
        break;
    case AppCommand::captureText:
        app_->beginCapture(CaptureAction::text);
        break;
    case AppCommand::record:
        app_->toggleRecording();
        break;
    case AppCommand::importFiles:
        app_->importFiles();
        break;
    case AppCommand::search:
        app_->showLibrary();
        Q_EMIT Notifications::center().focusSearch();
        break;
    case AppCommand::showLibrary:
        app_->showLibrary();
        break;
    case AppCommand::closePins:
        app_->floating().closePins();
        break;
    }
}

// The settings window and the sheets open from the model's sheet value (the library view's
// SheetPresenter).
void TarnAppDelegate::openSheet(AppSheet sheet) { app_->present(sheet); }

// Linux desktops have no "hide the application": every main window goes to the task bar,
// where the user brings it back, as the status item's library entry does.
void TarnAppDelegate::hideWindows()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && widget->windowType() == Qt::Window && !OwnWindows::isTrayIcon(widget))
            widget->showMinimized();
    }
}

void TarnAppDelegate::showAbout()
{
    if (about_) {
        about_->raise();
        about_->activateWindow();
        return;
    }
    about_ = new QMessageBox(QMessageBox::NoIcon, QStringLiteral("Tarnwick에 관하여"),
                             QStringLiteral("<h2>Tarnwick</h2>"), QMessageBox::Ok, libraryWindow_.get());
    about_->setAttribute(Qt::WA_DeleteOnClose);
    about_->setWindowModality(Qt::NonModal);
    about_->setInformativeText(ProductInfo::version() + QStringLiteral(" Developer Preview\n\n") +
                               QStringLiteral("Native capture. Local clarity.\n"
                                              "X11 화면 캡처, FFmpeg 녹화와 Tesseract 텍스트 인식으로 만들었습니다.\n"
                                              "개발용 제품명 / 로컬 개발 서명\n"
                                              "GPL-3.0-or-later 자유 소프트웨어입니다."));
    about_->show();
}

} // namespace tarn
