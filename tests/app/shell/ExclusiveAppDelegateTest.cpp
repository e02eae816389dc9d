// SPDX-License-Identifier: GPL-3.0-or-later
// The whole application shell on the test desktop: window, menus, tray, hot keys, the lease
// against a second process, and quitting by signal.
#include <algorithm>
#include <csignal>
#include <map>
#include <tuple>

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QLineEdit>
#include <QMainWindow>
#include <QMediaPlayer>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QScreen>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include "app/capture/OwnWindows.h"
#include "app/editor/EditorModel.h"
#include "app/editor/EditorWindowController.h"
#include "app/floating/FloatingWindows.h"
#include "app/floating/VideoPlayerView.h"
#include "app/library/CaptureCell.h"
#include "app/model/AppModel.h"
#include "app/settings/WindowPickerView.h"
#include "app/shell/ExitGuard.h"
#include "app/shell/LibraryWindow.h"
#include "app/shell/MainMenu.h"
#include "app/shell/QuitController.h"
#include "app/shell/StatusItem.h"
#include "app/shell/StatusMenu.h"
#include "app/shell/TarnAppDelegate.h"
#include "app/shell/TarnwickApplication.h"
#include "app/widgets/DialogChain.h"
#include "app/widgets/Notifications.h"
#include "core/library/LibraryLease.h"
#include "core/library/LibraryStore.h"
#include "platform/x11/HotKeyManager.h"
#include "support/Await.h"
#include "support/ChildProcess.h"
#include "support/EditorHostFixture.h"
#include "support/FileDialogAnswer.h"
#include "support/LibraryTestSupport.h"
#include "support/MovieWriter.h"
#include "support/PrivateDesktop.h"
#include "support/TestEditor.h"
#include "support/WindowStacking.h"
#include "support/XInput.h"

namespace tarn {
namespace {

bool onX11() { return QGuiApplication::platformName() == QStringLiteral("xcb"); }

using TestSupport::xdotool;

class ExclusiveAppDelegate : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!onX11())
            GTEST_SKIP() << "needs the test desktop";
    }

    QString root(const QString &name = QStringLiteral("library")) const { return dir_.filePath(name); }

    // A launched delegate whose start-up task has ended.
    std::unique_ptr<TarnAppDelegate> launch(const QString &library, bool demo = false,
                                            std::optional<QString> smoke = std::nullopt)
    {
        auto delegate = std::make_unique<TarnAppDelegate>(library, demo, smoke);
        QSignalSpy started(delegate.get(), &TarnAppDelegate::startUpFinished);
        delegate->applicationDidFinishLaunching();
        if (!smoke) {
            EXPECT_TRUE(started.count() > 0 || started.wait(20000));
        }
        return delegate;
    }

    static void expectCentred(const QWidget *window)
    {
        const QRect available = window->screen()->availableGeometry();
        const QPoint offset = window->frameGeometry().center() - available.center();
        // The window manager's frame is not symmetric (a title bar on top only).
        EXPECT_LE(std::abs(offset.x()), 4) << offset.x();
        EXPECT_LE(std::abs(offset.y()), 20) << offset.y();
    }

    // Runs a region capture until its overlay is up, then cancels it with Escape.
    static void expectRegionOverlayThenCancel(AppModel &app)
    {
        ASSERT_TRUE(QTest::qWaitFor([&] { return app.selector().isRunning(); }, 5000)) << "no overlay";
        xdotool({QStringLiteral("key"), QStringLiteral("Escape")});
        ASSERT_TRUE(QTest::qWaitFor([&] { return !app.isBusy(); }, 5000));
        EXPECT_FALSE(app.selector().isRunning());
    }

    // Chooses an entry of the status icon's menu (-1: the last, -2 the one before) with the pointer,
    // as the user does.
    static void chooseFromTheStatusMenu(TarnAppDelegate &delegate, int entry)
    {
        const QWidgetList windows = QApplication::topLevelWidgets();
        QMenu *menu = delegate.statusMenu()->menu();
        TestSupport::click(*std::find_if(windows.begin(), windows.end(), &OwnWindows::isTrayIcon), {}, 3);
        ASSERT_TRUE(QTest::qWaitFor([&] { return menu->isVisible(); }));
        QAction *action = menu->actions().at(entry < 0 ? menu->actions().size() + entry : entry);
        TestSupport::click(menu, menu->actionGeometry(action).center());
    }

    // Whether `window` settles in front of `behind` as the window with the keyboard. A panel made
    // anew on a loaded machine (the whole suite beside it) takes seconds to be mapped and painted:
    // that is awaited first, with the limit of the other waits for a window to come.
    static bool inFrontWithTheKeys(const QWidget *behind, const QWidget *window)
    {
        return QTest::qWaitFor([&] { return window->windowHandle() && window->windowHandle()->isExposed(); }, 20000) &&
            TestSupport::settles(
                   [&] {
                       return TestSupport::stackedInOrder(std::vector<const QWidget *>{behind, window}) &&
                           TestSupport::activeWindow() == window->winId();
                   },
                   10000);
    }

    // Ctrl+Shift+2's window picker over the library, closed with Escape (the keys go back to
    // `window`, the user's), then opened again and `window`, the one listed, chosen in it.
    static void captureThroughThePicker(const QWidget *library, uint32_t window)
    {
        const auto picker = [library] { return library->findChild<WindowPickerView *>(); };
        for (const bool choose : {false, true}) {
            xdotool({QStringLiteral("key"), QStringLiteral("ctrl+shift+2")});
            ASSERT_TRUE(QTest::qWaitFor([&] { return picker(); }, 20000) && inFrontWithTheKeys(library, picker()));
            if (choose)
                break;
            xdotool({QStringLiteral("key"), QStringLiteral("Escape")});
            EXPECT_TRUE(TestSupport::settles([&] { return TestSupport::activeWindow() == window; }, 15000));
            ASSERT_TRUE(QTest::qWaitFor([&] { return !picker(); }));
        }
        const std::vector<WindowRow *> rows = picker()->rows();
        ASSERT_TRUE(rows.size() == 1 && rows.front()->window().windowID == window);
        TestSupport::click(rows.front());
    }

    QTemporaryDir dir_;
};

TEST_F(ExclusiveAppDelegate, TheLibraryWindowOpensCentredEveryLaunchAndKeepsItsSizeUnderItsName)
{
    auto delegate = launch(root());
    LibraryWindow *window = delegate->libraryWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    EXPECT_TRUE(delegate->holdsLease());
    EXPECT_TRUE(delegate->app().libraryReady());
    EXPECT_EQ(delegate->app().mainWindow(), window);
    expectCentred(window);

    // Closing hides the window; the application stays, and the same window comes back.
    window->close();
    EXPECT_FALSE(window->isVisible());
    QTest::qWait(100);
    delegate->perform(AppCommand::showLibrary);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(delegate->libraryWindow(), window);

    window->resize(1400, 900);
    // The window manager answers the resize in its own time (slowly under a sanitizer).
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->size() == QSize(1400, 900); }, 5000));
    window->close();
    delegate.reset();

    auto again = launch(root());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(again->libraryWindow()));
    EXPECT_EQ(again->libraryWindow()->size(), QSize(1400, 900));
    expectCentred(again->libraryWindow());
    again.reset();

    auto demo = launch(root(QStringLiteral("demo")), true);
    EXPECT_EQ(demo->libraryWindow()->frameName(), QStringLiteral("Tarnwick.demo.library"));
    EXPECT_EQ(demo->libraryWindow()->centralWidget()->size(), QSize(1280, 880)) << "demo runs keep their own frame";
}

