// SPDX-License-Identifier: GPL-3.0-or-later
// The editor window's contents opened through the application on its demo samples: the
// control-to-action table under the work flags, zoom labels, dirty marks, the footer size, the
// panels' controls and their undo steps, and a damaged capture that keeps its panel working.
#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QTextEdit>
#include <gtest/gtest.h>
#include <qcoro/qcorotask.h>

#include "app/editor/BadgeRotationControl.h"
#include "app/editor/CanvasHints.h"
#include "app/editor/EditorModel.h"
#include "app/editor/EditorView.h"
#include "app/editor/EditorViewValues.h"
#include "app/editor/EditorWindowController.h"
#include "app/editor/InspectorParts.h"
#include "app/editor/PrivacyInspector.h"
#include "app/editor/StyleInspector.h"
#include "app/editor/TextInspector.h"
#include "app/editor/ToolGlyphs.h"
#include "app/editor/ToolMenus.h"
#include "app/model/AppModel.h"
#include "app/widgets/Theme.h"

namespace tarn {
namespace {

class EditorViewTest : public ::testing::Test {
protected:
    EditorViewTest() : app(dir.filePath(QStringLiteral("Library")), true)
    {
        Theme::useDarkAppearance();
        QCoro::waitFor(app.load());
        QCoro::waitFor(app.addSamples());
    }

    // Opens the editor of a sample through the application, as a double click would.
    EditorWindowController &open(size_t index = 0)
    {
        std::vector<CaptureItem> images;
        for (const CaptureItem &item : app.items())
            if (item.kind == CaptureKind::image)
                images.push_back(item);
        const CaptureItem item = images.at(index);
        app.openItem(item);
        EXPECT_TRUE(QTest::qWaitFor([&] { return app.editorControllers().count(item.id) > 0; }, 20000));
        auto &controller = dynamic_cast<EditorWindowController &>(*app.editorControllers().at(item.id));
        EXPECT_TRUE(QTest::qWaitForWindowExposed(controller.window()));
        return controller;
    }
    template <typename T = QAbstractButton> T *find(EditorWindowController &controller, const QString &name)
    {
        T *widget = controller.window()->findChild<T *>(name);
        EXPECT_NE(widget, nullptr) << name.toStdString();
        return widget;
    }
    // Pictures for review by eye, in the build folder's test-output/editor/.
    static QString shotPath(const QString &name)
    {
        const QString dir = QStringLiteral(TARN_TEST_OUTPUT_DIR "/editor");
        QDir().mkpath(dir);
        return dir + QStringLiteral("/%1.png").arg(name);
    }
    static void shoot(EditorWindowController &controller, const QString &name)
    {
        QTest::qWait(50);
        controller.window()->grab().save(shotPath(name));
    }

    static int undoDepth(const EditorModel &model)
    {
        EditHistory<EditDocument> history = model.history();
        int depth = 0;
        for (; history.canUndo(); ++depth)
            history.undo();
        return depth;
    }
    static Annotation arrow(EditorModel &model)
    {
        model.selectTool(MarkupTool::arrow);
        Annotation mark = model.makeAnnotation({UnitPoint(0.1, 0.1), UnitPoint(0.4, 0.3)});
        model.add(mark);
        return mark;
    }
    // Answers a file dialog that an export opened, as a user who cancels.
    static void cancelDialogs()
    {
        for (QWidget *widget : QApplication::topLevelWidgets())
            if (auto *dialog = qobject_cast<QFileDialog *>(widget); dialog && dialog->isVisible())
                dialog->reject();
    }
    static QString text(EditorWindowController &controller, const QString &name)
    {
        auto *label = controller.window()->findChild<QLabel *>(name);
        return label ? label->text() : QString();
    }

