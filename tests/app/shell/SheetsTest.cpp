// SPDX-License-Identifier: GPL-3.0-or-later
#include <QLabel>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextLayout>

#include <gtest/gtest.h>

#include "app/model/AppModel.h"
#include "app/settings/PermissionView.h"
#include "app/settings/RecordingDisplays.h"
#include "app/settings/RecordingSetupView.h"
#include "app/settings/SettingsView.h"
#include "app/settings/ShortcutsView.h"
#include "app/settings/WindowPickerView.h"
#include "app/settings/WindowSearch.h"
#include "app/shell/SheetRouter.h"
#include "support/ListedWindow.h"

namespace tarn {
namespace {

using TestSupport::listedWindow;

class SheetsTest : public ::testing::Test {
protected:
    QTemporaryDir dir_;
    AppModel app_{dir_.filePath(QStringLiteral("library")), true};
};

template <typename View> bool isA(QDialog *dialog) { return qobject_cast<View *>(dialog) != nullptr; }

// Each sheet opens fresh when the model names it, and every way of closing it clears the
// model's sheet, which ends it.
TEST_F(SheetsTest, ModelSheetOpensTheRightDialogAndEveryCloseClearsIt)
{
    SheetPresenter presenter(app_);
    const std::vector<std::pair<AppSheet, bool (*)(QDialog *)>> sheets = {
        {AppSheet::settings, &isA<SettingsView>},        {AppSheet::permissions, &isA<PermissionView>},
        {AppSheet::recording, &isA<RecordingSetupView>}, {AppSheet::windows, &isA<WindowPickerView>},
        {AppSheet::shortcuts, &isA<ShortcutsView>},
    };
    for (const auto &[sheet, check] : sheets) {
        SCOPED_TRACE(int(sheet));
        for (const char *way : {"escape", "header", "window"}) {
            app_.present(sheet);
            QPointer<SheetDialog> dialog = presenter.current();
            ASSERT_TRUE(dialog);
            EXPECT_TRUE(check(dialog));
            EXPECT_TRUE(dialog->isVisible());
            if (way == std::string_view("escape"))
                QTest::keyClick(dialog, Qt::Key_Escape);
            else if (way == std::string_view("header"))
                dialog->header()->closeButton()->click();
            else
                dialog->close();
            EXPECT_EQ(app_.sheet(), std::nullopt) << way;
            EXPECT_EQ(presenter.current(), nullptr);
            EXPECT_TRUE(!dialog || !dialog->isVisible()) << way;
        }
    }
    // Naming another sheet replaces the one shown.
    app_.present(AppSheet::shortcuts);
    QPointer<SheetDialog> first = presenter.current();
    app_.present(AppSheet::permissions);
    EXPECT_TRUE(!first || !first->isVisible());
    EXPECT_TRUE(isA<PermissionView>(presenter.current()));
}

TEST_F(SheetsTest, PermissionSheetFollowsTheModel)
{
    SheetPresenter presenter(app_);
    app_.present(AppSheet::permissions);
    auto *view = qobject_cast<PermissionView *>(presenter.current());
    ASSERT_NE(view, nullptr);
    // The test desktop grants access: the main button reads done and only closes.
    ASSERT_TRUE(app_.screenPermission());
    EXPECT_EQ(view->permissionButton()->text(), QStringLiteral("연결 완료"));
    QTest::keyClick(view, Qt::Key_Return); // presses no button
    EXPECT_EQ(app_.sheet(), AppSheet::permissions);
    app_.setScreenPermission(false);
    EXPECT_EQ(view->permissionButton()->text(), QStringLiteral("화면 기록 권한 요청"));
    view->recheckButton()->click();
    EXPECT_TRUE(app_.screenPermission());
    EXPECT_EQ(view->permissionButton()->text(), QStringLiteral("연결 완료"));
    EXPECT_EQ(app_.sheet(), AppSheet::permissions);

    // Asking again while access is missing goes through the model, which closes the sheet
    // once access is there.
    app_.setScreenPermission(false);
    view->permissionButton()->click();
    EXPECT_EQ(app_.sheet(), std::nullopt);
    EXPECT_EQ(app_.status(), AppModel::permissionReadyStatus());
}

TEST_F(SheetsTest, RecordingSheetEditsThePreferencesTheSettingsPageShows)
{
    auto *recording = static_cast<RecordingSetupView *>(makeSheet(AppSheet::recording, app_, nullptr));
    std::unique_ptr<QDialog> owner(recording);
    recording->recordingRegion()->control()->click();
    Q_EMIT recording->frameRate()->activated(0);
    EXPECT_TRUE(app_.preferences().recordingRegion());
    EXPECT_EQ(app_.preferences().frameRate(), 30);
    auto *settings = static_cast<SettingsView *>(makeSheet(AppSheet::settings, app_, nullptr));
    std::unique_ptr<QDialog> settingsOwner(settings);
    EXPECT_EQ(settings->recording()->frameRate()->currentText(), QStringLiteral("30 fps"));
    Q_EMIT settings->recording()->frameRate()->activated(1);
    EXPECT_EQ(recording->frameRate()->currentText(), QStringLiteral("60 fps"));

    // The start button follows the busy flag without a new sheet.
    EXPECT_TRUE(recording->startButton()->isEnabled());
    recording->setBusy(true);
    EXPECT_FALSE(recording->startButton()->isEnabled());
}

// A screen is offered only under its own display, never under another screen's, and reads as
// the monitor on it where the X server knows its name.
TEST(RecordingDisplays, EveryListedScreenHasItsOwnIdentityAndItsMonitorsName)
{
    const DisplayInfo left{101, QStringLiteral("DP-1"), QRect(0, 0, 1920, 1080), true};
    const DisplayInfo right{102, QStringLiteral("HDMI-1"), QRect(1920, 0, 1280, 1024), false};
    const QString dp = QStringLiteral("DP-1");
    const QString hdmi = QStringLiteral("HDMI-1");
    const QString dell = QStringLiteral("DELL U2720Q");
    struct Case {
        const char *name;
        std::vector<ScreenName> screens;
        std::vector<DisplayInfo> displays;
        std::vector<DisplayChoice> expected;
    };
    const Case cases[] = {
        {"one screen without a monitor name", {{dp, {}}}, {left}, {{101, dp, dp}}},
        {"system order kept, monitor names shown",
         {{hdmi, QStringLiteral("LG HDR 4K")}, {dp, dell}},
         {left, right},
         {{102, hdmi, QStringLiteral("LG HDR 4K")}, {101, dp, dell}}},
        {"two monitors of one model told apart by their connectors",
         {{dp, dell}, {hdmi, dell}},
         {left, right},
         {{101, dp, QStringLiteral("DELL U2720Q (DP-1)")}, {102, hdmi, QStringLiteral("DELL U2720Q (HDMI-1)")}}},
        {"screen without a display left out",
         {{dp, {}}, {QStringLiteral("VIRTUAL-1"), dell}},
         {left, right},
         {{101, dp, dp}}},
        {"nameless screen left out", {{QString(), dell}, {hdmi, {}}}, {left, right}, {{102, hdmi, hdmi}}},
        {"no displays at all", {{dp, dell}}, {}, {}},
        {"one display under two names offered once", {{dp, dell}, {dp, dell}}, {left}, {{101, dp, dell}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(RecordingDisplays::choices(c.screens, c.displays), c.expected);
    }

    const std::vector<DisplayChoice> both = RecordingDisplays::choices({{dp, dell}, {hdmi, {}}}, {left, right});
    EXPECT_EQ(RecordingDisplays::preselected(both, hdmi, {left, right}), 102u);
    EXPECT_EQ(RecordingDisplays::preselected(both, QStringLiteral("VIRTUAL-1"), {left, right}), 101u);
    EXPECT_EQ(RecordingDisplays::preselected({{102, hdmi, hdmi}}, QString(), {left, right}), 102u);
    EXPECT_EQ(RecordingDisplays::preselected({}, dp, {left}), std::nullopt);
}

// What the EDID gives, as the picker names the monitor.
TEST(RecordingDisplays, TheMonitorsNameFromItsManufacturerAndModel)
{
    const struct {
        const char *manufacturer;
        const char *model;
        const char *name;
    } cases[] = {
        {"Dell Inc.", "DELL U2720Q", "DELL U2720Q"},
        {"Goldstar Company Ltd", "LG HDR 4K", "LG HDR 4K"},
        {"Samsung Electric Company", "", "Samsung Electric Company"},
        {"", "  Studio   Display ", "Studio Display"},
        {"", "", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(RecordingDisplays::monitorName(QString::fromUtf8(c.manufacturer), QString::fromUtf8(c.model)),
                  QString::fromUtf8(c.name))
            << c.manufacturer << " / " << c.model;
}

// The canvas keys under the shortcut card wrap between the keys, never between a key letter and
// its tool nor inside a tool's name, at the sheet's width and at narrower ones.
TEST(ShortcutGuide, TheCanvasKeysWrapOnlyBetweenKeys)
{
    ShortcutsView guide;
    QLabel *footnote = guide.footnote();
    const QString text = footnote->accessibleName(); // the plain text of the rich-text label
    const QRegularExpression loneKey(QStringLiteral("(^|\\s)[A-Z]\\s*$"));
    const int sheetWidth =
        ShortcutsView::width - footnote->contentsMargins().left() - footnote->contentsMargins().right();
    for (int width = sheetWidth; width >= 240; width -= 13) {
        QTextLayout layout(text, footnote->font());
        QTextOption option;
        option.setWrapMode(QTextOption::WordWrap);
        layout.setTextOption(option);
        layout.beginLayout();
        std::vector<int> starts;
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            starts.push_back(line.textStart());
        }
        layout.endLayout();
        for (size_t i = 1; i < starts.size(); ++i) {
            const QString before = text.left(starts[i]);
            EXPECT_TRUE(before.endsWith(QLatin1Char(' ')))
                << width << ": broken inside a word before \"" << text.mid(starts[i], 6).toStdString() << '"';
            EXPECT_FALSE(loneKey.match(before).hasMatch())
                << width << ": a key letter ends the line before \"" << text.mid(starts[i], 6).toStdString() << '"';
        }
    }
}

TEST(WindowSearch, TitleThenApplicationNameIgnoringCaseAndDiacritics)
{
    const std::vector<ShareableWindow> windows = {
        listedWindow(1, QStringLiteral("Quarterly REPORT.pdf"), QStringLiteral("Evince")),
        listedWindow(2, QStringLiteral("Café menu — Crème brûlée"), QStringLiteral("Firefox")),
        listedWindow(3, QStringLiteral("한글 문서"), QStringLiteral("LibreOffice")),
        listedWindow(4, QStringLiteral("Notes"), QStringLiteral("Firefox")),
        listedWindow(5, QStringLiteral("Notes"), QStringLiteral("Firefox")),
        listedWindow(6, QString(), QStringLiteral("xterm")),
        listedWindow(7, QStringLiteral("untitled  two spaces"), QString()),
    };
    struct Case {
        QString search;
        std::vector<uint32_t> expected;
    };
    const Case cases[] = {
        {QString(), {1, 2, 3, 4, 5, 6, 7}},
        {QStringLiteral("report"), {1}},
        {QStringLiteral("QUARTERLY"), {1}},
        {QStringLiteral("cafe"), {2}},
        {QStringLiteral("CREME BRULEE"), {2}},
        {QStringLiteral("brûl"), {2}},
        {QStringLiteral("firefox"), {2, 4, 5}}, // every window of the application, whatever its title
        {QStringLiteral("notes"), {4, 5}},      // same title twice: two rows
        {QStringLiteral("한글"), {3}},
        {QStringLiteral("하"), {}}, // syllables compare whole: "하" is not inside "한"
        {QStringLiteral("ㅎ"), {}},
        {QStringLiteral("XTERM"), {6}},
        {QStringLiteral(" "), {1, 2, 3, 7}}, // a blank is a search, not an empty one
        {QStringLiteral("  "), {7}},
        {QStringLiteral("office"), {3}},
        {QStringLiteral("nothing like it"), {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.search.toStdString());
        std::vector<uint32_t> ids;
        for (const ShareableWindow &w : WindowSearch::filtered(windows, c.search))
            ids.push_back(w.windowID);
        EXPECT_EQ(ids, c.expected);
    }
}

TEST(WindowPickerView, EmptyMessageDependsOnTheListNotOnTheSearch)
{
    WindowPickerView empty({}, nullptr);
    EXPECT_TRUE(empty.showsEmptyMessage());
    EXPECT_TRUE(empty.rows().empty());

    WindowPickerView picker(
        {listedWindow(1, QStringLiteral("Alpha"), QStringLiteral("App")), listedWindow(2, QString(), QString())},
        nullptr);
    EXPECT_FALSE(picker.showsEmptyMessage());
    ASSERT_EQ(picker.rows().size(), 2u);
    picker.searchField()->setText(QStringLiteral("zzz"));
    EXPECT_TRUE(picker.rows().empty());
    EXPECT_FALSE(picker.showsEmptyMessage());
    picker.searchField()->setText(QStringLiteral("alp"));
    ASSERT_EQ(picker.rows().size(), 1u);

    QSignalSpy chosen(&picker, &WindowPickerView::windowChosen);
    picker.rows().front()->click();
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen.at(0).at(0).value<ShareableWindow>().windowID, 1u);
}

} // namespace
} // namespace tarn
