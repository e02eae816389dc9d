// SPDX-License-Identifier: GPL-3.0-or-later
// The editor window as a person meets it, with the application's menu bar on it and every
// press and key sent to the window as the window system would: the keyboard stays with the
// canvas after any control, the numbers beside the sliders follow them, the window fits its
// content at its smallest and default sizes, greyed and coloured texts read as they should, and
// the rail's symbols are written at 1x and 2x for looking at.
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

#include <gtest/gtest.h>
#include <qcoro/qcorotask.h>

#include "app/editor/CanvasPainter.h"
#include "app/editor/EditorFixture.h"
#include "app/editor/EditorModel.h"
#include "app/editor/EditorView.h"
#include "app/editor/EditorWindowController.h"
#include "app/editor/ImageEditingView.h"
#include "app/editor/InspectorParts.h"
#include "app/editor/PrivacyInspector.h"
#include "app/editor/TextInspector.h"
#include "app/model/AppModel.h"
#include "app/shell/MainMenu.h"
#include "app/widgets/Theme.h"

namespace tarn {
namespace {

class ExclusiveEditorByHand : public ::testing::Test {
protected:
    ExclusiveEditorByHand()
        : app(dir.filePath(QStringLiteral("Library")), false),
          host(app.repository(), app.recognition(), app.floating())
    {
        Theme::useDarkAppearance();
        QCoro::waitFor(app.load());
        item = app.repository().insertImage(image, "회의 메모", false, std::nullopt).result();
        // Recognized already, so the protect tab has a suggestion to show.
        item.textRegions = {TestSupport::region("mail kim.minji@example.com", UnitRect(0.05, 0.2, 0.8, 0.2))};
        app.replace(item);
    }

    // An editor as the application opens one: its window carries the menu bar, shown and active.
    EditorWindowController &open()
    {
        auto *controller = new EditorWindowController(item, image, host);
        menu.attach(qobject_cast<QMainWindow *>(controller->window()));
        app.addEditor(controller);
        controller->bringToFront();
        EXPECT_TRUE(QTest::qWaitForWindowActive(controller->window()));
        return *controller;
    }

    QWindow *window(EditorWindowController &controller) { return controller.window()->windowHandle(); }
    QPoint at(EditorWindowController &controller, QWidget *widget, QPoint local) const
    {
        return widget->mapTo(controller.window(), local);
    }
    void click(EditorWindowController &controller, QWidget *widget)
    {
        ASSERT_TRUE(widget);
        QTest::mouseClick(window(controller), Qt::LeftButton, {}, at(controller, widget, widget->rect().center()));
        QTest::qWait(20);
    }
    template <typename T = QWidget> T *find(EditorWindowController &controller, const QString &name)
    {
        T *widget = controller.window()->findChild<T *>(name);
        EXPECT_TRUE(widget) << name.toStdString();
        return widget;
    }
    QLabel *labelReading(EditorWindowController &controller, const QString &text)
    {
        for (QLabel *label : controller.window()->findChildren<QLabel *>())
            if (label->text() == text)
                return label;
        ADD_FAILURE() << "no label " << text.toStdString();
        return nullptr;
    }

    // Space held while the pointer drags over the canvas.
    void spaceDrag(EditorWindowController &controller, QPoint by)
    {
        auto *canvas = controller.window()->findChild<ImageEditingView *>();
        const QPoint from = at(controller, canvas, canvas->rect().center());
        QTest::keyPress(window(controller), Qt::Key_Space);
        QTest::mousePress(window(controller), Qt::LeftButton, {}, from);
        for (int i = 1; i <= 4; ++i)
            QTest::mouseMove(window(controller), from + by * i / 4);
        QTest::mouseRelease(window(controller), Qt::LeftButton, {}, from + by);
        QTest::keyRelease(window(controller), Qt::Key_Space);
        QTest::qWait(20);
    }

    // Presses a slider's handle and moves it right until it reads `target`; released after
    // `whileHeld` has looked at it.
    void dragSlider(EditorWindowController &controller, StepSlider *slider, double target,
                    const std::function<void()> &whileHeld)
    {
        const int length = slider->style()->pixelMetric(QStyle::PM_SliderLength, nullptr, slider);
        const int x = QStyle::sliderPositionFromValue(slider->minimum(), slider->maximum(), slider->value(),
                                                      slider->width() - length) +
            length / 2;
        QPoint point = at(controller, slider, QPoint(x, slider->height() / 2));
        QTest::mousePress(window(controller), Qt::LeftButton, {}, point);
        for (int step = 0; step < slider->width() && slider->doubleValue() < target; ++step) {
            point += QPoint(1, 0);
            QTest::mouseMove(window(controller), point);
        }
        whileHeld();
        QTest::mouseRelease(window(controller), Qt::LeftButton, {}, point);
        QTest::qWait(20);
    }