    QTemporaryDir dir;
    AppModel app;
};

// Tests that write or read the desktop's clipboard run alone.
class ExclusiveEditorView : public EditorViewTest { };

// One row per control of the window: what clicking it does to the model.
TEST_F(ExclusiveEditorView, EachControlActsThroughTheModel)
{
    EditorWindowController &controller = open();
    EditorModel &model = controller.model();
    struct Row {
        QString control;
        std::function<void()> arrange;
        std::function<bool()> done;
    };
    const std::vector<Row> rows = {
        {QStringLiteral("editor.rail.select"), [] {}, [&] { return model.tool() == MarkupTool::select; }},
        {QStringLiteral("editor.rail.pen"), [] {}, [&] { return model.tool() == MarkupTool::pen; }},
        {QStringLiteral("editor.rail.crop"), [] {}, [&] { return model.tool() == MarkupTool::crop; }},
        {QStringLiteral("editor.rail.blur"), [] {}, [&] { return model.tool() == MarkupTool::blur; }},
        {QStringLiteral("editor.zoomIn"), [&] { model.setZoom(4.5); }, [&] { return model.zoom() == 5.0; }},
        {QStringLiteral("editor.zoomOut"), [&] { model.setZoom(0.25); }, [&] { return model.zoom() == 0.2; }},
        {QStringLiteral("editor.fit"), [&] { model.setZoom(3); },
         [&, token = model.canvasReset()] { return model.zoom() == 1 && model.canvasReset() != token; }},
        {QStringLiteral("editor.undo"), [&] { arrow(model); }, [&] { return model.document().annotations.empty(); }},
        {QStringLiteral("editor.redo"), [] {}, [&] { return model.document().annotations.size() == 1; }},
        {QStringLiteral("editor.style.color.violet"), [] {}, [&] { return model.color() == MarkupColor::violet; }},
        {QStringLiteral("editor.style.backdrop.aurora"), [] {},
         [&] { return model.document().backdrop == Backdrop::aurora && undoDepth(model) == 2; }},
        {QStringLiteral("editor.tab2"), [] {},
         [&] { return controller.window()->findChild<EditorView *>()->inspectorTab() == 2; }},
        {QStringLiteral("editor.text.recognize"), [] {}, [&] { return model.isRecognizing(); }},
        {QStringLiteral("editor.copy"), [] {}, [&] { return model.isExporting(); }},
        {QStringLiteral("editor.save"), [&] { model.setTitle(QStringLiteral("새 이름")); },
         [&] { return model.isSaving(); }},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.control.toStdString());
        row.arrange();
        QAbstractButton *button = find(controller, row.control);
        ASSERT_TRUE(button);
        ASSERT_TRUE(button->isEnabled());
        QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
        EXPECT_TRUE(row.done());
    }
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return !model.isSaving() && !model.isExporting() && !model.isRecognizing(); }, 60000));
    EXPECT_FALSE(model.isDirty());
    EXPECT_EQ(QString::fromStdString(app.items()[0].title).isEmpty(), false);
}

// Which controls the three work flags disable, and what the busy buttons read.
TEST_F(EditorViewTest, WorkFlagsDisableTheirControls)
{
    EditorWindowController &controller = open();
    EditorModel &model = controller.model();
    auto *pin = find(controller, QStringLiteral("editor.pin"));
    auto *copy = find(controller, QStringLiteral("editor.copy"));
    auto *exporting = find(controller, QStringLiteral("editor.export"));
    auto *save = find(controller, QStringLiteral("editor.save"));
    auto *undo = find(controller, QStringLiteral("editor.undo"));
    auto *redo = find(controller, QStringLiteral("editor.redo"));
    auto *rerun = find(controller, QStringLiteral("editor.text.rerun"));
    EXPECT_FALSE(save->isEnabled()); // nothing to save yet
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_FALSE(redo->isEnabled());

    exporting->click();
    EXPECT_TRUE(model.isExporting());
    for (QAbstractButton *button : {pin, copy, exporting})
        EXPECT_FALSE(button->isEnabled());
    EXPECT_EQ(exporting->text(), QStringLiteral("처리 중…"));
    EXPECT_EQ(copy->text(), QStringLiteral("복사"));
    model.copy(); // dropped: one output at a time
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            cancelDialogs();
            return !model.isExporting();
        },
        20000));
    for (QAbstractButton *button : {pin, copy, exporting})
        EXPECT_TRUE(button->isEnabled());
    EXPECT_EQ(exporting->text(), QStringLiteral("내보내기"));

    arrow(model);
    EXPECT_TRUE(undo->isEnabled());
    EXPECT_TRUE(save->isEnabled());
    save->click();
    EXPECT_FALSE(save->isEnabled());
    EXPECT_EQ(save->text(), QStringLiteral("저장 중…"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !model.isSaving(); }, 20000));
    EXPECT_EQ(save->text(), QStringLiteral("저장"));
    EXPECT_FALSE(save->isEnabled()); // saved, so clean again

    // The panels follow the model while they are shown: look at each tab as a person would.
    auto *view = controller.window()->findChild<EditorView *>();
    model.recognizeText();
    view->setInspectorTab(2);
    EXPECT_FALSE(rerun->isEnabled());
    EXPECT_TRUE(controller.window()->findChild<QWidget *>(QStringLiteral("editor.text.progress")));
    view->setInspectorTab(1);
    EXPECT_TRUE(controller.window()->findChild<QWidget *>(QStringLiteral("editor.privacy.progress")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !model.isRecognizing(); }, 60000));
    view->setInspectorTab(2);
    EXPECT_TRUE(rerun->isEnabled());
    view->setInspectorTab(0);

    // Back with unsaved edits asks first instead of closing.
    model.setTagsText(QStringLiteral("업무"));
    find(controller, QStringLiteral("editor.back"))->click();
    EXPECT_TRUE(controller.sheet());
    EXPECT_TRUE(controller.window()->isVisible());
}