TEST_F(ExclusiveAppDelegate, TheTrayItemAndItsMenuFollowTheRecorderState)
{
    auto delegate = launch(root());
    ASSERT_TRUE(QSystemTrayIcon::isSystemTrayAvailable()) << "the test desktop runs a tray host";
    StatusItem *item = delegate->statusItem();
    QMenu *menu = delegate->statusMenu()->menu();
    const auto recordItem = [menu] { return menu->actions().at(5)->text(); };
    EXPECT_EQ(item->symbol(), QStringLiteral("viewfinder"));
    EXPECT_EQ(recordItem(), QStringLiteral("화면 녹화…"));

    RecordingService &recorder = delegate->app().recorder();
    for (auto state :
         {RecordingService::State::starting, RecordingService::State::recording, RecordingService::State::stopping}) {
        Q_EMIT recorder.stateChanged(state);
        EXPECT_EQ(item->symbol(), QStringLiteral("record.circle.fill"));
        EXPECT_EQ(item->tint().red(), 0xFF);
        EXPECT_EQ(recordItem(), QStringLiteral("녹화 종료 및 저장"));
    }
    Q_EMIT recorder.stateChanged(RecordingService::State::idle);
    EXPECT_EQ(item->symbol(), QStringLiteral("viewfinder"));
    EXPECT_EQ(recordItem(), QStringLiteral("화면 녹화…"));

    // The library entry and a click on the item bring the hidden window back.
    delegate->libraryWindow()->close();
    menu->actions().at(0)->trigger();
    EXPECT_TRUE(delegate->libraryWindow()->isVisible());
    delegate->libraryWindow()->close();
    Q_EMIT item->activated();
    EXPECT_TRUE(delegate->libraryWindow()->isVisible());

    // Hiding the application minimizes its windows but leaves the tray icon in the panel. Those
    // brought back through the task bar stay on the screen after a capture, the others minimized.
    TestSupport::TestEditor shown(Uuid::random()), left(Uuid::random());
    const QWidgetList broughtBack{shown.window(), delegate->libraryWindow()};
    shown.window()->setGeometry(20, 300, 280, 200); // clear of the library and the quick panel
    delegate->app().preferences().setOpenEditor(false);
    const auto restore = qScopeGuard([&delegate] { delegate->app().preferences().setOpenEditor(true); });
    xdotool(QStringLiteral("windowactivate --sync %1").arg(delegate->libraryWindow()->winId()).split(u' '));
    ASSERT_TRUE(inFrontWithTheKeys(left.window(), delegate->libraryWindow())) << "the new editors took the keys";
    xdotool({QStringLiteral("key"), QStringLiteral("ctrl+h")});
    ASSERT_TRUE(TestSupport::settles([&] { return TestSupport::windowState(left.window()) == u"Iconic"; }));
    EXPECT_TRUE(delegate->libraryWindow()->isMinimized());
    const QWidgetList windows = QApplication::topLevelWidgets();
    const auto icon = std::find_if(windows.begin(), windows.end(), &OwnWindows::isTrayIcon);
    ASSERT_NE(icon, windows.end());
    EXPECT_FALSE((*icon)->isMinimized());
    for (QWidget *window : broughtBack)
        xdotool(QStringLiteral("windowactivate --sync %1").arg(window->winId()).split(u' '));
    xdotool({QStringLiteral("key"), QStringLiteral("ctrl+shift+3")});
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return delegate->app().items().size() == 1 && !delegate->app().isBusy(); }, 20000));
    for (QWidget *window : broughtBack)
        EXPECT_TRUE(TestSupport::settles([&] { return TestSupport::onScreen(window); }));
    EXPECT_EQ(TestSupport::windowState(left.window()), QStringLiteral("Iconic"));

    // Minimized by Ctrl+H, then by the window manager, the library comes back on the screen by the
    // status menu's entry, a click on the icon and Ctrl+0 in another window of ours; moved to
    // another desktop, or left there as the user goes to another, it comes to the user's, active.
    QWidget *library = delegate->libraryWindow();
    const QString id = QString::number(library->winId());
    const auto onScreen = [library] { return TestSupport::onScreen(library); };
    const QStringList away = QStringLiteral("key ctrl+h|windowminimize --sync W|windowminimize --sync W|"
                                            "set_desktop_for_window W 1|set_desktop_for_window W 2|set_desktop 3")
                                 .split(u'|');
    const auto backToTheFirstDesktop = qScopeGuard([] { xdotool(QStringLiteral("set_desktop 0").split(u' ')); });
    const std::function<void()> ways[] = {
        [&] { chooseFromTheStatusMenu(*delegate, 0); },
        [&] { TestSupport::click(*icon); },
        [&] {
            delegate->app().floating().showText(QStringLiteral("텍스트"));
            ASSERT_TRUE(QTest::qWaitForWindowActive(delegate->app().floating().windows().back()));
            xdotool({QStringLiteral("key"), QStringLiteral("ctrl+0")});
        },
    };
    xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), id});
    for (qsizetype row = 0; row < away.size(); ++row) {
        xdotool(QString(away[row]).replace(u'W', id).split(u' '));
        ASSERT_TRUE(QTest::qWaitFor([&] { return !onScreen(); })); // the window manager takes requests in order
        ways[size_t(row) % std::size(ways)]();
        EXPECT_TRUE(TestSupport::settles([&] {
            return onScreen() && TestSupport::onTheUsersDesktop(library) && TestSupport::activeWindow() == id.toUInt();
        })) << row;
    }
}

TEST_F(ExclusiveAppDelegate, ASecondProcessOnTheSameLibraryShowsTheLeaseErrorAndNeverLoads)
{
    QProcess first;
    first.start(QStringLiteral(TARN_APP_BINARY), {QStringLiteral("--library"), root()});
    ASSERT_TRUE(first.waitForStarted());
    // The library's folders appear once the first process holds the lease and loads.
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(root() + QStringLiteral("/Originals")); }, 20000));

    auto second = launch(root());
    AppModel &app = second->app();
    EXPECT_FALSE(second->holdsLease());
    EXPECT_FALSE(app.libraryReady());
    EXPECT_EQ(app.errorMessage(), LibraryLease::heldElsewhereMessage());
    EXPECT_EQ(app.status(), LibraryLease::heldElsewhereMessage());
    EXPECT_TRUE(second->libraryWindow()->isVisible());
    second->perform(AppCommand::captureRegion);
    QTest::qWait(400);
    EXPECT_FALSE(app.selector().isRunning()) << "nothing captures without the library";

    // Nothing runs in the first one, so a termination signal ends it normally.
    ::kill(pid_t(first.processId()), SIGTERM);
    ASSERT_TRUE(first.waitForFinished(10000));
    EXPECT_EQ(first.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(first.exitCode(), 0);
}

