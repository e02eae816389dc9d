// SPDX-License-Identifier: GPL-3.0-or-later
#include <QLineEdit>
#include <QNativeGestureEvent>
#include <QPointingDevice>

#include "CanvasFixture.h"

namespace tarn::TestSupport {
namespace {

// Exclusive: pointer, key and focus events on an active window.
class ExclusiveImageEditingView : public CanvasFixture {
protected:
    // A badge at the image's centre, added with the badge tool and therefore selected.
    void addSelectedBadge()
    {
        model->selectTool(MarkupTool::badge);
        click(at(0.5, 0.5));
        ASSERT_EQ(model->selectedAnnotationID(), marks().back().id);
    }
    std::optional<double> rotation() const { return marks().back().badgeRotation; }
    void pinch(double value)
    {
        QNativeGestureEvent event(Qt::ZoomNativeGesture, QPointingDevice::primaryPointingDevice(), 2, QPointF(500, 400),
                                  QPointF(500, 400), view->mapToGlobal(QPointF(500, 400)), value, QPointF());
        QApplication::sendEvent(view, &event);
    }
};

// Each tool's size rule; s converts source pixels to view points.
TEST_F(ExclusiveImageEditingView, DrawingToolsKeepTheirSizeThresholds)
{
    const double s = scale();
    const QPointF p = at(0.3, 0.4);
    const std::tuple<MarkupTool, QPointF, size_t> cases[] = {
        {MarkupTool::rectangle, p, 0}, // a plain click adds no shape
        {MarkupTool::arrow, p + QPointF(1.9 * s, 1.9 * s), 0},
        {MarkupTool::arrow, p + QPointF(0, 2.1 * s), 1},
        {MarkupTool::rectangle, p + QPointF(2.1 * s, 0.5 * s), 1},
        {MarkupTool::text, p, 1},
        {MarkupTool::number, p, 1},
        {MarkupTool::badge, at(0.7, 0.4), 1},
        {MarkupTool::pen, p, 1}, // a pen stroke is always kept
        {MarkupTool::crop, p + QPointF(3.9 * s, 40 * s), 0},
    };
    for (const auto &[tool, to, added] : cases) {
        const size_t before = marks().size();
        model->selectTool(tool);
        drag(p, to);
        ASSERT_EQ(marks().size(), before + added) << int(tool);
        EXPECT_TRUE(!added || marks().back().tool == tool);
    }
    EXPECT_FALSE(model->document().crop);
    EXPECT_EQ(marks()[2].points, std::vector<UnitPoint>(2, marks()[2].points[0])); // text: the click twice
    // Presses off the image start nothing.
    model->selectTool(MarkupTool::arrow);
    drag(QPointF(20, 20), at(0.5, 0.5));
    drag(at(0, 0) - QPointF(1, 1), at(0.5, 0.5));
    EXPECT_EQ(marks().size(), 6u);

    model->selectTool(MarkupTool::rectangle); // a square stops at the right edge, 160 pixels away
    drag(at(0.9, 0.2), at(1.2, 0.8));
    EXPECT_NEAR(marks().back().rect().scaled(QSizeF(1600, 900)).height(), 160, 1e-6);
    model->selectTool(MarkupTool::pen);
    press(p);
    for (double x : {0.5, 1.0, 1.4, 1.6, 2.0, 2.5, 3.0}) // a point after moves over 1.5 view points
        move(p + QPointF(x, 0));
    release(p + QPointF(3, 0));
    EXPECT_EQ(marks().back().points.size(), 3u);
}

TEST_F(ExclusiveImageEditingView, CropOfFourPixelsSelectsResetsZoomAndRecentres)
{
    model->selectTool(MarkupTool::crop);
    scroll({30, -20}, {});
    model->setZoom(2);
    drag(at(0.2, 0.2), at(0.6, 0.7));
    ASSERT_TRUE(model->document().crop);
    EXPECT_NEAR(model->document().crop->height, 0.5, 1e-6);
    EXPECT_EQ(model->tool(), MarkupTool::select);
    EXPECT_EQ(model->zoom(), 1);
    EXPECT_EQ(view->pan(), QPointF(0, 0));
}

TEST_F(ExclusiveImageEditingView, HandleTurnsInOneStepShiftSnapsAndEscapeLeavesNoTrace)
{
    addSelectedBadge();
    const int depth = undoDepth(*model);
    press(onRing(0)); // the handle of a badge without rotation
    move(onRing(60));
    key(Qt::Key_Escape, QStringLiteral("\x1b"));
    release(onRing(60));
    EXPECT_EQ(rotation(), std::nullopt);
    EXPECT_EQ(model->badgeRotation(), 0);

    press(onRing(0));
    move(onRing(225));
    EXPECT_EQ(rotation(), 225);
    move(onRing(270));
    release(onRing(270));
    EXPECT_EQ(rotation(), 270);
    EXPECT_EQ(undoDepth(*model), depth + 1);
    press(onRing(270));
    move(onRing(311), Qt::ShiftModifier);
    release(onRing(311), Qt::ShiftModifier);
    EXPECT_EQ(rotation(), 315);

    const EditDocument before = model->document();
    press(onRing(315));
    move(onRing(100));
    key(Qt::Key_Escape, QStringLiteral("\x1b"));
    EXPECT_FALSE(view->isRotatingBadge());
    EXPECT_EQ(model->document(), before);
    EXPECT_EQ(model->badgeRotation(), 315);
    EXPECT_EQ(undoDepth(*model), depth + 2);
}

TEST_F(ExclusiveImageEditingView, RingPressTurnsAtOnceIgnoresOtherInputAndFocusLossCommits)
{
    addSelectedBadge();
    const int depth = undoDepth(*model);
    press(onRing(90));
    EXPECT_EQ(rotation(), 90);
    scroll({}, {0, 120});
    pinch(0.5);
    key(Qt::Key_R, QStringLiteral("r"));
    EXPECT_EQ(view->pan(), QPointF(0, 0));
    EXPECT_EQ(model->zoom(), 1);
    EXPECT_EQ(model->tool(), MarkupTool::badge);
    move(onRing(120));
    QLineEdit elsewhere(canvas.get());
    elsewhere.show();
    elsewhere.setFocus();
    EXPECT_FALSE(view->isRotatingBadge());
    release(onRing(150));
    EXPECT_EQ(rotation(), 120);
    EXPECT_EQ(undoDepth(*model), depth + 1);
}

TEST_F(ExclusiveImageEditingView, SpacePansOverTheHandleAndIsForgottenWhenFocusOrWindowGoes)
{
    addSelectedBadge();
    const EditDocument before = model->document();
    const QPointF handle = onRing(0);
    hover(handle);
    EXPECT_EQ(view->cursor().shape(), Qt::PointingHandCursor);
    QTest::keyPress(view, Qt::Key_Space);
    EXPECT_EQ(view->cursor().shape(), Qt::OpenHandCursor);
    press(handle);
    move(handle + QPointF(40, 25));
    QTest::keyRelease(view, Qt::Key_Space); // the pan goes on until the button is released
    move(handle + QPointF(50, 25));
    release(handle + QPointF(50, 25));
    EXPECT_EQ(view->pan(), QPointF(50, 25));
    EXPECT_EQ(model->document(), before);

    QTest::keyPress(view, Qt::Key_Space);
    QLineEdit elsewhere(canvas.get());
    elsewhere.show();
    elsewhere.setFocus();
    EXPECT_FALSE(view->spaceHeld());
    model->selectTool(MarkupTool::arrow);
    drag(at(0.1, 0.1), at(0.3, 0.3));
    EXPECT_EQ(marks().back().tool, MarkupTool::arrow);

    view->setFocus();
    QTest::keyPress(view, Qt::Key_Space);
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    EXPECT_FALSE(view->spaceHeld());
}

TEST_F(ExclusiveImageEditingView, PinchStopsAtItsBoundsScrollPansAndFitRecentres)
{
    for (double step : {0.5, 0.5, 0.5, 0.5, 0.5})
        pinch(step);
    EXPECT_EQ(canvas->zoom(), 5);
    for (double step : {-0.7, -0.7, -0.7, -0.7})
        pinch(step);
    EXPECT_EQ(model->zoom(), 0.2);
    scroll({}, {0, 120});
    scroll({3, -4}, {0, 120});
    model->setZoom(2); // zooming alone keeps the pan
    EXPECT_EQ(view->pan(), QPointF(3, 41));
    canvas->fit();
    EXPECT_EQ(view->pan(), QPointF(0, 0));
    EXPECT_EQ(model->zoom(), 1);
}

TEST_F(ExclusiveImageEditingView, KeysDeleteTheSelectionChooseToolsAndDropADraft)
{
    model->selectTool(MarkupTool::text);
    click(at(0.2, 0.2));
    click(at(0.4, 0.4));
    key(Qt::Key_Delete, QStringLiteral("\x7f"));
    const int depth = undoDepth(*model);
    key(Qt::Key_Backspace, QStringLiteral("\b")); // nothing selected: nothing happens
    EXPECT_EQ(undoDepth(*model), depth);
    model->setSelectedAnnotationID(marks().back().id);
    key(Qt::Key_Backspace, QStringLiteral("\b"));
    EXPECT_TRUE(marks().empty());

    QTest::keyClick(view, Qt::Key_R); // through the window system, with the text it makes
    EXPECT_EQ(model->tool(), MarkupTool::rectangle);
    QTest::keyClick(view, Qt::Key_E, Qt::ShiftModifier);
    QTest::keyClick(view, Qt::Key_P, Qt::ControlModifier);
    QTest::keyClick(view, Qt::Key_Left);
    EXPECT_EQ(model->tool(), MarkupTool::ellipse);
    EXPECT_EQ(canvas->toolLabel(), QStringLiteral("원"));
    key(Qt::Key_B, QStringLiteral("ㅠ")); // a Korean layout's letter on the B key
    EXPECT_EQ(canvas->hint(), QStringLiteral("클릭하여 배지 추가 · 기존 배지 클릭 후 회전"));

    model->selectTool(MarkupTool::arrow);
    press(at(0.1, 0.1));
    move(at(0.3, 0.3));
    key(Qt::Key_Escape, QStringLiteral("\x1b"));
    move(at(0.4, 0.4));
    release(at(0.4, 0.4));
    EXPECT_TRUE(marks().empty());
}

} // namespace
} // namespace tarn::TestSupport