// The footer line after each save pressed in the window: it never goes on announcing an earlier
// save while the alert reports that this one failed.
TEST_F(EditorViewTest, TheFooterSaysWhenASaveFailed)
{
    EditorWindowController &controller = open();
    EditorModel &model = controller.model();
    QWidget *window = controller.window();
    auto *save = find(controller, QStringLiteral("editor.save"));
    const QString original = app.repository().originalURL(model.item());
    const QString aside = original + QStringLiteral(".aside");
    const struct {
        const char *name;
        bool readable; // whether the store can read the original for the new thumbnail
    } rounds[] = {{"first save", true}, {"original unreadable", false}, {"readable again", true}};
    for (const auto &round : rounds) {
        SCOPED_TRACE(round.name);
        if (!round.readable) {
            ASSERT_TRUE(QFile::rename(original, aside));
        }
        arrow(model);
        // A save that fails at once may start and end inside the click's own event processing,
        // so the click is judged by the saving flag having gone up and down again.
        QSignalSpy saving(&model, &EditorModel::isSavingChanged);
        QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, save->mapTo(window, save->rect().center()));
        ASSERT_TRUE(QTest::qWaitFor([&] { return saving.count() >= 2 && !model.isSaving(); }, 20000));
        const QString footer = text(controller, QStringLiteral("editor.footer.message"));
        EXPECT_EQ(footer.contains(QStringLiteral("저장했습니다")), round.readable) << footer.toStdString();
        EXPECT_EQ(footer.contains(QStringLiteral("저장하지 못했습니다")), !round.readable) << footer.toStdString();
        EXPECT_EQ(model.isDirty(), !round.readable);
        auto *alert = window->findChild<QWidget *>(QStringLiteral("editor.alert"));
        ASSERT_EQ(alert != nullptr, !round.readable);
        if (alert) {
            shoot(controller, QStringLiteral("save-failed"));
            QTest::keyClick(alert->windowHandle(), Qt::Key_Escape);
            ASSERT_TRUE(QTest::qWaitFor([&] { return !model.errorMessage(); }, 5000));
            ASSERT_TRUE(QFile::rename(aside, original));
        }
    }
}

