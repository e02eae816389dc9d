// SPDX-License-Identifier: GPL-3.0-or-later
// The library window and its settings driven the way a person drives them, with the X server's
// own pointer and keyboard: wheel scrolling, clicks on sections, tabs and menus, typing.
#include <functional>
#include <set>

#include <unistd.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QProcess>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "app/editor/EditorController.h"
#include "app/library/CaptureCard.h"
#include "app/library/CaptureCollection.h"
#include "app/library/LibraryContents.h"
#include "app/library/LibraryHeader.h"
#include "app/library/LibrarySidebar.h"
#include "app/library/LibraryStatusBar.h"
#include "app/library/LibraryView.h"
#include "app/model/AppModel.h"
#include "app/settings/PermissionView.h"
#include "app/settings/SettingsView.h"
#include "app/settings/SheetDialog.h"
#include "app/shell/LibraryWindow.h"
#include "app/shell/TarnAppDelegate.h"
#include "app/widgets/ContentSize.h"
#include "app/widgets/Palette.h"
#include "core/library/LibraryIndex.h"
#include "core/library/LibraryPaths.h"
#include "support/LibraryTestSupport.h"
#include "support/XInput.h"

namespace tarn {
namespace {

using TestSupport::click, TestSupport::moveTo, TestSupport::xdotool;

// Turns of the wheel away from the user (down the page) with the pointer over `widget`.
void wheelDown(const QWidget *widget, int notches)
{
    xdotool(moveTo(widget->mapToGlobal(widget->rect().center())) +
            QStringLiteral("click --repeat %1 --delay 30 5").arg(notches).split(u' '));
}

class ExclusiveLibraryInput : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (QGuiApplication::platformName() != QStringLiteral("xcb"))
            GTEST_SKIP() << "needs the test desktop";
        delegate_ = std::make_unique<TarnAppDelegate>(root(), true, std::nullopt);
        QSignalSpy started(delegate_.get(), &TarnAppDelegate::startUpFinished);
        delegate_->applicationDidFinishLaunching();
        ASSERT_TRUE(started.count() > 0 || started.wait(30000));
        ASSERT_TRUE(QTest::qWaitFor([this] { return app().items().size() >= 6 && !app().isBusy(); }, 30000));
        // The smallest window: the most to scroll.
        window()->resize(1, 1); // the window manager keeps it at its smallest
        ASSERT_TRUE(QTest::qWaitForWindowActive(window()));
        ASSERT_TRUE(QTest::qWaitFor([this] { return view()->height() == LibraryView::minimumHeight; }, 5000));
        QTest::qWait(200);
    }

    // The library the window opens: the demo samples unless a test writes one there first.
    QString root() const { return dir_.filePath(QStringLiteral("library")); }
    AppModel &app() const { return delegate_->app(); }
    LibraryWindow *window() const { return delegate_->libraryWindow(); }
    LibraryView *view() const { return qobject_cast<LibraryView *>(window()->centralWidget()); }
    QScrollBar *libraryScroll() const { return view()->scrollArea()->verticalScrollBar(); }

    // Scrolls the library far down with the wheel over its grid.
    void scrollLibraryDown()
    {
        wheelDown(view()->scrollArea()->viewport(), 8);
        ASSERT_TRUE(QTest::qWaitFor([this] { return libraryScroll()->value() >= 200; }, 5000))
            << "the wheel scrolled to " << libraryScroll()->value();
    }

    QTemporaryDir dir_;
    std::unique_ptr<TarnAppDelegate> delegate_;
};

// How the user changes the list the library shows.
struct ListChange {
    const char *name;
    std::function<void(LibraryView *)> act;
    std::function<bool(const AppModel &)> done;
};