// Under a file-size limit (ulimit -f 100) an import too large for it fails with the disk error
// in an alert: the process goes on, and neither the library nor a temporary file is written.
TEST_F(ExclusiveAppDelegate, AnImportPastTheFileSizeLimitShowsTheErrorAndWritesNothing)
{
    QImage noise(400, 400, QImage::Format_RGB32);
    QRandomGenerator(7).fillRange(reinterpret_cast<quint32 *>(noise.bits()), 400 * 400);
    ASSERT_TRUE(noise.save(root(QStringLiteral("big.png"))));
    QProcess limited;
    limited.setChildProcessModifier([limit = rlimit{100 * 512, RLIM_INFINITY}] { ::setrlimit(RLIMIT_FSIZE, &limit); });
    limited.start(QStringLiteral(TARN_APP_BINARY), {QStringLiteral("--library"), root()});
    const QStringList search =
        QStringLiteral("search --all --onlyvisible --pid %1 --name").arg(limited.processId()).split(u' ');
    const auto shown = [&search](const QString &name) {
        return !TestSupport::clientOutput(QStringLiteral("xdotool"), search + QStringList{name}).isEmpty();
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown(QStringLiteral("Capture")); }, 20000));
    // The keys are typed apart from the search: to a window it found, xdotool types a key only
    // while that window has the keyboard and otherwise sends it to the window, the X server never
    // hearing of it. A press typed and its release sent once the panel has the keyboard would
    // leave the key held down in the server, and a later test's first press of it would be lost.
    const auto typedInto = [&search](const QString &name, const QString &keys) {
        xdotool(QStringList(search) << name << QStringLiteral("windowactivate") << QStringLiteral("--sync"));
        xdotool(QStringList{QStringLiteral("key")} + keys.split(u' '));
    };
    // Ctrl+O again while no panel shows: on a busy machine the key can reach the window before
    // it has the keyboard.
    const QString panel = QStringLiteral("^(열기|Open)$");
    for (int tries = 0; tries < 4 && !shown(panel); ++tries) {
        typedInto(QStringLiteral("Capture"), QStringLiteral("ctrl+o"));
        (void)QTest::qWaitFor([&] { return shown(panel); }, 5000);
    }
    ASSERT_TRUE(shown(panel));
    // Shown is not yet focused: on a busy machine the name went nowhere. Pasted, as a key typed
    // into the other process can get lost there and this one cannot see its field.
    QGuiApplication::clipboard()->setText(root(QStringLiteral("big.png")));
    typedInto(panel, QStringLiteral("ctrl+a ctrl+v Return"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return shown(QStringLiteral("^Tarnwick$")); }, 20000)) << "no alert";
    EXPECT_EQ(limited.state(), QProcess::Running);
    EXPECT_EQ(QDir(root(QStringLiteral("library/Originals"))).entryList(QDir::Files | QDir::Hidden), QStringList());
    EXPECT_FALSE(QFile::exists(root(QStringLiteral("library/library.json"))));
    limited.terminate();
    EXPECT_TRUE(limited.waitForFinished(10000));
}

// A library that a killed change left a temporary index and an unnamed thumbnail in opens
// without them; the index, every original and every named thumbnail keep their bytes.
TEST_F(ExclusiveAppDelegate, ALibraryWithCrashLeftoversOpensWithoutThem)
{
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    const CaptureItem item = LibraryStore(root()).insertImage(image, "kept", false, std::nullopt);
    const QString leftovers[] = {root() + QStringLiteral("/.library.json.tmp-Ab12Cd"),
                                 root() + QStringLiteral("/Thumbnails/") + Uuid::random().toQString() +
                                     QStringLiteral(".jpg")};
    for (const QString &path : leftovers)
        ASSERT_TRUE(QFile::copy(LibraryStore(root()).thumbnailURL(item), path));
    const auto contents = [this] {
        std::map<QString, QByteArray> files;
        for (const char *inside : {"", "Originals", "Thumbnails"}) {
            const QDir folder(root() + QLatin1Char('/') + QLatin1String(inside));
            for (const QString &name : folder.entryList(QDir::Files | QDir::Hidden))
                files[folder.filePath(name)] = TestSupport::sha256(folder.filePath(name));
        }
        return files;
    };
    std::map<QString, QByteArray> kept = contents();
    for (const QString &path : leftovers)
        ASSERT_EQ(kept.erase(path), 1u);

    auto delegate = launch(root());
    EXPECT_TRUE(delegate->app().libraryReady());
    EXPECT_EQ(delegate->app().items(), std::vector<CaptureItem>{item});
    kept[root() + QStringLiteral("/.writer-lock")] = TestSupport::sha256(root() + QStringLiteral("/.writer-lock"));
    EXPECT_EQ(contents(), kept);
}

TEST_F(ExclusiveAppDelegate, SigtermWhileBusyWaitsForTheClaimAndThenQuits)
{
    const auto hangUp = std::signal(SIGHUP, SIG_IGN); // under nohup a closed terminal quits nothing
    const auto restoreHangUp = qScopeGuard([hangUp] { std::signal(SIGHUP, hangUp); });
    auto delegate = launch(root());
    QSignalSpy exits(delegate.get(), &TarnAppDelegate::exitRequested);
    ::kill(::getpid(), SIGHUP);
    QCoreApplication::processEvents();
    AppModel::BusyClaim busy = delegate->app().claimBusy();
    ::kill(::getpid(), SIGTERM);
    ASSERT_TRUE(QTest::qWaitFor([&] { return delegate->quitController()->alert() != nullptr; }, 5000));
    EXPECT_EQ(delegate->quitController()->alert()->text(), QStringLiteral("진행 중인 작업이 있습니다."));
    QTest::qWait(200);
    QDir().mkpath(QStringLiteral(TARN_TEST_OUTPUT_DIR));
    delegate->quitController()->alert()->grab().save(QStringLiteral(TARN_TEST_OUTPUT_DIR "/quit-alert.png"));
    EXPECT_EQ(exits.count(), 0);
    busy.release();
    ASSERT_TRUE(exits.count() == 1 || exits.wait(5000));
    EXPECT_EQ(exits.front().front().toInt(), 0);

    // During a region selection, with other work running: the alert is what the X server finds at
    // its 확인, with the keyboard, a click there closes it, and no overlay is left; the quit follows
    // the work.
    exits.clear();
    delegate->app().beginCapture(CaptureAction::region);
    ASSERT_TRUE(QTest::qWaitFor([&] { return delegate->app().selector().isRunning(); }, 5000));
    AppModel::BusyClaim other = delegate->app().claimBusy();
    ::kill(::getpid(), SIGTERM);
    QPointer<QMessageBox> alert;
    ASSERT_TRUE(QTest::qWaitFor([&] { return (alert = delegate->quitController()->alert()); }, 5000));
    EXPECT_TRUE(inFrontWithTheKeys(delegate->libraryWindow(), alert));
    const QPoint confirm = alert->defaultButton()->mapToGlobal(alert->defaultButton()->rect().center());
    EXPECT_TRUE(TestSupport::underThePointer(alert, confirm));
    xdotool({QStringLiteral("click"), QStringLiteral("1")});
    EXPECT_TRUE(QTest::qWaitFor([&] { return !alert; }, 5000)) << "확인 did not answer";
    EXPECT_TRUE(delegate->app().selector().panels().empty());
    EXPECT_EQ(exits.count(), 0);
    other.release();
    ASSERT_TRUE(exits.count() == 1 || exits.wait(5000));

    // Qt's own quit request goes through the same decision.
    AppModel::BusyClaim again = delegate->app().claimBusy();
    QEvent quit(QEvent::Quit);
    QCoreApplication::sendEvent(qApp, &quit);
    EXPECT_EQ(exits.count(), 1);

    // The application goes with a region selection up: the capture waiting for it ends with the
    // model, as if cancelled (the leak check finds no frame of it left waiting).
    again.release();
    delegate->app().beginCapture(CaptureAction::region);
    ASSERT_TRUE(QTest::qWaitFor([&] { return delegate->app().selector().isRunning(); }, 5000));
}