    // The colour of a label's text: its pixel farthest from the panel behind it.
    static QColor ink(QWidget *widget)
    {
        const QImage picture = widget->grab().toImage();
        const QColor back = picture.pixelColor(0, 0);
        QColor farthest = back;
        int distance = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x) {
                const QColor c = picture.pixelColor(x, y);
                const int d = std::abs(c.red() - back.red()) + std::abs(c.green() - back.green()) +
                    std::abs(c.blue() - back.blue());
                if (d > distance) {
                    distance = d;
                    farthest = c;
                }
            }
        return farthest;
    }
    static int difference(const QColor &a, const QColor &b)
    {
        return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue());
    }
    static QString shotPath(const QString &name)
    {
        const QString folder = QStringLiteral(TARN_TEST_OUTPUT_DIR "/editor");
        QDir().mkpath(folder);
        return folder + QStringLiteral("/%1.png").arg(name);
    }

    QTemporaryDir dir;
    AppModel app;
    TestSupport::TestEditorHost host;
    MainMenu menu;
    QImage image = TestSupport::pageWithText();
    CaptureItem item;
};

// After a click on any control that is not a text field, Space pans the canvas instead of
// drawing, and the tool letters and Delete reach it; a text field keeps the keys until Escape or
// Return hands them back.
TEST_F(ExclusiveEditorByHand, KeysStayWithTheCanvasAfterAnyControl)
{
    EditorWindowController &controller = open();
    EditorModel &model = controller.model();
    auto *canvas = controller.window()->findChild<ImageEditingView *>();
    model.selectTool(MarkupTool::arrow);
    model.add(model.makeAnnotation({UnitPoint(0.1, 0.1), UnitPoint(0.3, 0.3)}));
    const Uuid arrow = model.document().annotations.back().id;
    struct Row {
        QString control;
        std::function<void()> press; // how the person works the control
        Qt::Key letter;
        MarkupTool chosen;
    };
    auto clicks = [&](const QString &name) { return [&, name] { click(controller, find(controller, name)); }; };
    auto slides = [&](const QString &name) {
        return [&, name] {
            StepSlider *slider = find<SliderRow>(controller, name)->slider();
            dragSlider(controller, slider, slider->doubleValue() + 2, [] {});
        };
    };
    const std::vector<Row> rows = {
        {QStringLiteral("zoom +"), clicks(QStringLiteral("editor.zoomIn")), Qt::Key_R, MarkupTool::rectangle},
        {QStringLiteral("fit"), clicks(QStringLiteral("editor.fit")), Qt::Key_A, MarkupTool::arrow},
        {QStringLiteral("weight slider"), slides(QStringLiteral("editor.style.weight")), Qt::Key_P, MarkupTool::pen},
        {QStringLiteral("colour swatch"), clicks(QStringLiteral("editor.style.color.violet")), Qt::Key_E,
         MarkupTool::ellipse},
        {QStringLiteral("backdrop swatch"), clicks(QStringLiteral("editor.style.backdrop.aurora")), Qt::Key_L,
         MarkupTool::line},
        {QStringLiteral("padding slider"), slides(QStringLiteral("editor.style.padding")), Qt::Key_X, MarkupTool::blur},
        {QStringLiteral("ratio menu"),
         [&] {
             click(controller, find(controller, QStringLiteral("editor.style.aspect")));
             QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
             QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
             QTest::qWait(50);
         },
         Qt::Key_U, MarkupTool::roundedRectangle},
        {QStringLiteral("protect tab"), clicks(QStringLiteral("editor.tab1")), Qt::Key_N, MarkupTool::number},
        {QStringLiteral("suggestion card"), clicks(QStringLiteral("editor.privacy.suggestion")), Qt::Key_H,
         MarkupTool::highlight},
        {QStringLiteral("style tab"), clicks(QStringLiteral("editor.tab0")), Qt::Key_C, MarkupTool::crop},
        {QStringLiteral("rail"), clicks(QStringLiteral("editor.rail.pen")), Qt::Key_R, MarkupTool::rectangle},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.control.toStdString());
        row.press();
        const size_t marks = model.document().annotations.size();
        const QPointF pan = canvas->pan();
        spaceDrag(controller, QPoint(40, 24));
        EXPECT_EQ(model.document().annotations.size(), marks) << "Space+drag drew a mark";
        EXPECT_EQ(canvas->pan(), pan + QPointF(40, 24));
        QTest::keyClick(window(controller), row.letter);
        EXPECT_EQ(model.tool(), row.chosen);
    }

    // A layer row selects its mark, and Delete then removes it.
    click(controller, find(controller, QStringLiteral("editor.layer.") + arrow.toQString()));
    QTest::qWait(20);
    ASSERT_EQ(model.selectedAnnotationID(), arrow);
    QTest::keyClick(window(controller), Qt::Key_Delete);
    for (const Annotation &mark : model.document().annotations)
        EXPECT_NE(mark.id, arrow);

    // Text fields keep the keys while typing; Escape or Return hands them back.
    struct Field {
        QString name;
        Qt::Key handBack;
    };
    model.selectTool(MarkupTool::text);
    const std::vector<Field> fields = {{QStringLiteral("editor.title"), Qt::Key_Escape},
                                       {QStringLiteral("editor.style.tags"), Qt::Key_Return},
                                       {QStringLiteral("editor.style.text"), Qt::Key_Return}};
    for (const Field &field : fields) {
        SCOPED_TRACE(field.name.toStdString());
        model.selectTool(MarkupTool::text);
        QWidget *box = find(controller, field.name);
        click(controller, box);
        for (char letter : {'r', 'v'})
            QTest::keyClick(window(controller), letter);
        EXPECT_EQ(model.tool(), MarkupTool::text); // the letters went into the field
        QTest::keyClick(window(controller), field.handBack);
        QTest::keyClick(window(controller), Qt::Key_V);
        EXPECT_EQ(model.tool(), MarkupTool::select);
    }
    EXPECT_TRUE(model.title().endsWith(QStringLiteral("rv")));
    EXPECT_EQ(model.tagsText(), QStringLiteral("rv"));
    EXPECT_TRUE(model.annotationText().endsWith(QStringLiteral("rv")));
}

