// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAbstractButton>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "app/model/AppModel.h"
#include "app/settings/SettingsView.h"
#include "app/shell/SheetRouter.h"
#include "platform/XdgAutostart.h"
#include "support/Await.h"

namespace tarn {
namespace {

// Stands in for the desktop's file manager: remembers the folders it was asked to show.
class OpenedUrls : public QObject {
    Q_OBJECT

public:
    OpenedUrls() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open"); }
    ~OpenedUrls() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }

    QList<QUrl> urls;

public Q_SLOTS:
    void open(const QUrl &url) { urls << url; }
};

// Sets an environment variable for the life of the object.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char *name, const QByteArray &value) : name_(name), old_(qgetenv(name))
    {
        qputenv(name, value);
    }
    ~ScopedEnvironment() { qputenv(name_, old_); }

private:
    const char *name_;
    QByteArray old_;
};

class SettingsViewTest : public ::testing::Test {
protected:
    std::unique_ptr<AppModel> model(bool demo = true)
    {
        return std::make_unique<AppModel>(dir_.filePath(QStringLiteral("library")), demo);
    }
    SettingsView *open(AppModel &app)
    {
        auto *view = static_cast<SettingsView *>(makeSheet(AppSheet::settings, app, nullptr));
        views_.emplace_back(view);
        view->show();
        return view;
    }

    QTemporaryDir dir_;
    ScopedEnvironment config_{"XDG_CONFIG_HOME", QFile::encodeName(dir_.filePath(QStringLiteral("config")))};
    std::vector<std::unique_ptr<SettingsView>> views_;
};

// Every control of the four pages writes its preference at once; the values come back in the
// next run, and the demo suite and the ordinary settings stay apart.
TEST_F(SettingsViewTest, ChangesThroughThePagesPersistAcrossARestart)
{
    {
        auto app = model(true);
        SettingsView *view = open(*app);
        view->general()->openEditor()->control()->click();
        view->general()->copyAfterCapture()->control()->click();
        view->capture()->captureCursor()->control()->click();
        view->capture()->automaticOCR()->control()->click();
        Q_EMIT view->capture()->captureDelay()->activated(2);
        Q_EMIT view->recording()->frameRate()->activated(0);
        Q_EMIT view->recording()->recordingLongEdge()->activated(0);
        view->recording()->systemAudio()->control()->click();
        view->recording()->microphone()->control()->click();
    }
    Preferences demo(true);
    EXPECT_FALSE(demo.openEditor());
    EXPECT_TRUE(demo.copyAfterCapture());
    EXPECT_TRUE(demo.captureCursor());
    EXPECT_FALSE(demo.automaticOCR());
    EXPECT_EQ(demo.captureDelay(), 5);
    EXPECT_EQ(demo.frameRate(), 30);
    EXPECT_EQ(demo.recordingLongEdge(), 1920);
    EXPECT_TRUE(demo.systemAudio());
    EXPECT_TRUE(demo.microphone());

    // A new sheet in a new run shows the stored values.
    auto again = model(true);
    SettingsView *view = open(*again);
    EXPECT_FALSE(view->general()->openEditor()->value());
    EXPECT_EQ(view->capture()->captureDelay()->currentText(), QStringLiteral("5초"));
    EXPECT_EQ(view->recording()->frameRate()->currentText(), QStringLiteral("30 fps"));
    EXPECT_EQ(view->recording()->recordingLongEdge()->currentText(), QStringLiteral("1,920 px"));

    // A change made elsewhere while the sheet is open shows at once.
    again->preferences().setCaptureDelay(3);
    EXPECT_EQ(view->capture()->captureDelay()->currentText(), QStringLiteral("3초"));
    again->preferences().setCaptureDelay(7); // not offered: no entry chosen
    EXPECT_EQ(view->capture()->captureDelay()->value(), std::nullopt);

    Preferences ordinary(false);
    EXPECT_TRUE(ordinary.openEditor());
    EXPECT_EQ(ordinary.frameRate(), 60);
    EXPECT_FALSE(ordinary.microphone());
}