TEST_F(ExclusiveLibraryInput, ANewSectionSearchOrOrderOpensItsListAtTheTop)
{
    const std::vector<ListChange> changes{
        {"section", [](LibraryView *view) { click(view->sidebar()->row(LibrarySection::images)); },
         [](const AppModel &app) { return app.section() == LibrarySection::images; }},
        {"search",
         [](LibraryView *view) {
             click(view->header()->searchBox()->field());
             xdotool({QStringLiteral("type"), QStringLiteral("sample")});
         },
         [](const AppModel &app) { return app.searchText() == QStringLiteral("sample"); }},
        {"order",
         [](LibraryView *view) {
             click(view->findChild<QWidget *>(QStringLiteral("library.sort")));
             ASSERT_TRUE(QTest::qWaitFor([] { return qobject_cast<QMenu *>(QApplication::activePopupWidget()); }));
             auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
             click(menu, menu->actionGeometry(menu->actions().at(1)).center());
         },
         [](const AppModel &app) { return !app.newestFirst(); }},
    };
    for (const ListChange &change : changes) {
        app().setSection(LibrarySection::all);
        app().setSearchText(QString());
        app().setNewestFirst(true);
        scrollLibraryDown();
        change.act(view());
        ASSERT_TRUE(QTest::qWaitFor([&] { return change.done(app()); }, 5000)) << change.name;
        QTest::qWait(100);
        EXPECT_EQ(libraryScroll()->value(), 0) << change.name;
        // The list's title is in view.
        const QWidget *contents = view()->contents();
        EXPECT_GE(contents->mapTo(view()->scrollArea()->viewport(), QPoint()).y(), 0) << change.name;
    }
}

TEST_F(ExclusiveLibraryInput, EverySettingsTabOpensAtItsTop)
{
    QWidget *settingsButton = nullptr;
    for (QAbstractButton *button : view()->sidebar()->findChildren<QAbstractButton *>())
        if (button->text() == QStringLiteral("설정"))
            settingsButton = button;
    ASSERT_NE(settingsButton, nullptr);
    click(settingsButton);
    SettingsView *settings = nullptr;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        settings = window()->findChild<SettingsView *>();
        return settings && settings->isVisible();
    }));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(settings));
    QScrollBar *bar = settings->scrollArea()->verticalScrollBar();
    for (int tab : {1, 0, 3, 2}) {
        click(settings->tab(1));
        ASSERT_TRUE(QTest::qWaitFor([&] { return settings->selection() == 1 && bar->maximum() > 0; }));
        wheelDown(settings->scrollArea()->viewport(), 5);
        ASSERT_TRUE(QTest::qWaitFor([&] { return bar->value() > 0; })) << "the capture tab did not scroll";
        click(settings->tab(tab));
        ASSERT_TRUE(QTest::qWaitFor([&] { return settings->selection() == tab; }));
        QTest::qWait(50);
        EXPECT_EQ(bar->value(), 0) << "tab " << tab;
    }
}

TEST_F(ExclusiveLibraryInput, AfterAWheelScrollOnlyTheCardUnderThePointerLooksHovered)
{
    CaptureCollection *collection = view()->contents()->collection();
    // The shown cards that `holds` holds for.
    const auto cards = [collection](auto holds) {
        std::vector<CaptureCard *> found;
        for (CaptureCard *card : collection->findChildren<CaptureCard *>(Qt::FindDirectChildrenOnly))
            if (card->isVisible() && holds(card))
                found.push_back(card);
        return found;
    };
    const auto cardAt = [&](QPoint global) {
        const auto under =
            cards([global](CaptureCard *card) { return card->rect().contains(card->mapFromGlobal(global)); });
        return under.empty() ? nullptr : under.front();
    };
    const auto hovered = [&] { return cards([](CaptureCard *card) { return card->isHovering(); }); };
    CaptureCell *first = collection->cellFor(app().visibleItemRefs().front()->id);
    ASSERT_NE(first, nullptr);
    const QWidget *viewport = view()->scrollArea()->viewport();
    const auto inView = [viewport](QPoint global) {
        return viewport->rect().contains(viewport->mapFromGlobal(global));
    };
    const QPoint rest = first->mapToGlobal(first->rect().center());
    ASSERT_TRUE(inView(rest));
    xdotool(moveTo(rest));
    // The pointer may arrive from over another card: wait for the hover to reach this one.
    ASSERT_TRUE(QTest::qWaitFor([&] { return hovered().size() == 1 && hovered().front() == cardAt(rest); }));
    CaptureCard *before = hovered().front();

    // Down until another card comes under the pointer (or the list ends between cards).
    for (int turn = 0; turn < 12 && (cardAt(rest) == before || !cardAt(rest)); ++turn) {
        const int from = libraryScroll()->value();
        if (cardAt(rest) != before && from == libraryScroll()->maximum())
            break;
        xdotool({QStringLiteral("click"), QStringLiteral("5")});
        ASSERT_TRUE(QTest::qWaitFor([&] { return libraryScroll()->value() != from; })) << "turn " << turn;
    }
    CaptureCard *now = cardAt(rest);
    ASSERT_NE(now, before) << "the wheel did not bring another card under the pointer";
    const auto only = [&](CaptureCard *card) {
        return QTest::qWaitFor([&] { return hovered() == (card ? std::vector{card} : std::vector<CaptureCard *>{}); });
    };
    ASSERT_TRUE(only(now)) << hovered().size() << " cards look hovered";
    if (now) {
        EXPECT_TRUE(now->star()->isVisible());
    }

    // Then the pointer goes on to another card in view, the one it entered first if it still is:
    // that card alone looks hovered, not the one the scroll brought under the pointer.
    const auto others =
        cards([&](CaptureCard *card) { return card != now && inView(card->mapToGlobal(card->rect().center())); });
    ASSERT_FALSE(others.empty());
    CaptureCard *next = std::find(others.begin(), others.end(), before) != others.end() ? before : others.front();
    xdotool(moveTo(next->mapToGlobal(next->rect().center())));
    EXPECT_TRUE(only(next)) << hovered().size() << " cards look hovered";
}

