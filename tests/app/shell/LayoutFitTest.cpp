// SPDX-License-Identifier: GPL-3.0-or-later
// The library window at its smallest and its default size, and the settings (each tab) and every
// sheet over it, in the states that change what they show, with each common interface font as the
// system's (Hangul from its fallback): every text is drawn whole and every part lies inside what
// its parent shows. With TARN_LAYOUT_SHOTS set, a picture of each state goes into that folder for
// a person to look at.
#include <algorithm>
#include <functional>

#include <QDir>
#include <QFile>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "app/library/LibraryView.h"
#include "app/model/AppModel.h"
#include "app/settings/PermissionView.h"
#include "app/settings/SettingsView.h"
#include "app/settings/SheetDialog.h"
#include "app/shell/LibraryWindow.h"
#include "app/shell/TarnAppDelegate.h"
#include "app/widgets/ContentSize.h"
#include "support/Await.h"
#include "support/InterfaceFonts.h"
#include "support/LayoutFit.h"
#include "support/ListedWindow.h"

namespace tarn {
namespace {

using TestSupport::layoutFaults;
using TestSupport::listedWindow;

// A state of the library window, set up from the plain all-captures view.
struct LibraryState {
    const char *name;
    std::function<void(AppModel &)> enter;
};

class LayoutFit : public ::testing::TestWithParam<const char *> {
protected:
    void SetUp() override
    {
        if (QGuiApplication::platformName() != QStringLiteral("xcb"))
            GTEST_SKIP() << "needs the test desktop";
        ASSERT_NO_THROW(TestSupport::requireInstalled(QString::fromLatin1(GetParam())));
        QFont font = systemFont_;
        font.setFamilies({QString::fromLatin1(GetParam())});
        QApplication::setFont(font);
        // Two unfinished recordings, so that the recovery banner can be shown.
        const QString recordings = dir_.filePath(QStringLiteral("library/Recordings"));
        ASSERT_TRUE(QDir().mkpath(recordings));
        for (const char *name : {"a.mp4", "b.mp4"}) {
            QFile file(QDir(recordings).filePath(QString::fromLatin1(name)));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write("not yet a movie");
        }
        delegate_ = std::make_unique<TarnAppDelegate>(dir_.filePath(QStringLiteral("library")), true, std::nullopt);
        QSignalSpy started(delegate_.get(), &TarnAppDelegate::startUpFinished);
        delegate_->applicationDidFinishLaunching();
        ASSERT_TRUE(started.count() > 0 || started.wait(30000));
        ASSERT_TRUE(QTest::qWaitFor([this] { return app().items().size() >= 6 && !app().isBusy(); }, 30000));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window()));
    }

    AppModel &app() const { return delegate_->app(); }
    LibraryWindow *window() const { return delegate_->libraryWindow(); }
    QWidget *content() const { return window()->centralWidget(); }

    // Resizes the window (the window manager keeps it at its smallest) and waits for the content.
    bool resizeContent(QSize wanted, QSize expected)
    {
        window()->resize(wanted + QSize(0, ContentSize::menuBarHeight(*window())));
        return QTest::qWaitFor([&] { return content()->size() == expected; }, 5000);
    }

    void expectWhole(QWidget *shown, const QString &state)
    {
        // A fault that lasts past the queued layout requests and repaints; a passing one is none.
        QStringList faults;
        (void)QTest::qWaitFor([&] { return (faults = layoutFaults(shown)).isEmpty(); }, 2000);
        EXPECT_TRUE(faults.isEmpty()) << state.toStdString() << ":\n" << faults.join(QLatin1Char('\n')).toStdString();
        const QString shots = qEnvironmentVariable("TARN_LAYOUT_SHOTS");
        if (!shots.isEmpty())
            shown->grab().save(QDir(shots).filePath(state + QStringLiteral(".png")));
    }

    // Each state at each window size, from the plain all-captures view.
    void checkStates(const std::vector<LibraryState> &states, const std::vector<std::pair<const char *, QSize>> &sizes)
    {
        for (const auto &[sizeName, wanted] : sizes) {
            const QSize expected = wanted.expandedTo(QSize(LibraryView::minimumWidth, LibraryView::minimumHeight));
            ASSERT_TRUE(resizeContent(wanted, expected))
                << sizeName << ": the content is " << content()->width() << " x " << content()->height();
            for (const LibraryState &state : states) {
                state.enter(app());
                expectWhole(window(),
                            QStringLiteral("library-%1-%2")
                                .arg(QString::fromLatin1(sizeName), QString::fromLatin1(state.name)));
                app().setScreenPermission(true);
                app().clearSelection();
                app().setSection(LibrarySection::all);
                app().setSearchText(QString());
                app().setGridView(true);
            }
        }
    }