TEST_F(EditorViewTest, ZoomLabelsDirtyMarksAndFooter)
{
    EditorWindowController &controller = open();
    EditorModel &model = controller.model();
    auto *fit = find(controller, QStringLiteral("editor.fit"));
    auto labels = [&](const QString &button, int presses) {
        QStringList seen;
        for (int i = 0; i < presses; ++i) {
            find(controller, button)->click();
            seen << fit->text();
        }
        fit->click();
        return seen.join(QLatin1Char(' '));
    };
    EXPECT_EQ(fit->text(), QStringLiteral("맞춤"));
    EXPECT_EQ(labels(QStringLiteral("editor.zoomOut"), 8), QStringLiteral("80% 64% 51% 40% 32% 26% 20% 20%"));
    EXPECT_EQ(fit->text(), QStringLiteral("맞춤"));
    EXPECT_EQ(labels(QStringLiteral("editor.zoomIn"), 9),
              QStringLiteral("125% 156% 195% 244% 305% 381% 476% 500% 500%"));

    auto *dot = find<QWidget>(controller, QStringLiteral("editor.dirtyDot"));
    EXPECT_FALSE(dot->isVisible());
    EXPECT_EQ(find<QLabel>(controller, QStringLiteral("editor.footer.state"))->accessibleName(),
              QStringLiteral("checkmark.circle"));
    model.setTagsText(QStringLiteral("업무"));
    EXPECT_TRUE(dot->isVisible());
    EXPECT_EQ(find<QLabel>(controller, QStringLiteral("editor.footer.state"))->accessibleName(),
              QStringLiteral("circle.dotted"));

    EditDocument framed;
    framed.backdrop = Backdrop::aurora;
    framed.padding = 64;
    EXPECT_EQ(EditorViewValues::outputSizeText(1000, 600, EditDocument{}), QStringLiteral("1000 × 600 PX"));
    EXPECT_EQ(EditorViewValues::outputSizeText(1000, 600, framed), QStringLiteral("1128 × 728 PX"));
    const QString before = text(controller, QStringLiteral("editor.footer.size"));
    find(controller, QStringLiteral("editor.style.backdrop.aurora"))->click();
    EXPECT_EQ(text(controller, QStringLiteral("editor.footer.size")),
              EditorViewValues::outputSizeText(model.image().width(), model.image().height(), model.document()));
    EXPECT_NE(text(controller, QStringLiteral("editor.footer.size")), before);

    model.setErrorMessage(QStringLiteral("디스크가 가득 찼습니다."));
    auto *view = controller.window()->findChild<EditorView *>();
    ASSERT_TRUE(view->alert());
    EXPECT_EQ(view->alert()->windowTitle(), QStringLiteral("편집기"));
    EXPECT_EQ(view->alert()->text(), QStringLiteral("디스크가 가득 찼습니다."));
    view->alert()->buttons().first()->click();
    EXPECT_FALSE(model.errorMessage());
}

// Sliders are live and end as one undo step; layers list newest first and delete.
TEST_F(EditorViewTest, SlidersLayersAndPopovers)
{
    EditorWindowController &controller = open();
    EditorModel &model = controller.model();
    const Annotation mark = arrow(model);
    StepSlider *weight = controller.window()->findChild<SliderRow *>(QStringLiteral("editor.style.weight"))->slider();
    const int steps = undoDepth(model);
    weight->setSliderDown(true);
    for (int value : {5, 6, 7, 8})
        weight->setValue(value); // 1 + value
    weight->setSliderDown(false);
    EXPECT_EQ(undoDepth(model), steps + 1);
    EXPECT_EQ(model.document().annotations.back().weight, 9);

    auto *stroke = controller.window()->findChild<StrokeWeightMenu *>();
    stroke->click();
    EXPECT_TRUE(stroke->isPresented());
    EXPECT_FALSE(StrokeWeightMenu::isChosen(5, 4));
    EXPECT_TRUE(StrokeWeightMenu::isChosen(4.05, 4));
    stroke->presetRow(4)->click(); // 12
    EXPECT_FALSE(stroke->isPresented());
    EXPECT_EQ(model.document().annotations.back().weight, 12);
    EXPECT_EQ(stroke->detail(), QStringLiteral("12")); // the trigger shows the weight it set
    EXPECT_EQ(undoDepth(model), steps + 2);

    model.selectTool(MarkupTool::text);
    EXPECT_FALSE(stroke->isEnabled());
    auto *badges = controller.window()->findChild<BadgeToolMenu *>();
    badges->click();
    EXPECT_EQ(model.tool(), MarkupTool::badge);
    EXPECT_TRUE(badges->isPresented());
    EXPECT_TRUE(badges->rotationControl()->isEnabled());
    badges->rotationControl()->presetButton(2)->click();
    EXPECT_EQ(model.currentBadgeRotation(), 90);
    badges->styleButton(BadgeStyle::heart)->click();
    EXPECT_FALSE(badges->isPresented());
    EXPECT_EQ(model.badgeStyle(), BadgeStyle::heart);
    model.add(model.makeAnnotation({UnitPoint(0.5, 0.5)}));

    auto layers = [&] {
        QStringList names;
        for (QLabel *label : controller.window()->findChildren<QLabel *>(QStringLiteral("editor.layer.label")))
            names << label->text();
        return names;
    };
    QCoreApplication::processEvents();
    EXPECT_EQ(layers(), (QStringList{QStringLiteral("하트 배지"), QStringLiteral("화살표")}));
    auto *row = controller.window()->findChild<QWidget *>(QStringLiteral("editor.layer.") + mark.id.toQString());
    ASSERT_TRUE(row);
    QTest::mouseClick(row, Qt::LeftButton, {}, QPoint(4, 4));
    QCoreApplication::processEvents();
    EXPECT_EQ(model.selectedAnnotationID(), mark.id);
    const int before = undoDepth(model);
    row = controller.window()->findChild<QWidget *>(QStringLiteral("editor.layer.") + mark.id.toQString());
    row->findChild<QAbstractButton *>(QStringLiteral("editor.layer.delete"))->click();
    QCoreApplication::processEvents();
    EXPECT_EQ(undoDepth(model), before + 1);
    EXPECT_FALSE(model.selectedAnnotationID());
    EXPECT_EQ(layers(), QStringList{QStringLiteral("하트 배지")});
}