// The share of the middle half of each screen row just above and along a widget's top edge that
// is painted in the accent colour, from three rows above the edge to one row below it.
std::vector<double> accentAlongTop(const QWidget *widget)
{
    QScreen *screen = widget->screen();
    const QPoint left = widget->mapToGlobal(QPoint(widget->width() / 4, -3)) - screen->geometry().topLeft();
    const QImage band = screen->grabWindow(0, left.x(), left.y(), std::max(1, widget->width() / 2), 5).toImage();
    std::vector<double> shares;
    for (int y = 0; y < band.height(); ++y) {
        int lit = 0;
        for (int x = 0; x < band.width(); ++x) {
            const QColor c = band.pixelColor(x, y);
            const QColor a = Palette::accent;
            lit += std::abs(c.red() - a.red()) + std::abs(c.green() - a.green()) + std::abs(c.blue() - a.blue()) < 30;
        }
        shares.push_back(double(lit) / band.width());
    }
    return shares;
}

// Tab walks the whole window, and wherever it stops a ring in the accent colour shows which
// control has the keyboard; a click elsewhere takes the ring away and leaves the focus where it is.
TEST_F(ExclusiveLibraryInput, TabShowsWhichControlHasTheKeyboard)
{
    QStringList unringed;
    std::set<QWidget *> visited;
    QWidget *focused = QApplication::focusWidget();
    for (int step = 0; step < 24; ++step) {
        xdotool({QStringLiteral("key"), QStringLiteral("Tab")});
        const QWidget *before = std::exchange(focused, nullptr);
        ASSERT_TRUE(QTest::qWaitFor([&] { return (focused = QApplication::focusWidget()) != before; }))
            << "step " << step;
        ASSERT_TRUE(focused && focused->window() == window()) << "step " << step;
        visited.insert(focused);
        if (qobject_cast<QLineEdit *>(focused))
            continue; // a text field shows its caret
        // Looked at once a ring is painted above or on the edge (a control filled in the accent
        // colour is so below it at once), then once the click has taken a ring away; a control
        // that shows none costs a second each way.
        std::vector<double> withKeys, afterClick;
        const auto ringed = [&](size_t rows) {
            for (size_t row = 0; row < rows; ++row)
                if (withKeys[row] > 0.8 && (afterClick.empty() || afterClick[row] < 0.5))
                    return true;
            return false;
        };
        const auto lookUntilRinged = [&](std::vector<double> &seen, size_t rows) {
            (void)QTest::qWaitFor([&] { return !(seen = accentAlongTop(focused)).empty() && ringed(rows); }, 1000);
        };
        lookUntilRinged(withKeys, 4);
        click(view()->statusBar());
        lookUntilRinged(afterClick, withKeys.size());
        ASSERT_EQ(QApplication::focusWidget(), focused) << "step " << step;
        const QString name = QString::fromLatin1(focused->metaObject()->className()) + QLatin1Char(' ') +
            (focused->property("text").toString().isEmpty() ? focused->objectName()
                                                            : focused->property("text").toString());
        if (!ringed(withKeys.size()))
            unringed << name;
    }
    EXPECT_GE(visited.size(), 15u);
    EXPECT_TRUE(unringed.isEmpty()) << unringed.join(QStringLiteral(", ")).toStdString();
}