TEST_F(SettingsViewTest, ShortcutHookRunsOncePerUserChangeAndNoticesFollowTheModel)
{
    auto app = model();
    QSignalSpy hook(app.get(), &AppModel::shortcutsChanged);
    SettingsView *view = open(*app);
    view->setSelection(0);
    EXPECT_EQ(hook.count(), 0);

    SwitchButton *control = view->general()->globalShortcuts()->control();
    control->click();
    EXPECT_FALSE(app->preferences().globalShortcuts());
    EXPECT_EQ(hook.count(), 1);
    control->click();
    EXPECT_TRUE(app->preferences().globalShortcuts());
    EXPECT_EQ(hook.count(), 2);
    // A change that does not come from the switch is not the sheet's to act on.
    app->preferences().setGlobalShortcuts(false);
    EXPECT_FALSE(control->isChecked());
    EXPECT_EQ(hook.count(), 2);

    // The clash notice and the permission state follow the model while the sheet is open.
    QLabel *notice = view->general()->clashNotice();
    EXPECT_FALSE(notice->isVisible());
    app->setShortcutFailures({QStringLiteral("Ctrl+Shift+1"), QStringLiteral("Ctrl+Shift+3")});
    EXPECT_TRUE(notice->isVisible());
    EXPECT_EQ(notice->text(),
              QStringLiteral("다른 앱과 충돌한 단축키: Ctrl+Shift+1, Ctrl+Shift+3\n"
                             "해당 앱의 단축키를 해제한 뒤 다시 켜 주세요."));
    app->setShortcutFailures({});
    EXPECT_FALSE(notice->isVisible());

    view->setSelection(1);
    app->setScreenPermission(false);
    EXPECT_FALSE(view->capture()->showsPermissionGranted());
    app->setScreenPermission(true);
    EXPECT_TRUE(view->capture()->showsPermissionGranted());
}

TEST_F(SettingsViewTest, TabsChooseOnePageAndEveryPresentationStartsOnTheFirst)
{
    auto app = model();
    SheetPresenter presenter(*app);
    app->present(AppSheet::settings);
    auto *view = qobject_cast<SettingsView *>(presenter.current());
    ASSERT_NE(view, nullptr);
    const std::vector<std::pair<int, QWidget *>> cases = {
        {0, view->general()}, {1, view->capture()},  {2, view->recording()},
        {3, view->storage()}, {-1, view->storage()}, {9, view->storage()},
    };
    for (const auto &[index, page] : cases) {
        view->setSelection(index);
        EXPECT_EQ(view->currentPage(), page) << index;
    }
    view->tab(2)->click();
    EXPECT_EQ(view->currentPage(), view->recording());

    view->header()->closeButton()->click();
    EXPECT_EQ(app->sheet(), std::nullopt);
    app->present(AppSheet::settings);
    auto *fresh = qobject_cast<SettingsView *>(presenter.current());
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(fresh->selection(), 0);
    EXPECT_EQ(fresh->currentPage(), fresh->general());
}

// Launch at login through the real autostart file; the failure cases keep the switch where it
// was and go to the application's error display.
TEST_F(SettingsViewTest, LaunchAtLoginWritesTheAutostartEntryAndKeepsTheSwitchOnFailure)
{
    const QString autostart = dir_.filePath(QStringLiteral("config/autostart"));
    const QString entry = autostart + QStringLiteral("/tarnwick.desktop");
    auto app = model();
    QFile blocker(autostart);
    QDir().mkpath(QFileInfo(autostart).path());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    SettingsView *view = open(*app);
    SwitchButton *control = view->general()->launchAtLogin();
    EXPECT_FALSE(control->isChecked());
    control->click();
    EXPECT_FALSE(control->isChecked());
    EXPECT_FALSE(view->launchAtLogin());
    ASSERT_TRUE(app->errorMessage().has_value());
    EXPECT_TRUE(app->errorMessage()->startsWith(QStringLiteral("로그인 시 실행을 켜지 못했습니다.")));

    app->setErrorMessage(std::nullopt);
    ASSERT_TRUE(QFile::remove(autostart));
    control->click();
    EXPECT_TRUE(control->isChecked());
    EXPECT_TRUE(QFile::exists(entry));
    EXPECT_EQ(app->errorMessage(), std::nullopt);

    // A later sheet reads the entry back.
    SettingsView *later = open(*app);
    EXPECT_TRUE(later->general()->launchAtLogin()->isChecked());

    // The entry turned into a folder cannot be removed: the switch stays on.
    ASSERT_TRUE(QFile::remove(entry));
    ASSERT_TRUE(QDir().mkpath(entry));
    later->general()->launchAtLogin()->click();
    EXPECT_TRUE(later->general()->launchAtLogin()->isChecked());
    ASSERT_TRUE(app->errorMessage().has_value());
    EXPECT_TRUE(app->errorMessage()->startsWith(QStringLiteral("로그인 시 실행을 끄지 못했습니다.")));

    ASSERT_TRUE(QDir(entry).removeRecursively());
    later->general()->launchAtLogin()->click();
    EXPECT_FALSE(later->general()->launchAtLogin()->isChecked());
}