// A termination signal while an editor saves (no answer in the row), while its export waits on
// its panel (which stays in front of the editor, with the keys), or while it holds unsaved edits
// and its question is answered by keys, quits once the save, the panel or the question is over;
// 취소 in the question takes the request back, so the save after it quits nothing.
TEST_F(ExclusiveAppDelegate, ASignalQuitsOnceTheEditorsSaveOrQuestionIsOver)
{
    QImage picture(900, 700, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    const CaptureItem item = LibraryStore(root()).insertImage(picture, "shot", false, std::nullopt);
    auto delegate = launch(root());
    QSignalSpy exits(delegate.get(), &TarnAppDelegate::exitRequested);
    const std::tuple<int, const char *, bool /* exporting */> rows[] = {{SIGTERM, "", false},
                                                                        {SIGTERM, "Escape", true},
                                                                        {SIGINT, "Return", false},
                                                                        {SIGHUP, "Tab space", false},
                                                                        {SIGTERM, "Escape", false}};
    for (const auto &[signal, answer, exporting] : rows) {
        exits.clear();
        delegate->app().openItem(item);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !delegate->app().editorControllers().empty(); }, 10000));
        auto *editor = static_cast<EditorWindowController *>(delegate->app().editorControllers().begin()->second);
        ASSERT_TRUE(QTest::qWaitForWindowActive(editor->window())); // the menu's Ctrl+S needs it active
        if (!exporting)
            editor->model().setTitle(QString::number(signal) + QLatin1String(answer));
        TestSupport::occupy(delegate->app().repository()); // the save waits behind a large picture
        const auto save = [&] { QTest::keyClick(editor->window()->windowHandle(), Qt::Key_S, Qt::ControlModifier); };
        if (!*answer)
            save();
        if (exporting)
            QTest::keyClick(editor->window()->windowHandle(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
        QFileDialog *panel = exporting ? TestSupport::nextFileDialog() : nullptr;
        ASSERT_EQ(editor->isSaving(), !*answer);
        ::kill(::getpid(), signal);
        // The user answers with the keys, once the panel or the question has them.
        const QStringList keys = QStringLiteral("key %1").arg(QLatin1String(answer)).split(u' ');
        if (panel) {
            ASSERT_TRUE(QTest::qWaitFor([&] { return delegate->quitController()->quitPending(); }, 5000));
            EXPECT_TRUE(inFrontWithTheKeys(editor->window(), panel));
            xdotool(keys); // 취소: the export ends, the quit goes on
        } else if (*answer) {
            ASSERT_TRUE(QTest::qWaitFor([&] { return editor->sheet() && editor->sheet()->isVisible(); }, 5000));
            EXPECT_TRUE(inFrontWithTheKeys(editor->window(), editor->sheet()));
            xdotool(keys);
        }
        if (exporting || QLatin1String(answer) != QLatin1String("Escape")) {
            EXPECT_TRUE(exits.count() == 1 || exits.wait(20000)) << signal << answer;
            // The quit may come before an editor its answer closes is gone: the next row opens
            // the capture anew, not in the window on its way out.
            if (*answer && !exporting) {
                EXPECT_TRUE(QTest::qWaitFor([&] { return delegate->app().editorControllers().empty(); }, 10000));
            }
            continue;
        }
        ASSERT_TRUE(QTest::qWaitFor([&] { return !editor->sheet(); }));
        ASSERT_TRUE(QTest::qWaitForWindowActive(editor->window()));
        save();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !editor->hasUnsavedEdits() && !editor->isSaving(); }, 20000));
        QCoreApplication::processEvents(); // the save's end reaches the quit decision
        EXPECT_EQ(exits.count(), 0);
    }
}

// A capture taken while the library's alert shows opens its editor in front of the alert, with the
// keyboard. A sheet opened over the alert keeps the keyboard, Escape answers it and the alert has
// the keyboard again; a sheet whose alert goes under it still holds the library up, and is minimized
// with it.
TEST_F(ExclusiveAppDelegate, ANewerDialogOrWindowThanTheLibrarysAlertKeepsTheKeyboard)
{
    auto delegate = launch(root());
    AppModel &app = delegate->app();
    app.preferences().setAutomaticOCR(false);
    const QString bad = dir_.filePath(QStringLiteral("bad.png"));
    TestSupport::writeBytes(bad, "no image");
    TestSupport::await(app.importURLs({bad}));
    QWidget *library = delegate->libraryWindow();
    QPointer<QMessageBox> alert;
    ASSERT_TRUE(QTest::qWaitFor([&] { return (alert = library->findChild<QMessageBox *>()) && alert->isVisible(); }));
    EXPECT_TRUE(inFrontWithTheKeys(library, alert));

    app.beginCapture(CaptureAction::display);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !app.editorControllers().empty(); }, 20000));
    QWidget *editor = app.editorControllers().begin()->second->window();
    EXPECT_TRUE(inFrontWithTheKeys(alert, editor));
    EXPECT_TRUE(alert->isVisible() && TestSupport::stackedInOrder({library, alert}));

    for (const bool alertGoes : {false, true}) {
        chooseFromTheStatusMenu(*delegate, -2); // 설정…
        QWidget *sheet = nullptr;
        ASSERT_TRUE(QTest::qWaitFor([&] { return (sheet = QApplication::activeModalWidget()) && sheet != alert; }));
        EXPECT_TRUE(inFrontWithTheKeys(alert, sheet));
        if (alertGoes) {
            app.setErrorMessage(std::nullopt);
            ASSERT_TRUE(QTest::qWaitFor([&] { return !alert; }));
            TestSupport::click(library, QPoint(10, library->height() - 10));
            EXPECT_TRUE(inFrontWithTheKeys(library, sheet));
            xdotool({QStringLiteral("windowminimize"), QStringLiteral("--sync"), QString::number(library->winId())});
            // kwin keeps a modal dialog on the screen when its window is minimized, as its policy.
            const bool staysUp = TestSupport::windowManagerName() == u"KWin";
            EXPECT_TRUE(TestSupport::settles(
                [&] { return TestSupport::windowState(sheet) == (staysUp ? u"Normal" : u"Iconic"); }));
            continue;
        }
        EXPECT_TRUE(TestSupport::keepsTheKeyboard(sheet, 3000));
        xdotool({QStringLiteral("key"), QStringLiteral("Escape")});
        ASSERT_TRUE(QTest::qWaitFor([&] { return !app.sheet(); }));
        EXPECT_TRUE(inFrontWithTheKeys(library, alert));
    }
}