// Notes a key other than a modifier reaching the application (a shortcut's key comes as an
// override request only): all its press does is done by the time the event has been delivered.
struct KeyArrival : QObject {
    KeyArrival() { qApp->installEventFilter(this); }
    bool eventFilter(QObject *, QEvent *event) override
    {
        const bool key = event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride;
        const int code = key ? static_cast<QKeyEvent *>(event)->key() : Qt::Key_Control;
        arrived = arrived || (code != Qt::Key_Control && code != Qt::Key_Shift && code != Qt::Key_Alt);
        return false;
    }
    bool arrived = false;
};

// Presses a key with the X server's keyboard and waits until the application has handled it.
void pressKey(const char *key)
{
    KeyArrival arrival;
    xdotool({QStringLiteral("key"), QString::fromLatin1(key)});
    EXPECT_TRUE(QTest::qWaitFor([&] { return arrival.arrived; })) << key << " never arrived";
}

// Presses Tab until `reached` holds, forty times at most; whether it came to hold.
bool tabUntil(const std::function<bool()> &reached)
{
    for (int presses = 0; presses < 40 && !reached(); ++presses)
        pressKey("Tab");
    return reached();
}

// One key pressed on the captures, the place in the list of the capture whose cell has the
// keyboard afterwards, and whether the first capture is then ticked.
struct CellKey {
    const char *key;
    int focused;
    bool firstTicked;
};

// With the keyboard alone the user reaches the captures with Tab, moves among them with the
// arrows (a row of the grid up and down), ticks one with Space, opens it with Return and, after
// Ctrl+W closed its editor, is back on its cell; in the grid and in the list.
TEST_F(ExclusiveLibraryInput, TheKeyboardReachesWalksTicksAndOpensTheCaptures)
{
    for (const bool grid : {true, false}) {
        app().setGridView(grid);
        CaptureCollection *collection = view()->contents()->collection();
        const int down = grid ? collection->layoutFor(collection->width()).columns : 1;
        ASSERT_GT(int(collection->items().size()), down + 1);
        const auto focusedItem = [collection]() -> int {
            const auto *cell = qobject_cast<const CaptureCell *>(QApplication::focusWidget());
            for (size_t index = 0; cell && index < collection->items().size(); ++index)
                if (collection->items()[index]->id == cell->item().id)
                    return int(index);
            return -1;
        };
        tabUntil([&] { return focusedItem() >= 0; });
        ASSERT_EQ(focusedItem(), 0) << (grid ? "grid" : "list");
        const Uuid first = collection->items()[0]->id;
        const std::vector<CellKey> keys{
            {"Right", 1, false}, {"Down", 1 + down, false}, {"Left", down, false}, {"Up", 0, false},
            {"Up", 0, false},    {"space", 0, true},        {"space", 0, false},
        };
        for (const CellKey &step : keys) {
            pressKey(step.key);
            EXPECT_EQ(focusedItem(), step.focused) << (grid ? "grid " : "list ") << step.key;
            EXPECT_EQ(app().selectedItemIDs().count(first) > 0, step.firstTicked) << step.key;
        }
        pressKey("Return");
        ASSERT_TRUE(QTest::qWaitFor([&] { return app().editorControllers().count(first) > 0; }, 15000));
        QWidget *editor = app().editorControllers().at(first)->window();
        ASSERT_TRUE(QTest::qWaitForWindowActive(editor));
        pressKey("ctrl+w");
        ASSERT_TRUE(QTest::qWaitFor([&] { return app().editorControllers().empty(); }, 5000));
        ASSERT_TRUE(QTest::qWaitForWindowActive(window()));
        EXPECT_TRUE(QTest::qWaitFor([&] { return focusedItem() == 0; })) << (grid ? "grid" : "list");
    }
}