// The number beside each slider follows the slider while it is dragged and shows the stored
// value after; the panels the drag cannot be seen in are not redrawn for it, and show the
// document as it is when their tab is chosen.
TEST_F(ExclusiveEditorByHand, SliderNumbersFollowTheirSliders)
{
    EditorWindowController &controller = open();
    EditorModel &model = controller.model();
    model.selectTool(MarkupTool::arrow);
    click(controller, find(controller, QStringLiteral("editor.style.backdrop.aurora")));
    struct Row {
        QString name;
        double target;
        std::function<double()> stored;
    };
    const std::vector<Row> rows = {
        {QStringLiteral("editor.style.weight"), 15, [&] { return model.currentStrokeWeight(); }},
        {QStringLiteral("editor.style.padding"), 100, [&] { return model.document().padding; }},
        {QStringLiteral("editor.style.corner"), 30, [&] { return model.document().cornerRadius; }},
    };
    auto *privacy = controller.window()->findChild<PrivacyInspector *>();
    auto *text = controller.window()->findChild<TextInspector *>();
    const int privacyRefreshes = privacy->refreshes();
    const int textRefreshes = text->refreshes();
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name.toStdString());
        auto *sliderRow = find<SliderRow>(controller, row.name);
        const QString before = sliderRow->valueLabel()->text();
        dragSlider(controller, sliderRow->slider(), row.target, [&] {
            EXPECT_NE(sliderRow->valueLabel()->text(), before);
            EXPECT_EQ(sliderRow->valueLabel()->text(), QString::number(sliderRow->slider()->doubleValue()));
        });
        EXPECT_GE(row.stored(), row.target);
        EXPECT_EQ(sliderRow->valueLabel()->text(), QString::number(row.stored()));
    }
    EXPECT_EQ(privacy->refreshes(), privacyRefreshes);
    EXPECT_EQ(text->refreshes(), textRefreshes);

    auto *count = find<QLabel>(controller, QStringLiteral("editor.privacy.blurCount"));
    const QString none = count->text();
    model.add(Annotation::blurring(item.textRegions.front()));
    click(controller, find(controller, QStringLiteral("editor.tab1")));
    EXPECT_NE(count->text(), none);
    EXPECT_TRUE(count->text().contains(QLatin1Char('1')));
}