TEST_F(ExclusiveEditorView, PrivacyCardsAndTextCopy)
{
    EditorWindowController &controller = open();
    EditorModel &model = controller.model();
    CaptureItem recognized = model.item();
    recognized.textRegions = {
        TextRegion{Uuid::random(), "kim.minji@example.com 010-2345-6789", UnitRect{0.1, 0.1, 0.5, 0.05}, 0.9f},
        TextRegion{Uuid::random(), "call 010-9876-5432", UnitRect{0.1, 0.3, 0.4, 0.05}, 0.9f},
        TextRegion{Uuid::random(), "  hello   <b>world</b>", UnitRect{0.1, 0.6, 0.2, 0.05}, 0.9f},
    };
    model.takeRecognition(recognized);
    find(controller, QStringLiteral("editor.tab1"))->click();
    EXPECT_EQ(text(controller, QStringLiteral("editor.privacy.suggestionCount")), QStringLiteral("검토할 제안 2개"));
    auto cards = controller.window()->findChildren<QAbstractButton *>(QStringLiteral("editor.privacy.suggestion"));
    ASSERT_EQ(cards.size(), 2);
    EXPECT_TRUE(cards[0]->accessibleName().startsWith(QStringLiteral("이메일 · 전화번호 ")));
    shoot(controller, QStringLiteral("privacy-recognized"));
    cards[0]->click();
    QCoreApplication::processEvents();
    EXPECT_EQ(text(controller, QStringLiteral("editor.privacy.suggestionCount")), QStringLiteral("검토할 제안 1개"));
    EXPECT_EQ(text(controller, QStringLiteral("editor.privacy.blurCount")), QStringLiteral("흐림 1개 적용"));

    find(controller, QStringLiteral("editor.tab2"))->click();
    shoot(controller, QStringLiteral("text-recognized"));
    // The box shows the lines as recognized, spaces and markup-like characters included.
    const QString visible = QStringLiteral("call 010-9876-5432\n  hello   <b>world</b>");
    QTextDocument shown;
    shown.setHtml(text(controller, QStringLiteral("editor.text.visible")));
    EXPECT_EQ(shown.toPlainText().toStdString(), visible.toStdString());
    find(controller, QStringLiteral("editor.text.copy"))->click();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), visible);
    EXPECT_EQ(model.message(), TextInspector::copiedMessage());
}