// Keys pressed in turn, and what must hold once they have been handled.
struct KeyStep {
    const char *name;
    std::vector<const char *> keys;
    std::function<bool()> holds;
};

void runSteps(const std::vector<KeyStep> &steps)
{
    for (const KeyStep &step : steps) {
        for (const char *key : step.keys)
            pressKey(key);
        EXPECT_TRUE(QTest::qWaitFor(step.holds, 5000)) << step.name;
    }
}

// Where a button pressed with the keyboard goes away or changes, the keyboard stays close by:
// a card's star stays on the card while the keyboard is on it (Tab reaches it even when the
// capture is no favourite, and Space can take the favourite back), and trashing the ticked
// captures from the selection bar leaves the keyboard on the list's header row, not nowhere.
TEST_F(ExclusiveLibraryInput, TheKeyboardStaysNearAButtonThatGoesAway)
{
    // The pointer rests away from the cards, so no star shows for it.
    const QWidget *statusBar = view()->statusBar();
    xdotool(moveTo(statusBar->mapToGlobal(statusBar->rect().center())));
    CaptureCollection *collection = view()->contents()->collection();
    const auto firstCell = [collection]() -> CaptureCard * {
        return qobject_cast<CaptureCard *>(collection->cellFor(collection->items()[0]->id));
    };
    ASSERT_TRUE(tabUntil([&] { return QApplication::focusWidget() == firstCell(); }));
    const CaptureItem first = *collection->items()[0];
    ASSERT_FALSE(first.isFavorite);
    const size_t count = collection->items().size();
    const auto favorite = [this, id = first.id] {
        for (const CaptureItem &item : app().items())
            if (item.id == id)
                return item.isFavorite;
        return false;
    };
    const auto onStar = [firstCell] { return firstCell() && QApplication::focusWidget() == firstCell()->star(); };
    const auto inHeaderRow = [this] {
        const QWidget *focused = QApplication::focusWidget();
        return focused && focused->isVisible() && view()->contents()->isAncestorOf(focused) &&
            (focused->objectName() == QStringLiteral("library.selectAll") ||
             focused->objectName() == QStringLiteral("library.sort"));
    };
    const std::vector<KeyStep> steps{
        {"Tab to the star", {"Tab"}, [&] { return onStar() && firstCell()->star()->isVisible(); }},
        {"Space makes a favourite", {"space"}, [&] { return favorite() && onStar(); }},
        {"Space again takes it back", {"space"}, [&] { return !favorite() && onStar(); }},
        {"tick the capture and go to the bar's trash button",
         {"shift+Tab", "space", "shift+Tab"},
         [&] {
             return app().selectedItemIDs().count(first.id) > 0 && QApplication::focusWidget() &&
                 QApplication::focusWidget()->objectName() == QStringLiteral("library.trashSelected");
         }},
        {"trash it", {"space"}, [&] { return collection->items().size() == count - 1 && inHeaderRow(); }},
    };
    runSteps(steps);
}

// Ctrl+F puts the keyboard in the search field from anywhere in the window, typing filters the
// list, and Escape empties the field as its clear button does, keeping the keyboard there.
TEST_F(ExclusiveLibraryInput, CtrlFTypingAndEscapeWorkTheSearch)
{
    QLineEdit *field = view()->header()->searchBox()->field();
    CaptureCollection *collection = view()->contents()->collection();
    const size_t all = collection->items().size();
    const std::vector<KeyStep> steps{
        {"Tab away from the field", {"Tab", "Tab"}, [&] { return QApplication::focusWidget() != field; }},
        {"Ctrl+F", {"ctrl+f"}, [&] { return QApplication::focusWidget() == field; }},
        {"typing",
         {"P", "r", "i", "v"},
         [&] { return app().searchText() == QStringLiteral("Priv") && collection->items().size() < all; }},
        {"Escape",
         {"Escape"},
         [&] {
             return app().searchText().isEmpty() && field->text().isEmpty() && collection->items().size() == all &&
                 !view()->header()->searchBox()->showsClearButton() && QApplication::focusWidget() == field;
         }},
        {"Escape in the empty field",
         {"Escape"},
         [&] { return app().searchText().isEmpty() && QApplication::focusWidget() == field; }},
    };
    runSteps(steps);
}

