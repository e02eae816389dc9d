// SPDX-License-Identifier: GPL-3.0-or-later
// The editor window under the test desktop: its size and place, the close check with the
// unsaved-edits question, and its entry in the application's editor table.
#include <optional>

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>
#include <qcoro/qcorotask.h>

#include "app/editor/EditorFixture.h"
#include "app/editor/EditorModel.h"
#include "app/editor/EditorView.h"
#include "app/editor/EditorWindowController.h"
#include "app/editor/ToolMenus.h"
#include "app/model/AppModel.h"
#include "app/shell/ResponderChain.h"

namespace tarn {
namespace {

class EditorWindowControllerTest : public ::testing::Test {
protected:
    EditorWindowControllerTest()
        : app(dir.filePath(QStringLiteral("Library")), false),
          host(app.repository(), app.recognition(), app.floating())
    {
        QCoro::waitFor(app.load());
        item = app.repository().insertImage(image, "회의 메모", false, std::nullopt).result();
        app.replace(item);
    }

    // A controller kept by the application, its window shown like an opened editor's.
    EditorWindowController *open()
    {
        auto *controller = new EditorWindowController(item, image, host);
        app.addEditor(controller);
        controller->bringToFront();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(controller->window()));
        return controller;
    }

    static void click(EditorWindowController &controller, const QString &text)
    {
        ASSERT_TRUE(controller.sheet());
        for (QAbstractButton *button : controller.sheet()->buttons()) {
            if (button->text() == text) {
                button->click();
                return;
            }
        }
        FAIL() << "no button " << text.toStdString();
    }

    static void settle(const std::function<bool()> &done) { ASSERT_TRUE(QTest::qWaitFor(done, 20000)); }

    bool isOpen() const { return app.editorControllers().count(item.id) > 0; }

    EditDocument stored() const
    {
        for (const CaptureItem &entry : LibraryRepository(app.repository().root()).load().result())
            if (entry.id == item.id)
                return entry.edits;
        return {};
    }

    QTemporaryDir dir;
    AppModel app;
    TestSupport::TestEditorHost host;
    QImage image = TestSupport::pageWithText();
    CaptureItem item;
};

TEST_F(EditorWindowControllerTest, TheWindowIsSizedTitledAndCentredAndKeepsItsMinimum)
{
    EditorWindowController *controller = open();
    QWidget *window = controller->window();
    EXPECT_EQ(window->size(), QSize(1240, 820));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("회의 메모 — Tarnwick"));
    const QPoint offCentre = window->frameGeometry().center() - window->screen()->availableGeometry().center();
    EXPECT_LE(offCentre.manhattanLength(), 40);
    EXPECT_FALSE(window->windowFlags() & Qt::FramelessWindowHint);
    window->resize(600, 400);
    EXPECT_EQ(window->size(), QSize(1020, 700));
    EXPECT_EQ(controller->model().windowController.data(), controller);
    controller->close();
}

TEST_F(EditorWindowControllerTest, ACleanEditorClosesAtOnceAndLeavesTheEditorTable)
{
    EditorWindowController *controller = open();
    QSignalSpy closed(controller, &EditorWindowController::closed);
    EXPECT_TRUE(isOpen());
    controller->performClose();
    EXPECT_FALSE(controller->sheet());
    EXPECT_EQ(closed.count(), 1);
    EXPECT_FALSE(isOpen());
}