// A capture from a damaged library: numbers the controls cannot hold are shown within their
// range, and the panel keeps working.
TEST_F(EditorViewTest, DamagedValuesShowClampedAndThePanelWorks)
{
    EXPECT_EQ(EditorViewValues::wholeNumber(std::nan(""), 16, 240), 0);
    EXPECT_EQ(EditorViewValues::wholeNumber(1e300, 16, 240), 240);
    EXPECT_EQ(EditorViewValues::wholeNumber(-INFINITY, 1, 24), 1);
    EXPECT_EQ(EditorViewValues::wholeNumber(5.7, 1, 24), 5);
    EditorWindowController &controller = open(1);
    EditorModel &model = controller.model();
    const Annotation mark = arrow(model);
    EditDocument damaged = model.document();
    damaged.annotations.back().weight = 1e300;
    damaged.backdrop = Backdrop::peach;
    damaged.padding = 1e300;
    damaged.cornerRadius = std::nan("");
    model.setDocument(damaged);
    model.setSelectedAnnotationID(mark.id);
    auto *padding = controller.window()->findChild<SliderRow *>(QStringLiteral("editor.style.padding"));
    auto *corner = controller.window()->findChild<SliderRow *>(QStringLiteral("editor.style.corner"));
    auto *weight = controller.window()->findChild<SliderRow *>(QStringLiteral("editor.style.weight"));
    EXPECT_EQ(padding->valueLabel()->text(), QStringLiteral("240"));
    EXPECT_EQ(corner->valueLabel()->text(), QStringLiteral("0"));
    EXPECT_EQ(weight->valueLabel()->text(), QStringLiteral("24"));
    shoot(controller, QStringLiteral("damaged"));
    padding->slider()->setValue(12); // 16 + 12 x 4
    EXPECT_EQ(model.document().padding, 64);
    EXPECT_EQ(padding->valueLabel()->text(), QStringLiteral("64"));
}

// What the style section shows for each tool.
TEST_F(EditorViewTest, StyleSectionFollowsTheTool)
{
    EditorWindowController &controller = open();
    EditorModel &model = controller.model();
    auto *window = controller.window();
    struct Row {
        MarkupTool tool;
        bool swatches, weight, text, blurNote, rotation;
    };
    for (const Row &row : {Row{MarkupTool::arrow, true, true, false, false, false},
                           Row{MarkupTool::text, true, false, true, false, false},
                           Row{MarkupTool::blur, true, false, false, true, false},
                           Row{MarkupTool::badge, false, false, false, false, true},
                           Row{MarkupTool::ellipse, true, true, false, false, false}}) {
        SCOPED_TRACE(EditorViewValues::caseText(row.tool).toStdString());
        model.selectTool(row.tool);
        EXPECT_EQ(window->findChild<QWidget *>(QStringLiteral("editor.style.color.coral"))->isVisible(), row.swatches);
        EXPECT_EQ(window->findChild<QWidget *>(QStringLiteral("editor.style.weight"))->isEnabled(), row.weight);
        EXPECT_EQ(window->findChild<QWidget *>(QStringLiteral("editor.style.text"))->isVisible(), row.text);
        EXPECT_EQ(window->findChild<QWidget *>(QStringLiteral("editor.style.blurNote"))->isVisible(), row.blurNote);
        EXPECT_EQ(window->findChild<StyleInspector *>()
                      ->findChild<QWidget *>(QStringLiteral("editor.badgeRotation"))
                      ->isVisible(),
                  row.rotation);
    }
    model.selectTool(MarkupTool::text);
    auto *field = window->findChild<QTextEdit *>(QStringLiteral("editor.style.text"));
    EXPECT_EQ(field->toPlainText(), EditorModel::defaultAnnotationText());
    field->clear();
    QTest::keyClicks(field, QStringLiteral("hello"));
    EXPECT_EQ(model.annotationText(), QStringLiteral("hello"));
    EXPECT_EQ(undoDepth(model), 0);
    // The field is two lines high at least, grows line by line and stops at five.
    std::vector<int> heights;
    for (int lines : {1, 2, 3, 5, 8}) {
        model.setAnnotationText(QStringList(lines, QStringLiteral("줄")).join(QLatin1Char('\n')));
        QCoreApplication::processEvents();
        heights.push_back(field->height());
    }
    EXPECT_EQ(heights[0], heights[1]);
    EXPECT_LT(heights[1], heights[2]);
    EXPECT_LT(heights[2], heights[3]);
    EXPECT_EQ(heights[3], heights[4]);
    // The bar under the canvas says how to turn a selected badge, as the canvas does.
    model.selectTool(MarkupTool::badge);
    model.add(model.makeAnnotation({UnitPoint(0.5, 0.5)}));
    EXPECT_EQ(text(controller, QStringLiteral("editor.hint")),
              CanvasHints::canvasHint(MarkupTool::badge, model.tool()));
    EXPECT_NE(text(controller, QStringLiteral("editor.hint")), CanvasHints::canvasHint(std::nullopt, model.tool()));
}