    SheetDialog *presented(AppSheet sheet)
    {
        app().present(sheet);
        SheetDialog *shown = nullptr;
        EXPECT_TRUE(QTest::qWaitFor([&] {
            for (SheetDialog *dialog : window()->findChildren<SheetDialog *>(Qt::FindDirectChildrenOnly))
                if (dialog->isVisible())
                    shown = dialog;
            return shown != nullptr;
        }));
        return shown;
    }

    void TearDown() override { QApplication::setFont(systemFont_); }

    const QFont systemFont_ = QApplication::font();
    QTemporaryDir dir_;
    std::unique_ptr<TarnAppDelegate> delegate_;
};

TEST_P(LayoutFit, TheLibraryWindowAndEverySheetShowEveryTextWholeAtTheSmallestAndDefaultSizes)
{
    const std::vector<CaptureItem> samples = app().items();
    const std::vector<LibraryState> states{
        {"all", [](AppModel &) {}},
        {"banners", [](AppModel &app) { app.setScreenPermission(false); }},
        {"selection",
         [&](AppModel &app) {
             app.setSelection(samples[0].id, true);
             app.setSelection(samples[1].id, true);
         }},
        {"no-match", [](AppModel &app) { app.setSearchText(QStringLiteral("찾을 수 없는 말")); }},
        {"images-list",
         [](AppModel &app) {
             app.setSection(LibrarySection::images);
             app.setGridView(false);
         }},
        {"favorites", [](AppModel &app) { app.setSection(LibrarySection::favorites); }},
        {"trash", [](AppModel &app) { app.setSection(LibrarySection::trash); }},
    };
    const std::vector<std::pair<const char *, QSize>> sizes{{"smallest", QSize(1, 1)},
                                                            {"default", LibraryWindow::defaultContentSize}};
    checkStates(states, sizes);

    // Everything in the trash: the empty library with its two buttons, and a full trash.
    app().selectAllVisible();
    app().trashSelected();
    ASSERT_TRUE(QTest::qWaitFor(
        [this] {
            return !app().isBusy() &&
                std::all_of(app().items().begin(), app().items().end(),
                            [](const CaptureItem &item) { return item.trashedAt; });
        },
        10000));
    const std::vector<LibraryState> emptied{
        {"empty", [](AppModel &) {}},
        {"trash-selection",
         [&](AppModel &app) {
             app.setSection(LibrarySection::trash);
             app.setSelection(samples[0].id, true);
         }},
    };
    checkStates(emptied, sizes);

    app().setShortcutFailures({QStringLiteral("Ctrl+Shift+1"), QStringLiteral("Ctrl+Shift+3")});
    auto *settings = qobject_cast<SettingsView *>(presented(AppSheet::settings));
    ASSERT_NE(settings, nullptr);
    QScrollBar *scroll = settings->scrollArea()->verticalScrollBar();
    for (int tab = 0; tab < 4; ++tab) {
        settings->setSelection(tab);
        expectWhole(settings, QStringLiteral("settings-%1").arg(tab));
        if (scroll->maximum() > 0) { // the rest of a long tab
            scroll->setValue(scroll->maximum());
            expectWhole(settings, QStringLiteral("settings-%1-end").arg(tab));
        }
    }
    app().setScreenPermission(false);
    settings->setSelection(1);
    expectWhole(settings, QStringLiteral("settings-1-no-permission"));

    expectWhole(presented(AppSheet::permissions), QStringLiteral("permissions-missing"));
    app().setScreenPermission(true);
    expectWhole(presented(AppSheet::permissions), QStringLiteral("permissions"));
    auto *permissions = qobject_cast<PermissionView *>(presented(AppSheet::permissions));
    ASSERT_NE(permissions, nullptr);
    permissions->recheckButton()->click(); // its answer takes one more line
    expectWhole(permissions, QStringLiteral("permissions-rechecked"));
    expectWhole(presented(AppSheet::recording), QStringLiteral("recording"));
    app().setWindows({listedWindow(1, QStringLiteral("Quarterly report.pdf — 문서 보기"), QStringLiteral("Evince")),
                      listedWindow(2, QStringLiteral("터미널"), QStringLiteral("xterm")),
                      listedWindow(3, QString(), QString())});
    expectWhole(presented(AppSheet::windows), QStringLiteral("windows"));
    app().setWindows({});
    expectWhole(presented(AppSheet::windows), QStringLiteral("windows-empty"));
    expectWhole(presented(AppSheet::shortcuts), QStringLiteral("shortcuts"));
    app().setSheet(std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(InterfaceFonts, LayoutFit, testing::ValuesIn(TestSupport::interfaceFamilies),
                         TestSupport::FamilyName());

} // namespace
} // namespace tarn