// A capture started with Space on its button and given up with Escape brings the library back
// with the keyboard on that button, though the busy library disabled the button meanwhile.
TEST_F(ExclusiveLibraryInput, AGivenUpCaptureGivesTheKeyboardBackToItsButton)
{
    for (const QString &title : {QStringLiteral("영역 캡처"), QStringLiteral("텍스트 추출")}) {
        QAbstractButton *button = nullptr;
        ASSERT_TRUE(tabUntil([&] {
            button = qobject_cast<QAbstractButton *>(QApplication::focusWidget());
            return button && button->text() == title;
        })) << title.toStdString();
        pressKey("space");
        ASSERT_TRUE(QTest::qWaitFor(
            [this] {
                return app().isBusy() && QApplication::activeWindow() && QApplication::activeWindow() != window();
            },
            10000))
            << title.toStdString();
        QTest::qWait(300);
        pressKey("Escape");
        ASSERT_TRUE(
            QTest::qWaitFor([this] { return !app().isBusy() && QApplication::activeWindow() == window(); }, 10000))
            << title.toStdString();
        QTest::qWait(300);
        EXPECT_EQ(QApplication::focusWidget(), button) << title.toStdString();
    }
}

// Trashing the capture that has the keyboard from its menu (the Menu key, then the menu's last
// entry) leaves the keyboard on the capture that takes its place, in the grid and in the list.
TEST_F(ExclusiveLibraryInput, TrashingTheCaptureWithTheKeyboardLeavesItOnTheNext)
{
    CaptureCollection *collection = view()->contents()->collection();
    for (const bool grid : {true, false}) {
        app().setGridView(grid);
        const auto cellOf = [collection](size_t index) { return collection->cellFor(collection->items()[index]->id); };
        ASSERT_TRUE(tabUntil([&] { return QApplication::focusWidget() == cellOf(0); })) << (grid ? "grid" : "list");
        const size_t count = collection->items().size();
        const Uuid next = collection->items()[1]->id;
        pressKey("Menu");
        ASSERT_TRUE(QTest::qWaitFor([] { return qobject_cast<QMenu *>(QApplication::activePopupWidget()); }));
        pressKey("Up");
        pressKey("Return");
        ASSERT_TRUE(QTest::qWaitFor([&] { return collection->items().size() == count - 1 && !app().isBusy(); }, 5000));
        QTest::qWait(200);
        const auto *focused = qobject_cast<const CaptureCell *>(QApplication::focusWidget());
        ASSERT_NE(focused, nullptr) << (grid ? "grid" : "list");
        EXPECT_EQ(focused->item().id, next) << (grid ? "grid" : "list");
    }
}

// A sheet as the user finds it, and which of its buttons to press.
struct SheetCase {
    const char *name;
    std::function<void(AppModel &)> open;
};