TEST_F(EditorWindowControllerTest, UnsavedEditsAskAndEachAnswerDoesWhatItSays)
{
    EditorWindowController *controller = open();
    EditorModel &model = controller->model();
    model.setTool(MarkupTool::rectangle);
    model.add(model.makeAnnotation({UnitPoint(0.1, 0.1), UnitPoint(0.4, 0.4)}));

    controller->performClose();
    QMessageBox *sheet = controller->sheet();
    ASSERT_TRUE(sheet);
    EXPECT_TRUE(QTest::qWaitForWindowExposed(sheet));
    EXPECT_EQ(sheet->text(), QStringLiteral("편집한 내용을 저장할까요?"));
    EXPECT_EQ(sheet->informativeText(),
              QStringLiteral("원본 이미지는 변경하지 않습니다. 저장하지 않으면 이번 편집만 취소됩니다."));
    EXPECT_EQ(sheet->buttons().size(), 3);
    controller->performClose(); // the question is up: nothing more happens
    EXPECT_EQ(controller->sheet(), sheet);
    EXPECT_EQ(controller->window()->findChildren<QMessageBox *>().size(), 1);

    click(*controller, QStringLiteral("취소"));
    EXPECT_FALSE(controller->sheet());
    EXPECT_TRUE(isOpen());
    EXPECT_TRUE(controller->window()->isVisible());
    EXPECT_TRUE(model.isDirty());

    // "저장" with a store that cannot read the original: the window stays, with the error.
    const QString original = app.repository().originalURL(item);
    ASSERT_TRUE(QFile::rename(original, original + QStringLiteral(".aside")));
    controller->performClose();
    click(*controller, QStringLiteral("저장"));
    settle([&] { return !model.isSaving(); });
    EXPECT_TRUE(isOpen());
    EXPECT_TRUE(model.errorMessage());
    EXPECT_TRUE(model.isDirty());
    EXPECT_FALSE(controller->allowClose());

    ASSERT_TRUE(QFile::rename(original + QStringLiteral(".aside"), original));
    const EditDocument edited = model.document();
    controller->performClose();
    click(*controller, QStringLiteral("저장"));
    settle([&] { return !isOpen(); });
    EXPECT_EQ(stored(), edited);

    // "저장하지 않기" closes, and the library keeps what was saved last.
    item.edits = edited;
    EditorWindowController *second = open();
    second->model().remove(edited.annotations.front().id);
    second->performClose();
    click(*second, QStringLiteral("저장하지 않기"));
    settle([&] { return !isOpen(); }); // once the keyboard its question had is back, at most a second
    EXPECT_EQ(stored(), edited);
}

TEST_F(EditorWindowControllerTest, ClosingWaitsForSavesAndOutputsButNotForRecognition)
{
    EditorWindowController *controller = open();
    EditorModel &model = controller->model();
    model.exportImage();
    controller->performClose(); // refused even though nothing is unsaved
    EXPECT_TRUE(isOpen());
    EXPECT_FALSE(controller->sheet());
    EXPECT_EQ(model.message(), QStringLiteral("저장 또는 이미지 처리가 완료된 후 닫아 주세요."));
    settle([&] { return host.exportGate != nullptr; });
    host.finishExport();
    settle([&] { return !model.isExporting(); });

    model.setTitle(QStringLiteral("제목만 바꿈"));
    TestSupport::occupy(app.repository());
    model.saveAction();
    ASSERT_TRUE(model.isSaving());
    controller->performClose();
    EXPECT_TRUE(isOpen());
    EXPECT_FALSE(controller->sheet());
    settle([&] { return !model.isSaving(); });

    model.recognizeText();
    controller->performClose();
    EXPECT_FALSE(isOpen());
    settle([&] { return !host.replaced.empty() && !host.replaced.back().textRegions.empty(); });
}

// The menu's responder items reach the active editor window and, through it, the model. They follow
// the activation, which another test's window on the shared display could take: this runs alone.
class ExclusiveEditorMenus : public EditorWindowControllerTest { };