// The window's sizes are its content's plus the menu bar: the whole editor, footer included,
// is inside the window at the smallest and at the default size.
TEST_F(ExclusiveEditorByHand, TheWindowFitsItsContentWithTheMenuBar)
{
    EditorWindowController &controller = open();
    QWidget *window = controller.window();
    auto *view = window->findChild<EditorView *>();
    QWidget *footer = find(controller, QStringLiteral("editor.footer"));
    struct Size {
        QString name;
        QSize asked;
        QSize content;
    };
    const std::vector<Size> sizes = {
        {QStringLiteral("window-default"), QSize(), EditorWindowController::contentSize},
        {QStringLiteral("window-minimum"), QSize(300, 200), EditorWindowController::minimumContentSize}};
    for (const Size &size : sizes) {
        SCOPED_TRACE(size.name.toStdString());
        if (size.asked.isValid()) {
            window->resize(size.asked);
            ASSERT_TRUE(QTest::qWaitFor([&] { return view->size() == size.content; }, 5000)) << view->height();
        }
        QTest::qWait(50);
        EXPECT_EQ(view->size(), size.content);
        const QRect shown = QRect(footer->mapTo(window, QPoint()), footer->size());
        EXPECT_TRUE(window->rect().contains(shown)) << shown.bottom() << " in " << window->height();
        EXPECT_TRUE(footer->isVisible());
        window->grab().save(shotPath(size.name));
    }
}

// What reads greyed or in its colour: the weight row while the tool has no weight, the kind of
// a suggestion in teal like the panel's other teal lines, "비율" muted like "여백"; the ring's
// degree label has digits of one width.
TEST_F(ExclusiveEditorByHand, GreyedAndColouredTextsRead)
{
    EditorWindowController &controller = open();
    EditorModel &model = controller.model();
    click(controller, find(controller, QStringLiteral("editor.style.backdrop.aurora")));
    auto *weight = find<SliderRow>(controller, QStringLiteral("editor.style.weight"));
    model.selectTool(MarkupTool::arrow);
    const QColor enabled = ink(weight->valueLabel());
    model.selectTool(MarkupTool::text);
    QTest::qWait(20);
    const QColor greyed = ink(weight->valueLabel());
    const QColor back = weight->valueLabel()->grab().toImage().pixelColor(0, 0);
    EXPECT_LT(difference(greyed, back), difference(enabled, back) * 3 / 4) << "the disabled row is not greyed";

    click(controller, find(controller, QStringLiteral("editor.tab0")));
    struct Pair {
        QString what;
        std::function<QWidget *()> label;
        std::function<QWidget *()> like;
        int tab;
    };
    const std::vector<Pair> pairs = {
        {QStringLiteral("ratio like padding"), [&] { return labelReading(controller, QStringLiteral("비율")); },
         [&] { return labelReading(controller, QStringLiteral("여백")); }, 0},
        {QStringLiteral("suggestion kind like the blur count"),
         [&] { return find(controller, QStringLiteral("editor.privacy.suggestion.kinds")); },
         [&] { return find(controller, QStringLiteral("editor.privacy.blurCount")); }, 1},
    };
    for (const Pair &pair : pairs) {
        SCOPED_TRACE(pair.what.toStdString());
        click(controller, find(controller, QStringLiteral("editor.tab%1").arg(pair.tab)));
        QWidget *label = pair.label();
        QWidget *like = pair.like();
        ASSERT_TRUE(label && like);
        EXPECT_LE(difference(ink(label), ink(like)), 30)
            << ink(label).name().toStdString() << " vs " << ink(like).name().toStdString();
    }

    const QFontMetricsF digits(CanvasPainter::degreeLabelFont());
    for (char digit = '1'; digit <= '9'; ++digit)
        EXPECT_EQ(digits.horizontalAdvance(QChar::fromLatin1(digit)), digits.horizontalAdvance(QLatin1Char('0')))
            << digit;
}

// The rail written at 1x and 2x for looking at: every entry draws a symbol, each its own.
TEST_F(ExclusiveEditorByHand, RailSymbolsAtOneAndTwoTimes)
{
    EditorWindowController &controller = open();
    QWidget *rail = find(controller, QStringLiteral("editor.rail"));
    for (const int ratio : {1, 2}) {
        QImage picture(rail->size() * ratio, QImage::Format_ARGB32_Premultiplied);
        picture.setDevicePixelRatio(ratio);
        picture.fill(Qt::black);
        rail->render(&picture);
        picture.save(shotPath(QStringLiteral("rail-%1x").arg(ratio)));
    }
    std::vector<QImage> faces;
    for (QAbstractButton *button : rail->findChildren<QAbstractButton *>(Qt::FindDirectChildrenOnly)) {
        QImage face(button->size() * 2, QImage::Format_ARGB32_Premultiplied);
        face.setDevicePixelRatio(2);
        face.fill(Qt::black);
        const QImage blank = face;
        button->render(&face);
        EXPECT_NE(face, blank) << button->objectName().toStdString();
        for (const QImage &other : faces)
            EXPECT_NE(face, other) << button->objectName().toStdString() << " looks like another entry";
        faces.push_back(face);
    }
    EXPECT_EQ(faces.size(), std::size(EditorView::railTools));
}

} // namespace
} // namespace tarn