// The import panel and the library's export panels (an image's, a video's) belong to the library
// window: each comes in front of it (the import's also from the task bar); it stays in front after a
// click on the library and comes forward with the keyboard with it (Ctrl+0, 파일 가져오기 again: no
// second import panel, 라이브러리 after a minimize) and once a sheet or an alert over it is
// answered; a click on the library hands them the keyboard. A panel's task ends when the library
// window goes with the application, answered or not.
TEST_F(ExclusiveAppDelegate, TheImportAndExportPanelsComeForwardWithTheLibrary)
{
    QImage picture(320, 200, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    const QString movie = dir_.filePath(QStringLiteral("film.mp4"));
    TestSupport::writeMovie(movie, TestSupport::Movie{{TestSupport::VideoTrack{160, 120, 4, 10}}, 0.4});
    const CaptureItem image = LibraryStore(root()).insertImage(picture, "shot", false, std::nullopt),
                      video = LibraryStore(root()).insertVideo(movie, "film", picture, 160, 120, 0.4);
    auto delegate = launch(root());
    QWidget *library = delegate->libraryWindow();
    const auto key = [](const char *keys) { xdotool({QStringLiteral("key"), QLatin1String(keys)}); };
    const auto clickTheLibrary = [&] { TestSupport::click(library, QPoint(10, library->height() - 10)); };
    const auto minimize = [&] {
        xdotool({QStringLiteral("windowminimize"), QStringLiteral("--sync"), QString::number(library->winId())});
    };
    const CaptureItem *exported = nullptr;
    // Asks for the panel again: Ctrl+O for the import's, the card's 파일로 내보내기… for an export's.
    const auto askAgain = [&] {
        if (!exported)
            return key("ctrl+o");
        const auto cells = library->findChildren<CaptureCell *>();
        const auto cell = std::find_if(cells.begin(), cells.end(),
                                       [&](auto *c) { return c->isVisible() && c->item().id == exported->id; });
        ASSERT_NE(cell, cells.end());
        QMenu *menu = nullptr; // clicked again if a busy machine lost the click
        for (int tries = 0; tries < 3 && !menu; ++tries) {
            TestSupport::click(*cell, {}, 3);
            (void)QTest::qWaitFor([&] { return menu = qobject_cast<QMenu *>(QApplication::activePopupWidget()); });
        }
        ASSERT_TRUE(menu && QTest::qWaitForWindowExposed(menu)); // a click before it is mapped misses it
        const auto actions = menu->actions();
        const auto entry = std::find_if(actions.begin(), actions.end(),
                                        [](QAction *a) { return a->text() == QStringLiteral("파일로 내보내기…"); });
        ASSERT_NE(entry, actions.end());
        TestSupport::click(menu, menu->actionGeometry(*entry).center());
    };
    const auto panelsShown = [] {
        const auto panels = QApplication::topLevelWidgets();
        return std::count_if(panels.begin(), panels.end(),
                             [](QWidget *w) { return qobject_cast<QFileDialog *>(w) && w->isVisible(); });
    };
    const struct {
        std::function<void()> act;
        bool asks; // shows a dialog over the panel, answered with Escape
    } rows[] = {{[&] { key("ctrl+0"); }, false},
                {askAgain, false},
                {[&] {
                     minimize();
                     chooseFromTheStatusMenu(*delegate, 0); // Tarnwick 라이브러리
                 },
                 false},
                {[&] { chooseFromTheStatusMenu(*delegate, -2); }, true}, // 설정…
                {[&] { delegate->app().setErrorMessage(QStringLiteral("오류")); }, true}};
    for (const CaptureItem *item : {(const CaptureItem *)nullptr, &image, &video}) {
        const bool exporting = (exported = item);
        if (exporting) {
            delegate->app().exportItem(*exported); // as the card's menu does
        } else {
            minimize();
            delegate->perform(AppCommand::importFiles); // as an editor's menu does
        }
        const QPointer<QFileDialog> panel = TestSupport::nextFileDialog();
        ASSERT_TRUE(panel && inFrontWithTheKeys(library, panel)) << exporting;
        if (exporting) // off the cards, which its menu is asked on
            xdotool(QStringLiteral("windowmove --sync %1 1100 620").arg(panel->winId()).split(u' '));
        for (const auto &row : rows) {
            const auto libraryTakesTheKeys = [&] {
                clickTheLibrary();
                // Qt too must know the library active before a key is typed there: it takes the
                // window's shortcuts only from its active window, and learns of a focus change late
                // on a busy machine.
                return TestSupport::settles([&] {
                    return TestSupport::stackedInOrder({library, panel}) &&
                        TestSupport::activeWindow() == library->winId() && QApplication::activeWindow() == library;
                });
            };
            // Clicked again if a starved window manager lost the click, as the card's menu is.
            EXPECT_TRUE(libraryTakesTheKeys() || libraryTakesTheKeys())
                << exporting << " row " << (&row - rows) << ", active " << TestSupport::activeWindow();
            row.act();
            if (QWidget *dialog = nullptr; row.asks) {
                ASSERT_TRUE(QTest::qWaitFor([&] { return dialog = QApplication::activeModalWidget(); }));
                EXPECT_TRUE(inFrontWithTheKeys(panel, dialog));
                clickTheLibrary();
                EXPECT_TRUE(inFrontWithTheKeys(panel, dialog));
                key("Escape");
            }
            // Asked once more where a starved machine lost the request, as the clicks above are.
            EXPECT_TRUE(inFrontWithTheKeys(library, panel) ||
                        (!row.asks && (row.act(), inFrontWithTheKeys(library, panel))))
                << exporting << " row " << (&row - rows) << ", active " << TestSupport::activeWindow() << ", library "
                << library->winId() << ", panel " << panel->winId();
            EXPECT_EQ(panelsShown(), 1) << exporting; // no second panel over the first
        }
        key("Escape");
        ASSERT_TRUE(QTest::qWaitFor([&] { return !panel || !panel->isVisible(); }));
    }
    // Quit with the import's panel up and the last panel's answer not yet taken by its export: both
    // tasks end with the library window (the leak check finds no frame of theirs left waiting).
    delegate->perform(AppCommand::importFiles);
    EXPECT_EQ(panelsShown(), 1);
}

// With another application's window on the desktop, Ctrl+Shift+3 from the library, its alert or
// the settings over that opens an editor in front of them with the keys, and Ctrl+W gives the keys
// back, round after round, also through the question of an edited capture answered 저장하지 않기;
// started from the other program, the keys go back to it (a late word to Qt that the library is
// active takes them from it for no dialog of ours), also after Ctrl+Shift+2's window picker,
// closed with Escape and then with the other program's window chosen; two pins are still shown
// after the library's rounds. A region's selection shows neither the library nor its dialogs.
TEST_F(ExclusiveAppDelegate, ACapturesEditorTakesTheKeysFromTheUsersWindowAndGivesThemBack)
{
    QProcess other;
    other.start(QStringLiteral("xmessage"),
                QStringLiteral("-title other -geometry 360x120+1450+120 other").split(u' '));
    const uint32_t otherWindow = TestSupport::managedWindowTitled(QStringLiteral("other"));
    ASSERT_NE(otherWindow, 0u);
    auto delegate = launch(root());
    AppModel &app = delegate->app();
    app.preferences().setAutomaticOCR(false);
    QImage picture(240, 160, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    for (const int y : {60, 400}) { // two pins beside the library, shown again after each grab
        app.floating().pin(picture, QStringLiteral("고정"));
        xdotool(QStringLiteral("windowmove --sync %1 0 %2")
                    .arg(app.floating().windows().back()->winId())
                    .arg(y)
                    .split(u' '));
    }
    QWidget *library = delegate->libraryWindow(), *front = library;
    for (const int row : {0, 1, 2}) { // the library, its alert, the settings over the alert
        if (row > 0) {
            row == 1 ? app.showError(QStringLiteral("가져오지 못했습니다.")) : chooseFromTheStatusMenu(*delegate, -2);
            ASSERT_TRUE(
                QTest::qWaitFor([&, before = front] { return (front = DialogChain::front(library)) != before; }));
            xdotool({QStringLiteral("key"), QStringLiteral("ctrl+shift+1")});
            ASSERT_TRUE(QTest::qWaitFor([&] { return app.selector().isRunning(); }, 10000));
            EXPECT_TRUE(TestSupport::windowState(front) != u"Normal" && TestSupport::windowState(library) != u"Normal");
            xdotool({QStringLiteral("key"), QStringLiteral("Escape")});
            // The click of the first round is for the library once it is back, not for the desktop.
            ASSERT_TRUE(QTest::qWaitFor([&] { return !app.selector().isRunning(); }, 10000));
            ASSERT_TRUE(inFrontWithTheKeys(library, front)) << row;
        }
        for (int round = 0; round < (row > 0 ? 3 : 11); ++round) {
            const bool fromOther = round >= (row > 0 ? 2 : 9); // the user in the other program
            if (fromOther) {
                xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), QString::number(otherWindow)});
                TestSupport::activationComesBack(library);
                ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == library; }));
            } else
                TestSupport::click(library, QPoint(10, library->height() - 10));
            ASSERT_TRUE(fromOther || inFrontWithTheKeys(library, front)) << row << round;
            if (round == 10)
                ASSERT_NO_FATAL_FAILURE(captureThroughThePicker(library, otherWindow));
            else
                xdotool({QStringLiteral("key"), QStringLiteral("ctrl+shift+3")});
            ASSERT_TRUE(QTest::qWaitFor([&] { return !app.editorControllers().empty(); }, 20000));
            auto *editor = static_cast<EditorWindowController *>(app.editorControllers().begin()->second);
            EXPECT_TRUE(inFrontWithTheKeys(front, editor->window())) << row << round;
            if (round % 2 == 1) // an edit, answered 저장하지 않기
                editor->model().setTitle(QStringLiteral("바뀐 제목"));
            xdotool({QStringLiteral("key"), QStringLiteral("ctrl+w")});
            if (round % 2 == 1) {
                ASSERT_TRUE(QTest::qWaitFor([&] { return editor->sheet(); }) &&
                            inFrontWithTheKeys(editor->window(), editor->sheet()));
                xdotool({QStringLiteral("key"), QStringLiteral("Tab"), QStringLiteral("space")});
            }
            ASSERT_TRUE(QTest::qWaitFor([&] { return app.editorControllers().empty(); }));
            EXPECT_TRUE(TestSupport::settles(
                [&] { return TestSupport::activeWindow() == (fromOther ? otherWindow : front->winId()); }, 15000))
                << row << round;
        }
        const std::vector<QWidget *> pins = app.floating().windows();
        EXPECT_TRUE(row > 0 || (pins.size() == 2 && TestSupport::settles([&] {
                                    return std::all_of(pins.begin(), pins.end(), [](QWidget *pin) {
                                        return TestSupport::windowState(pin) == u"Normal";
                                    });
                                })));
        app.floating().closePins(); // over a dialog, a pin would hold the dialog above the editor
    }
    other.kill();
    other.waitForFinished();
}