// Every plain button of the settings' capture tab and of the permission sheet, pressed with the
// pointer, shows that it did something: the sheet changes, closes or another one opens.
TEST_F(ExclusiveLibraryInput, NoButtonOfTheCaptureSettingsOrThePermissionSheetIsSilent)
{
    const std::vector<SheetCase> sheets{
        {"capture settings", [](AppModel &app) { app.present(AppSheet::settings); }},
        {"permission granted", [](AppModel &app) { app.present(AppSheet::permissions); }},
        {"permission missing",
         [](AppModel &app) {
             app.setScreenPermission(false);
             app.present(AppSheet::permissions);
         }},
    };
    const auto shownSheet = [this]() -> SheetDialog * {
        for (SheetDialog *dialog : window()->findChildren<SheetDialog *>(Qt::FindDirectChildrenOnly))
            if (dialog->isVisible())
                return dialog;
        return nullptr;
    };
    // Opens the sheet afresh (the capture tab chosen with a click) and returns its plain buttons.
    const auto openSheet = [&](const SheetCase &sheet) {
        app().setSheet(std::nullopt);
        app().setScreenPermission(true);
        sheet.open(app());
        EXPECT_TRUE(QTest::qWaitFor([&] { return shownSheet() != nullptr; }));
        SheetDialog *dialog = shownSheet();
        EXPECT_TRUE(dialog && QTest::qWaitForWindowExposed(dialog));
        if (auto *settings = qobject_cast<SettingsView *>(dialog)) {
            click(settings->tab(1));
            EXPECT_TRUE(QTest::qWaitFor([&] { return settings->selection() == 1; }));
        }
        QTest::qWait(100);
        return dialog;
    };
    const auto plainButtons = [](SheetDialog *dialog) {
        QStringList names;
        for (QAbstractButton *button : dialog->findChildren<QAbstractButton *>())
            if (button->isVisible() && button->isEnabled() && !button->isCheckable())
                names << (button->text().isEmpty() ? button->accessibleName() : button->text());
        return names;
    };
    for (const SheetCase &sheet : sheets) {
        const QStringList names = plainButtons(openSheet(sheet));
        ASSERT_FALSE(names.isEmpty()) << sheet.name;
        for (const QString &name : names) {
            QPointer<SheetDialog> dialog = openSheet(sheet);
            QAbstractButton *button = nullptr;
            for (QAbstractButton *candidate : dialog->findChildren<QAbstractButton *>())
                if (candidate->isVisible() && (candidate->text() == name || candidate->accessibleName() == name))
                    button = candidate;
            ASSERT_NE(button, nullptr) << name.toStdString();
            xdotool(moveTo(button->mapToGlobal(button->rect().center())));
            QTest::qWait(150);
            const QImage before = dialog->grab().toImage();
            const std::optional<AppSheet> sheetBefore = app().sheet();
            click(button);
            QTest::qWait(250);
            const bool changed =
                !dialog || !dialog->isVisible() || app().sheet() != sheetBefore || dialog->grab().toImage() != before;
            EXPECT_TRUE(changed) << sheet.name << ": \"" << name.toStdString() << "\" did nothing to be seen";
        }
    }
    app().setSheet(std::nullopt);
}

// `count` captures, every fifth a favourite and every sixth in the trash, each with a thumbnail file
// of its own (hard links to a few vivid pictures): every card decodes its picture, as in real use.
void writeLargeLibrary(const QString &root, int count)
{
    const QDir folder(root);
    ASSERT_TRUE(folder.mkpath(LibraryPaths::thumbnailsName));
    std::vector<QByteArray> pictures;
    for (int n = 0; n < 12; ++n) {
        QImage picture(720, 450, QImage::Format_RGB32);
        picture.fill(QColor::fromHsv(n * 30, 220, 230));
        pictures.push_back(QFile::encodeName(folder.filePath(QStringLiteral("picture-%1.jpg").arg(n))));
        ASSERT_TRUE(picture.save(QFile::decodeName(pictures.back())));
    }
    std::vector<CaptureItem> items;
    for (int n = 0; n < count; ++n) {
        CaptureItem item = TestSupport::makeItem("캡처 " + std::to_string(n), 700'000'000 + n * 60.0);
        item.isFavorite = n % 5 == 0;
        item.trashedAt = n % 6 == 0 ? std::optional(Date{710'000'000}) : std::nullopt;
        const QString thumbnail = LibraryPaths::thumbnailsName + u'/' + QString::fromStdString(item.thumbnailFilename);
        ASSERT_EQ(::link(pictures[size_t(n) % pictures.size()], QFile::encodeName(folder.filePath(thumbnail))), 0);
        items.push_back(std::move(item));
    }
    TestSupport::writeBytes(folder.filePath(LibraryPaths::indexName), LibraryIndex::encode(items));
}

// The library window at 1300 x 800 on thousands of captures.
class ExclusiveLargeLibraryInput : public ExclusiveLibraryInput {
protected:
    void SetUp() override
    {
        writeLargeLibrary(root(), 8000);
        ExclusiveLibraryInput::SetUp();
        window()->resize(1300, 800);
        ASSERT_TRUE(QTest::qWaitFor([&] { return window()->size() == QSize(1300, 800); }, 5000));
    }

