// SPDX-License-Identifier: GPL-3.0-or-later
// Writes a picture of every sheet (and of each settings tab) into $TARN_SHEET_SHOTS, for a
// person to look at; skipped when the variable is not set.
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "app/model/AppModel.h"
#include "app/settings/SettingsView.h"
#include "app/settings/WindowPickerView.h"
#include "app/shell/SheetRouter.h"
#include "app/widgets/Theme.h"
#include "support/ListedWindow.h"

namespace tarn {
namespace {

using TestSupport::listedWindow;

void save(QWidget *widget, const QString &name)
{
    widget->show();
    QTest::qWait(50);
    const QString file = QDir(qEnvironmentVariable("TARN_SHEET_SHOTS")).filePath(name + QStringLiteral(".png"));
    EXPECT_TRUE(widget->grab().save(file)) << file.toStdString();
}

TEST(SheetScreenshots, EverySheetAndTab)
{
    if (qEnvironmentVariableIsEmpty("TARN_SHEET_SHOTS"))
        GTEST_SKIP() << "TARN_SHEET_SHOTS names no folder";
    Theme::useIconTheme();
    QTemporaryDir dir;
    AppModel app(dir.filePath(QStringLiteral("내 라이브러리")), true);
    app.setShortcutFailures({QStringLiteral("Ctrl+Shift+1"), QStringLiteral("Ctrl+Shift+3")});
    app.setWindows(
        {listedWindow(1, QStringLiteral("Quarterly report.pdf — 문서 보기"), QStringLiteral("Evince")),
         listedWindow(2, QStringLiteral("Tarnwick 릴리스 노트 - Mozilla Firefox"), QStringLiteral("firefox")),
         listedWindow(3, QString(), QString()), listedWindow(4, QStringLiteral("터미널"), QStringLiteral("xterm"))});

    std::unique_ptr<SettingsView> settings(static_cast<SettingsView *>(makeSheet(AppSheet::settings, app, nullptr)));
    for (int tab = 0; tab < 4; ++tab) {
        settings->setSelection(tab);
        save(settings.get(), QStringLiteral("settings-%1").arg(tab));
    }
    const std::pair<AppSheet, const char *> sheets[] = {{AppSheet::permissions, "permissions"},
                                                        {AppSheet::recording, "recording"},
                                                        {AppSheet::windows, "windows"},
                                                        {AppSheet::shortcuts, "shortcuts"}};
    for (const auto &[sheet, name] : sheets) {
        std::unique_ptr<SheetDialog> dialog(makeSheet(sheet, app, nullptr));
        save(dialog.get(), QString::fromLatin1(name));
    }
    app.setScreenPermission(false);
    std::unique_ptr<SheetDialog> permission(makeSheet(AppSheet::permissions, app, nullptr));
    save(permission.get(), QStringLiteral("permissions-missing"));
    app.setWindows({});
    std::unique_ptr<SheetDialog> empty(makeSheet(AppSheet::windows, app, nullptr));
    save(empty.get(), QStringLiteral("windows-empty"));
}

} // namespace
} // namespace tarn