TEST_F(ExclusiveEditorMenus, MenuCommandsReachTheModelWhileItsWindowIsActive)
{
    EditorWindowController *controller = open();
    QApplication::setActiveWindow(controller->window());
    ASSERT_TRUE(QTest::qWaitForWindowActive(controller->window()));
    EditorModel &model = controller->model();
    model.setTool(MarkupTool::arrow);
    model.add(model.makeAnnotation({UnitPoint(0.1, 0.1), UnitPoint(0.4, 0.4)}));
    for (ResponderAction action : {ResponderAction::save, ResponderAction::exportImage, ResponderAction::undo,
                                   ResponderAction::redo, ResponderAction::copy, ResponderAction::close})
        EXPECT_TRUE(ResponderChain::answers(action)) << int(action);
    EXPECT_FALSE(ResponderChain::answers(ResponderAction::paste));

    ResponderChain::perform(ResponderAction::undo);
    EXPECT_TRUE(model.document().annotations.empty());
    ResponderChain::perform(ResponderAction::redo);
    EXPECT_EQ(model.document().annotations.size(), 1u);
    ResponderChain::perform(ResponderAction::save);
    settle([&] { return !model.isSaving(); });
    EXPECT_FALSE(model.isDirty());
    ResponderChain::perform(ResponderAction::exportImage);
    ResponderChain::perform(ResponderAction::copy); // dropped: the export holds the guard
    settle([&] { return !host.exported.empty(); });
    host.finishExport();
    settle([&] { return !model.isExporting(); });
    EXPECT_EQ(host.copies, 0);
    ResponderChain::perform(ResponderAction::copy);
    settle([&] { return !model.isExporting(); });
    EXPECT_EQ(host.copies, 1);
    ResponderChain::perform(ResponderAction::close); // through the close check: clean, so it closes
    EXPECT_FALSE(isOpen());
}

// Popovers are popup windows that take the pointer: these tests run alone.
class ExclusiveEditorPopovers : public EditorWindowControllerTest { };

// A popover left open when its editor window closes, or when the window goes away while shown
// (as at quit), closes with the window while the editor's views are whole: closing it ends its
// control edit, which they then show. None stays on screen.
TEST_F(ExclusiveEditorPopovers, AnOpenPopoverClosesWithItsWindow)
{
    struct Row {
        const char *name;
        const char *trigger;
        bool destroyed;
    };
    const std::vector<Row> rows = {
        {"badges, window closed", "editor.rail.badge", false},
        {"stroke weight, window closed", "editor.strokeWeight", false},
        {"shapes, window closed", "editor.rail.shapes", false},
        {"badges, window destroyed while shown", "editor.rail.badge", true},
        {"stroke weight, window destroyed while shown", "editor.strokeWeight", true},
    };
    for (const Row &row : rows) {
        auto *controller = new EditorWindowController(item, image, host);
        controller->bringToFront();
        QWidget *window = controller->window();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window)) << row.name;
        auto *trigger = window->findChild<QWidget *>(QString::fromLatin1(row.trigger));
        ASSERT_TRUE(trigger) << row.name;
        // On a busy machine a click can come before the new window takes it: clicked again until
        // the popover shows.
        QPointer<ToolPopover> popover;
        bool shown = false;
        for (int attempt = 0; attempt < 3 && !shown; ++attempt) {
            QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {},
                              trigger->mapTo(window, trigger->rect().center()));
            shown = QTest::qWaitFor(
                [&] { return (popover = trigger->findChild<ToolPopover *>()) && popover->isVisible(); }, 3000);
        }
        ASSERT_TRUE(shown) << row.name;
        // A view in the middle of its destruction no longer casts to its own type.
        std::optional<bool> viewWhenClosed;
        QObject::connect(popover, &ToolPopover::hidden, popover,
                         [&viewWhenClosed, window] { viewWhenClosed = window->findChild<EditorView *>() != nullptr; });
        if (row.destroyed) {
            delete controller;
        } else {
            controller->close();
            EXPECT_TRUE(popover && !popover->isVisible()) << row.name;
            delete controller;
        }
        EXPECT_EQ(viewWhenClosed, std::optional<bool>(true)) << row.name;
    }
}

} // namespace
} // namespace tarn