// A login-item service that registers only with the user's approval (this desktop has none).
class ApprovalService : public LoginItemService {
public:
    Status status() override { return registered ? Status::requiresApproval : Status::notRegistered; }
    void registerItem() override { registered = true; }
    void unregisterItem() override { registered = false; }
    void openSystemSettings() override { ++settingsOpened; }

    bool registered = false;
    int settingsOpened = 0;
};

TEST_F(SettingsViewTest, RegistrationAwaitingApprovalLeavesTheSwitchOffAndOpensTheSettings)
{
    auto service = std::make_unique<ApprovalService>();
    ApprovalService *fake = service.get();
    SettingsView view(std::move(service), QStringLiteral("9.8.7-rc1"), dir_.path());
    view.show();
    view.general()->launchAtLogin()->click();
    EXPECT_TRUE(fake->registered);
    EXPECT_FALSE(view.general()->launchAtLogin()->isChecked());
    EXPECT_EQ(fake->settingsOpened, 1);
}

TEST_F(SettingsViewTest, LibraryPathIsShownAsPlainTextAndOnlyFoldersThatExistAreOpened)
{
    const QString root = dir_.filePath(QStringLiteral("내 라이브러리 %20 #1"));
    AppModel app(root, false);
    TestSupport::await(app.load());
    auto *view = static_cast<SettingsView *>(makeSheet(AppSheet::settings, app, nullptr));
    views_.emplace_back(view);
    EXPECT_EQ(view->storage()->pathLabel()->text(), root);
    EXPECT_EQ(view->storage()->countLabel()->text(), QStringLiteral("원본 파일 크기 · 휴지통 포함 0개"));

    const QString recordings = root + QStringLiteral("/Recordings");
    struct Case {
        QAbstractButton *button;
        bool removeRecordingsFirst;
        QString opened; // empty: the file manager is not asked
    };
    const Case cases[] = {
        {view->storage()->libraryButton(), false, root},
        {view->storage()->recordingsButton(), false, recordings},
        {view->storage()->recordingsButton(), true, QString()},
    };
    for (const Case &c : cases) {
        if (c.removeRecordingsFirst) {
            ASSERT_TRUE(QDir(recordings).removeRecursively());
        }
        OpenedUrls fileManager;
        c.button->click();
        if (c.opened.isEmpty()) {
            EXPECT_TRUE(fileManager.urls.isEmpty());
        } else {
            ASSERT_EQ(fileManager.urls.size(), 1);
            EXPECT_EQ(fileManager.urls[0].toLocalFile(), c.opened);
        }
    }
    // With no file manager to be found the user is told where the folder is, not left guessing.
    {
        const ScopedEnvironment noFileManager("PATH", dir_.path().toUtf8());
        ASSERT_TRUE(QDir().mkpath(recordings));
        view->storage()->recordingsButton()->click();
        ASSERT_TRUE(app.errorMessage());
        EXPECT_TRUE(app.errorMessage()->endsWith(QStringLiteral(": ") + recordings)) << qPrintable(*app.errorMessage());
    }
}

} // namespace
} // namespace tarn

#include "SettingsViewTest.moc"