TEST(ToolGlyphs, ShapesAndBadgeIconsFollowTheirGeometry)
{
    const QRectF frame(0, 0, 20, 20);
    const QPainterPath line = ToolGlyphs::shapeGlyph(MarkupTool::line, frame);
    EXPECT_EQ(line.elementAt(0), QPointF(2, 16));
    EXPECT_EQ(line.elementAt(1), QPointF(18, 4));
    EXPECT_EQ(ToolGlyphs::shapeGlyph(MarkupTool::rectangle, frame).boundingRect(), QRectF(2, 2, 16, 16));
    EXPECT_EQ(ToolGlyphs::shapeGlyph(MarkupTool::ellipse, frame).boundingRect(), QRectF(2, 2, 16, 16));
    const QRectF rounded = ToolGlyphs::shapeGlyph(MarkupTool::roundedRectangle, frame).boundingRect();
    EXPECT_DOUBLE_EQ(rounded.left(), 2);
    EXPECT_DOUBLE_EQ(rounded.right(), 18);
    EXPECT_NEAR(rounded.top(), 4.08, 1e-9);
    EXPECT_NEAR(rounded.bottom(), 15.92, 1e-9);

    const QRectF flat = ToolGlyphs::badgeIconRect(QSizeF(28, 28), 0);
    EXPECT_DOUBLE_EQ(flat.width(), 28);
    EXPECT_NEAR(flat.height(), 28 / 1.55, 1e-9);
    EXPECT_NEAR(flat.center().y(), 14, 1e-9);
    const QRectF upright = ToolGlyphs::badgeIconRect(QSizeF(28, 28), 90);
    EXPECT_NEAR(upright.width(), flat.width(), 1e-9);
    EXPECT_NEAR(upright.height(), flat.height(), 1e-9);
    EXPECT_LT(ToolGlyphs::badgeIconRect(QSizeF(28, 28), 45).width(), 28);
    EXPECT_TRUE(BadgeRotationControl::isChosen(359.7, 360));
    EXPECT_FALSE(BadgeRotationControl::isChosen(0, 360));
}

TEST_F(EditorViewTest, ScreenshotsOfEachTab)
{
    EditorWindowController &controller = open();
    auto *view = controller.window()->findChild<EditorView *>();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->inspectorTab(), 0);
    shoot(controller, QStringLiteral("style"));
    find(controller, QStringLiteral("editor.tab1"))->click();
    shoot(controller, QStringLiteral("privacy"));
    find(controller, QStringLiteral("editor.tab2"))->click();
    shoot(controller, QStringLiteral("text"));

    auto *shapes = controller.window()->findChild<ShapeToolMenu *>();
    shapes->click();
    QTest::qWait(50);
    shapes->popover()->grab().save(shotPath(QStringLiteral("shapes")));
    shapes->shapeButton(MarkupTool::roundedRectangle)->click();
    EXPECT_EQ(controller.model().selectedShape(), MarkupTool::roundedRectangle);
    auto *badges = controller.window()->findChild<BadgeToolMenu *>();
    badges->click();
    QTest::qWait(50);
    badges->popover()->grab().save(shotPath(QStringLiteral("badges")));
    badges->click();
    auto *stroke = controller.window()->findChild<StrokeWeightMenu *>();
    controller.model().selectTool(MarkupTool::pen);
    stroke->click();
    QTest::qWait(50);
    stroke->popover()->grab().save(shotPath(QStringLiteral("stroke")));
    stroke->click();
    find(controller, QStringLiteral("editor.tab0"))->click();
    shoot(controller, QStringLiteral("style-after"));
}

} // namespace
} // namespace tarn