// Quitting right after a video played with its sound: no input or focus, so these run beside others.
class QuitAfterPlayback : public ExclusiveAppDelegate { };

// The child of EveryQuitEndsTheProcess: plays the library's video with its sound (to its end, or
// quits while it plays), quits through the quit decision and ends the run as the application does.
TEST_F(QuitAfterPlayback, Child)
{
    const QString after = qEnvironmentVariable("TARN_QUIT_AFTER");
    if (after.isEmpty())
        GTEST_SKIP() << "runs only as the child of EveryQuitEndsTheProcess";
    auto delegate = launch(qEnvironmentVariable("TARN_QUIT_LIBRARY"));
    AppModel &app = delegate->app();
    ASSERT_EQ(app.items().size(), 1u);
    app.openItem(app.items().front());
    ASSERT_EQ(app.floating().windows().size(), 1u);
    QMediaPlayer *player = app.floating().windows().front()->findChild<VideoPlayerView *>()->player();
    ASSERT_EQ(player->audioOutput() != nullptr, after != QStringLiteral("silent")) << "the film has its sound";
    const bool gone = after == QStringLiteral("gone"), stalled = after == QStringLiteral("stalled");
    const bool toTheEnd = !gone && after != QStringLiteral("playing");
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return toTheEnd ? player->mediaStatus() == QMediaPlayer::EndOfMedia : player->position() > 0; }, 20000));
    if (gone) { // the parent kills the sound server; the window is closed once a write has failed (Qt 6.4
        // says so, and keeps the dead server's lock from then on; with another Qt, the film plays on)
        static QAtomicInt failed;
        static const QtMessageHandler qtMessages = qInstallMessageHandler([](auto type, auto &where, auto &text) {
            failed.fetchAndOrRelaxed(text.contains(QStringLiteral("pa_stream_begin_write")));
            qtMessages(type, where, text);
        });
        TestSupport::reportToParent("playing");
        (void)QTest::qWaitFor([] { return failed.loadRelaxed() != 0; }, 5000);
        // Alt+F4 again while the window stays, in case a busy machine gave the keyboard elsewhere.
        const QString id = QString::number(app.floating().windows().front()->winId());
        for (int tries = 0; tries < 5 && !app.floating().windows().empty(); ++tries) {
            xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), id, QStringLiteral("key"),
                     QStringLiteral("alt+F4")});
            (void)QTest::qWaitFor([&] { return app.floating().windows().empty(); }, 3000);
        }
        ASSERT_TRUE(app.floating().windows().empty());
        const auto playsAgain = [&] { // silent: Qt's sound engine never works again in this process
            app.openItem(app.items().front());
            QMediaPlayer *again = app.floating().windows().back()->findChild<VideoPlayerView *>()->player();
            return QTest::qWaitFor([&] { return again->position() > 0; }, 20000);
        };
        ASSERT_TRUE(playsAgain());
        TestSupport::reportToParent("reopened"); // the parent starts a new server on the same socket
        ASSERT_TRUE(QTest::qWaitFor([] { return QFile::exists(qEnvironmentVariable("PULSE_SERVER").mid(5)); }, 20000));
        ASSERT_TRUE(playsAgain());
    }
    if (stalled) // a teardown of the application object that does not end, as Qt's sound sink can make it
        QObject::connect(qApp, &QObject::destroyed, [] { ::sleep(24 * 3600); });
    QSignalSpy exits(delegate.get(), &TarnAppDelegate::exitRequested);
    delegate->perform(AppCommand::quit);
    ASSERT_EQ(exits.count(), 1);
    TestSupport::reportToParent("quit");
    TarnwickApplication::endRun(std::move(delegate), stalled ? 3 : 0);
}

// However often the application quits right after playing a video with sound its process ends:
// players, sound streams and their threads end before the application object, and not even a Qt
// teardown that never ends holds the process (the last round, ended with a status of its own).
TEST_F(QuitAfterPlayback, EveryQuitEndsTheProcess)
{
    const QString movie = root(QStringLiteral("tone.mp4"));
    TestSupport::writeMovie(movie, TestSupport::Movie{{TestSupport::VideoTrack{160, 120, 4, 10}}, 0.4});
    LibraryStore(root()).insertVideo(movie, "tone", QImage(160, 120, QImage::Format_RGB32), 160, 120, 0.4);
    // "gone": a long film, its own sound server killed mid-playback, closed by key on a desktop of its own,
    // then opened again, and once more with a new server on the socket.
    const QString film = root(QStringLiteral("long.mp4")), socket = root(QStringLiteral("pulse"));
    TestSupport::writeMovie(film, TestSupport::Movie{{TestSupport::VideoTrack{160, 120, 300, 10}}, 30});
    LibraryStore(root(QStringLiteral("long")))
        .insertVideo(film, "long", QImage(160, 120, QImage::Format_RGB32), 160, 120, 30);
    TestSupport::PrivateDesktop desktop(QSize(1280, 800), {{QStringLiteral("one"), QRect(0, 0, 1280, 800)}}, true);
    QProcess sound;
    const auto startSound = [&] {
        sound.startCommand(QStringLiteral("pulseaudio -n --daemonize=no --use-pid-file=false --exit-idle-time=-1 "
                                          "--log-level=error --load=module-null-sink "
                                          "\"--load=module-native-protocol-unix socket=%1\"")
                               .arg(socket));
        return QTest::qWaitFor([&] { return QFile::exists(socket); }, 10000);
    };
    // The guard's second, and room for a busy machine: only a process that does not end fails.
    const auto allowed = ExitGuard::limit + std::chrono::seconds(9);
    // "silent": no sound server to be reached, so no sound output at all; the film still plays.
    for (const std::string after : {"end", "end", "playing", "end", "playing", "silent", "end", "gone", "stalled"}) {
        TestSupport::ChildProcess::Variables set{{"TARN_QUIT_AFTER", after},
                                                 {"TARN_QUIT_LIBRARY", root().toStdString()}};
        if (after == "silent")
            set.emplace_back("PULSE_SERVER", "unix:/nonexistent");
        if (after == "gone") {
            ASSERT_TRUE(startSound());
            set[1].second = root(QStringLiteral("long")).toStdString();
            set.emplace_back("PULSE_SERVER", "unix:" + socket.toStdString());
            set.emplace_back("DISPLAY", desktop.display().toStdString());
        }
        TestSupport::ChildProcess child("QuitAfterPlayback.Child", set);
        if (after == "gone" && child.nextReport(std::chrono::seconds(60)) == "playing") {
            sound.kill();
            sound.waitForFinished();
            QFile::remove(socket);
            if (child.nextReport(std::chrono::seconds(60)) == "reopened") {
                ASSERT_TRUE(startSound());
            }
        }
        ASSERT_EQ(child.nextReport(std::chrono::seconds(60)), "quit") << after << child.output();
        EXPECT_EQ(child.waitForExit(allowed), std::optional<int>(after == "stalled" ? 3 : 0)) << after;
    }
}