    // Whether the screen has stood still for a moment with every capture in view drawn: no cell
    // shows only the window's background, and no card is without its picture.
    bool everyCaptureInViewDrawn() const
    {
        const QWidget *viewport = view()->scrollArea()->viewport();
        const QPoint at = viewport->mapToGlobal(QPoint());
        const auto onScreen = [&] {
            return viewport->screen()->grabWindow(0, at.x(), at.y(), viewport->width(), viewport->height()).toImage();
        };
        const QImage shot = onScreen();
        QTest::qWait(100);
        if (onScreen() != shot)
            return false;
        const auto share = [&](QRect area, auto &&counts) {
            int hits = 0;
            for (int y = area.top(); y <= area.bottom(); ++y)
                for (int x = area.left(); x <= area.right(); ++x)
                    hits += counts(shot.pixelColor(x, y));
            return double(hits) / std::max(1, area.width() * area.height());
        };
        const auto background = [](const QColor &c) { return c == Palette::background; };
        const auto picture = [](const QColor &c) { return c.hsvSaturation() > 150 && c.value() > 150; };
        const CaptureCollection *collection = view()->contents()->collection();
        const CollectionLayout layout = collection->layoutFor(collection->width());
        const QPoint offset = collection->mapTo(viewport, QPoint());
        const auto [first, last] =
            layout.range(-offset.y(), shot.height() - offset.y(), int(collection->items().size()));
        for (int index = first; index < last; ++index) {
            // Inside the rounded corners; on a card, the picture above the caption.
            const QRect cell = layout.cellRect(index).translated(offset).adjusted(12, 0, -12, 0);
            const QRect shown = cell.intersected(shot.rect()).adjusted(0, 2, 0, -2);
            const QRect top = QRect(cell.topLeft(), QSize(cell.width(), cell.width() * 5 / 8)) & shown;
            if (shown.height() >= 8 &&
                (share(shown, background) > 0.9 ||
                 (collection->isGridView() && top.height() >= 8 && share(top, picture) < 0.5)))
                return false;
        }
        return true;
    }
};

// A section chosen from the top of 모든 캡처 opens with every row in view drawn (the one the status
// bar cuts too), and so does the list once forty turns of the wheel 2 ms apart end; grid and list.
TEST_F(ExclusiveLargeLibraryInput, ANewSectionAndAFastScrollDrawEveryCaptureInView)
{
    const QWidget *viewport = view()->scrollArea()->viewport();
    for (const bool grid : {true, false})
        for (const LibrarySection section :
             {LibrarySection::trash, LibrarySection::favorites, LibrarySection::images}) {
            const std::string where = (grid ? "grid, section " : "list, section ") + std::to_string(int(section));
            app().setGridView(grid);
            app().setSection(LibrarySection::all);
            ASSERT_TRUE(QTest::qWaitFor([&] { return everyCaptureInViewDrawn(); }, 5000));
            click(view()->sidebar()->row(section));
            ASSERT_TRUE(QTest::qWaitFor([&] { return app().section() == section; }, 5000));
            EXPECT_TRUE(QTest::qWaitFor([&] { return everyCaptureInViewDrawn(); }, 3000)) << where;
            tabUntil([] { return qobject_cast<CaptureCell *>(QApplication::focusWidget()) != nullptr; });
            const int wheelTo = libraryScroll()->value() + 40 * 60; // 60 px a turn
            // The wheel turns while the application runs, as under a person's hand.
            QProcess wheel;
            wheel.start(QStringLiteral("xdotool"),
                        moveTo(viewport->mapToGlobal(viewport->rect().center())) +
                            QStringLiteral("click --repeat 40 --delay 2 5").split(u' '));
            ASSERT_TRUE(QTest::qWaitFor([&] { return wheel.state() == QProcess::NotRunning; }, 5000));
            EXPECT_TRUE(QTest::qWaitFor([&] { return everyCaptureInViewDrawn(); }, 3000)) << where << ", scrolled";
            EXPECT_EQ(libraryScroll()->value(), wheelTo) << where << ", held back";
        }
}

} // namespace
} // namespace tarn