TEST_F(ExclusiveAppDelegate, CtrlShift1StartsARegionCaptureThroughTheHotKeyOrElseTheMenu)
{
    auto delegate = launch(root());
    AppModel &app = delegate->app();
    ASSERT_TRUE(QTest::qWaitForWindowActive(delegate->libraryWindow()));
    EXPECT_EQ(delegate->hotKeys().registeredIdentifiers(), (std::vector<uint32_t>{1, 2, 3, 4, 5}));
    EXPECT_TRUE(app.shortcutFailures().isEmpty());
    QSignalSpy performed(delegate.get(), &TarnAppDelegate::performing);

    xdotool({QStringLiteral("key"), QStringLiteral("ctrl+shift+1")});
    expectRegionOverlayThenCancel(app);
    ASSERT_EQ(performed.count(), 1) << "the grabbed key never reaches the menu too";
    EXPECT_EQ(performed.front().front().value<AppCommand>(), AppCommand::captureRegion);

    // Without the global keys the File menu's item answers, while a window of ours is active.
    app.preferences().setGlobalShortcuts(false);
    app.notifyShortcutsChanged();
    EXPECT_TRUE(delegate->hotKeys().registeredIdentifiers().empty());
    delegate->perform(AppCommand::showLibrary);
    ASSERT_TRUE(QTest::qWaitForWindowActive(delegate->libraryWindow()));
    performed.clear();
    xdotool({QStringLiteral("key"), QStringLiteral("ctrl+shift+1")});
    expectRegionOverlayThenCancel(app);
    ASSERT_EQ(performed.count(), 1);
    EXPECT_EQ(performed.front().front().value<AppCommand>(), AppCommand::captureRegion);
    app.preferences().setGlobalShortcuts(true);
}

// The overlay grabs the keyboard while the hot key is still held, so its release goes to the
// overlay and not to the root window; the next press must still count.
TEST_F(ExclusiveAppDelegate, AHotKeyReleasedIntoTheOverlaysGrabWorksAgainAfterwards)
{
    auto delegate = launch(root());
    AppModel &app = delegate->app();
    QSignalSpy performed(delegate.get(), &TarnAppDelegate::performing);
    xdotool({QStringLiteral("keydown"), QStringLiteral("ctrl+shift+1")});
    const bool overlay = QTest::qWaitFor([&] { return app.selector().isRunning(); }, 5000);
    QTest::qWait(300); // the grab is in place
    xdotool({QStringLiteral("keyup"), QStringLiteral("ctrl+shift+1")});
    ASSERT_TRUE(overlay);
    QTest::qWait(200);
    xdotool({QStringLiteral("key"), QStringLiteral("Escape")});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !app.isBusy(); }, 5000));
    EXPECT_EQ(performed.count(), 1);

    xdotool({QStringLiteral("key"), QStringLiteral("ctrl+shift+1")});
    expectRegionOverlayThenCancel(app);
    EXPECT_EQ(performed.count(), 2);
}

TEST_F(ExclusiveAppDelegate, ASmokeRunRegistersNoHotKeysWhateverThePreference)
{
    auto delegate = launch(root(QStringLiteral("smoke/library")), true, dir_.filePath(QStringLiteral("smoke")));
    EXPECT_TRUE(delegate->app().preferences().globalShortcuts());
    EXPECT_TRUE(delegate->hotKeys().registeredIdentifiers().empty());
    EXPECT_TRUE(delegate->app().shortcutFailures().isEmpty());
}

// The text window and the pins have no menu bar, yet the menu's keys work in them as in every
// window of ours: with the global keys off Ctrl+Shift+1 still starts a region capture while one of
// them is in front, and Ctrl+W closes it.
TEST_F(ExclusiveAppDelegate, TheMenusKeysWorkInTheTextWindowAndInPins)
{
    auto delegate = launch(root());
    AppModel &app = delegate->app();
    app.preferences().setGlobalShortcuts(false);
    app.notifyShortcutsChanged();
    FloatingWindows &floating = app.floating();
    QImage picture(320, 200, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    const struct {
        const char *what;
        std::function<void()> open;
    } windows[] = {
        {"text window", [&] { floating.showText(QStringLiteral("인식한 텍스트")); }},
        {"pin", [&] { floating.pin(picture, QStringLiteral("고정")); }},
    };
    for (const auto &row : windows) {
        SCOPED_TRACE(row.what);
        row.open();
        QPointer<QWidget> window = floating.windows().back();
        const auto bringForward = [&] {
            window->activateWindow();
            return QTest::qWaitForWindowActive(window);
        };
        ASSERT_TRUE(bringForward());
        xdotool({QStringLiteral("key"), QStringLiteral("ctrl+shift+1")});
        expectRegionOverlayThenCancel(app);

        ASSERT_TRUE(window && bringForward());
        xdotool({QStringLiteral("key"), QStringLiteral("ctrl+w")});
        EXPECT_TRUE(QTest::qWaitFor([&] { return !window || !window->isVisible(); }, 3000)) << "still open";
    }
    app.preferences().setGlobalShortcuts(true);
}

TEST_F(ExclusiveAppDelegate, SearchFromAnEditorRaisesTheLibraryAndFocusesItsSearchField)
{
    auto delegate = launch(root());
    // An editor window gets the menu bar when it opens.
    auto *editor = new TestSupport::TestEditor(Uuid::random());
    delegate->app().addEditor(editor);
    auto *window = qobject_cast<QMainWindow *>(editor->window());
    ASSERT_NE(window->menuWidget(), nullptr);
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    QSignalSpy focus(&Notifications::center(), &Notifications::focusSearch);

    xdotool({QStringLiteral("key"), QStringLiteral("ctrl+f")});
    ASSERT_TRUE(focus.count() == 1 || focus.wait(3000));
    ASSERT_TRUE(QTest::qWaitForWindowActive(delegate->libraryWindow()));
    EXPECT_TRUE(QTest::qWaitFor([] { return qobject_cast<QLineEdit *>(QApplication::focusWidget()) != nullptr; }));
    EXPECT_EQ(QApplication::focusWidget()->window(), delegate->libraryWindow());
}

// Ctrl+Q with unsaved edits asks in the editor whether to save, and the editor's export opens a
// panel that asks whether to replace an existing file; pinned images, which float above ordinary
// windows, must not cover these, nor may a pin opened while the panel is open. Trashing the
// capture is refused then, and brings the editor in front of the library with the refusal over it.
TEST_F(ExclusiveAppDelegate, AnUnsavedEditorsQuestionsComeInFrontOfThePinsAndATrashBringsItForward)
{
    auto delegate = launch(root());
    AppModel &app = delegate->app();
    const bool recognizes = app.preferences().automaticOCR();
    const auto restore = qScopeGuard([&app, recognizes] { app.preferences().setAutomaticOCR(recognizes); });
    app.preferences().setAutomaticOCR(false);
    QImage picture(900, 700, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    const QString shot = dir_.filePath(QStringLiteral("shot.png"));
    ASSERT_TRUE(picture.save(shot));
    TestSupport::await(app.importURLs({shot}));
    ASSERT_EQ(app.items().size(), 1u);
    const CaptureItem item = app.items().front();

    app.openItem(item);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !app.editorControllers().empty(); }, 10000));
    auto *editor = dynamic_cast<EditorWindowController *>(app.editorControllers().begin()->second);
    ASSERT_NE(editor, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(editor->window()));
    editor->model().setTitle(QStringLiteral("바뀐 제목"));
    app.pin(item);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !app.floating().windows().empty(); }, 10000));
    QWidget *pin = app.floating().windows().back();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(pin));

    // Ctrl+Q on the library's own window (on the shared test desktop another test's new window may
    // take the focus for a moment), the editor minimized by the window manager and on another
    // desktop: it comes back to ask, on the user's desktop.
    const QString editorId = QString::number(editor->window()->winId());
    xdotool({QStringLiteral("windowminimize"), QStringLiteral("--sync"), editorId});
    xdotool({QStringLiteral("set_desktop_for_window"), editorId, QStringLiteral("1")});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !TestSupport::onTheUsersDesktop(editor->window()); }));
    QTest::keyClick(delegate->libraryWindow()->windowHandle(), Qt::Key_Q, Qt::ControlModifier);
    QMessageBox *question = nullptr;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            question = editor->window()->findChild<QMessageBox *>(QStringLiteral("editor.unsavedEdits"));
            return question && question->isVisible();
        },
        5000));
    EXPECT_TRUE(inFrontWithTheKeys(pin, question) && TestSupport::windowState(editor->window()) == u"Normal" &&
                TestSupport::onTheUsersDesktop(editor->window()));

    // Clicks on the pin, also once it has the keyboard, leave it behind the question; a click on the
    // editor hands the question the keyboard, in front of the pin, where Escape answers it.
    for (int clicks = 0; clicks < 2; ++clicks) {
        TestSupport::click(pin, QPoint(10, 10));
        EXPECT_TRUE(TestSupport::settles([&] {
            return TestSupport::stackedInOrder({pin, question}) && TestSupport::activeWindow() == pin->winId();
        }));
    }
    TestSupport::click(editor->window(), QPoint(10, editor->window()->height() - 10));
    EXPECT_TRUE(inFrontWithTheKeys(pin, question));
    const QPointer<QMessageBox> asked(question);                // gone once answered
    xdotool({QStringLiteral("key"), QStringLiteral("Escape")}); // 취소: the editor stays, nothing quits
    EXPECT_TRUE(QTest::qWaitFor([&] { return !asked || !asked->isVisible(); }, 5000));
    EXPECT_EQ(app.editorControllers().size(), 1u);

    ASSERT_TRUE(QTest::qWaitForWindowActive(editor->window()));
    QTest::keyClick(editor->window()->windowHandle(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    QFileDialog *panel = TestSupport::nextFileDialog();
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(inFrontWithTheKeys(pin, panel));
    app.pin(item);
    ASSERT_TRUE(QTest::qWaitFor([&] { return app.floating().windows().size() == 2; }, 10000));
    EXPECT_TRUE(inFrontWithTheKeys(app.floating().windows().back(), panel));
    // The status menu's 종료 brings forward the editor, which waits on its panel: the panel stays in
    // front of it and of the pins, with the keys.
    chooseFromTheStatusMenu(*delegate, -1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return editor->model().message() == QuitDecision::editorWorkingMessage(); }));
    EXPECT_TRUE(TestSupport::settles([&] {
        return TestSupport::stackedInOrder({editor->window(), app.floating().windows().back(), panel}) &&
            TestSupport::activeWindow() == panel->winId();
    }));
    // The panel asks in a modal loop of its own: the question is looked at from there.
    std::optional<bool> replaceInFront;
    QTimer watch;
    const QPointer<QFileDialog> asking(panel); // gone when the panel took a name without asking
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (!asking) {
            watch.stop();
            replaceInFront = false;
        } else if (auto *replace = panel->findChild<QMessageBox *>(); replace && replace->isVisible()) {
            watch.stop();
            replaceInFront = inFrontWithTheKeys(pin, replace);
            xdotool({QStringLiteral("key"), QStringLiteral("Escape")}); // not replaced
        }
    });
    watch.start(50);
    ASSERT_TRUE(TestSupport::typeInto(panel->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")), shot));
    xdotool({QStringLiteral("key"), QStringLiteral("Return")});
    ASSERT_TRUE(QTest::qWaitFor([&] { return replaceInFront.has_value(); }) && *replaceInFront);
    // Without a pin a dialog is kept above nothing: it stays behind the application turned to.
    const auto keptAbove = [](const QWidget *window) {
        QProcess xprop;
        xprop.start(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(window->winId())});
        return xprop.waitForFinished(5000) && xprop.readAllStandardOutput().contains("_NET_WM_STATE_ABOVE");
    };
    app.floating().closePins();
    EXPECT_TRUE(TestSupport::settles([&] { return !keptAbove(panel); }));
    panel->reject();

    // The refusal's message comes in front with the keys, right in front of the editor (or of a pin
    // that floats over it), the library behind: trashed from the card's menu, without a pin and with one.
    for (const bool pinned : {false, true}) {
        QWidget *library = delegate->libraryWindow(), *front = editor->window();
        if (pinned) {
            app.pin(item);
            ASSERT_TRUE(QTest::qWaitFor([&] { return !app.floating().windows().empty(); }, 10000));
            front = app.floating().windows().back(); // moved off the card, once the window manager placed it
            ASSERT_TRUE(QTest::qWaitForWindowExposed(front));
            xdotool(QStringLiteral("windowmove --sync %1 0 0").arg(front->winId()).split(u' '));
        }
        xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), QString::number(library->winId())});
        ASSERT_TRUE(inFrontWithTheKeys(editor->window(), library));
        QMenu *menu = nullptr; // clicked again if a busy machine lost the click
        for (int tries = 0; tries < 3 && !menu; ++tries) {
            TestSupport::click(library->findChild<CaptureCell *>(), {}, 3); // the only capture
            (void)QTest::qWaitFor([&] { return menu = qobject_cast<QMenu *>(QApplication::activePopupWidget()); });
        }
        const QWidget *modal = QApplication::activeModalWidget(), *active = QApplication::activeWindow();
        ASSERT_TRUE(menu) << "modal: " << (modal ? modal->metaObject()->className() : "none")
                          << ", active: " << (active ? active->windowTitle().toStdString() : "none");
        TestSupport::click(menu, menu->actionGeometry(menu->actions().back()).center()); // 휴지통으로 이동
        QPointer<QWidget> alert;
        ASSERT_TRUE(QTest::qWaitFor([&] { return (alert = QApplication::activeModalWidget()) && alert->isVisible(); }));
        EXPECT_TRUE(inFrontWithTheKeys(front, alert) &&
                    TestSupport::stackedInOrder({library, editor->window(), front}));
        EXPECT_TRUE(pinned || !keptAbove(alert));
        if (pinned) { // the editor closes under its message: the message goes with it
            editor->close();
        } else {
            // A quit asks over the refusal; the question keeps the keyboard, a click on the editor
            // too, and once it is answered the refusal has the keyboard again.
            chooseFromTheStatusMenu(*delegate, -1); // 종료
            QPointer<QMessageBox> asking;
            ASSERT_TRUE(QTest::qWaitFor([&] {
                asking = editor->window()->findChild<QMessageBox *>(QStringLiteral("editor.unsavedEdits"));
                return asking && asking->isVisible();
            }));
            EXPECT_TRUE(inFrontWithTheKeys(alert, asking));
            TestSupport::click(editor->window(), QPoint(10, editor->window()->height() - 10)); // beside both
            EXPECT_TRUE(inFrontWithTheKeys(alert, asking) && TestSupport::keepsTheKeyboard(asking, 3000));
            xdotool({QStringLiteral("key"), QStringLiteral("Escape")}); // 취소
            ASSERT_TRUE(QTest::qWaitFor([&] { return !asking || !asking->isVisible(); }));
            EXPECT_TRUE(inFrontWithTheKeys(editor->window(), alert));
            xdotool({QStringLiteral("key"), QStringLiteral("Return")});
        }
        EXPECT_TRUE(QTest::qWaitFor([&] { return !alert && !app.errorMessage(); }) && !app.items().front().trashedAt);
    }
}

} // namespace
} // namespace tarn
