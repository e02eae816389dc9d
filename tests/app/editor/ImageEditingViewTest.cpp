// SPDX-License-Identifier: GPL-3.0-or-later
#include <QLineEdit>
#include <QNativeGestureEvent>
#include <QPointingDevice>
#include <QWheelEvent>

#include "CanvasFixture.h"

namespace tarn::test {
namespace {

class ImageEditingViewTest : public CanvasFixture {
protected:
    // A badge at the image's centre, added with the badge tool and therefore selected.
    Uuid addSelectedBadge()
    {
        model->selectTool(MarkupTool::badge);
        press(at(0.5, 0.5));
        release(at(0.5, 0.5));
        EXPECT_EQ(marks().back().tool, MarkupTool::badge);
        EXPECT_EQ(model->selectedAnnotationID(), marks().back().id);
        return marks().back().id;
    }
    std::optional<double> rotation() const { return marks().back().badgeRotation; }
    void pinch(double value)
    {
        QNativeGestureEvent event(Qt::ZoomNativeGesture, QPointingDevice::primaryPointingDevice(), 2, QPointF(500, 400),
                                  QPointF(500, 400), view->mapToGlobal(QPointF(500, 400)), value, QPointF());
        QApplication::sendEvent(view, &event);
    }
    void wheel(QPoint pixels, QPoint angle)
    {
        QWheelEvent event(QPointF(500, 400), view->mapToGlobal(QPointF(500, 400)), pixels, angle, Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view, &event);
    }
};

// Each tool's size rule at the press and the release; s converts source pixels to view points.
TEST_F(ImageEditingViewTest, DrawingToolsKeepTheirSizeThresholds)
{
    const double s = scale();
    const QPointF p = at(0.3, 0.4);
    const struct {
        MarkupTool tool;
        QPointF to;
        size_t added;
        const char *what;
    } cases[] = {
        {MarkupTool::rectangle, p, 0, "a plain click adds no shape"},
        {MarkupTool::arrow, p + QPointF(1.9 * s, 1.9 * s), 0, "under 2 pixels each way"},
        {MarkupTool::arrow, p + QPointF(0, 2.1 * s), 1, "2 pixels high is enough"},
        {MarkupTool::rectangle, p + QPointF(2.1 * s, 0.5 * s), 1, "a square of 2.1 pixels"},
        {MarkupTool::text, p, 1, "text is added by a click"},
        {MarkupTool::number, p, 1, "a number is added by a click"},
        {MarkupTool::badge, at(0.7, 0.4), 1, "a badge is added by a click"},
        {MarkupTool::pen, p, 1, "a pen stroke is always kept"},
    };
    for (const auto &c : cases) {
        const size_t before = marks().size();
        model->selectTool(c.tool);
        drag(p, c.to);
        ASSERT_EQ(marks().size(), before + c.added) << c.what;
        if (c.added)
            EXPECT_EQ(marks().back().tool, c.tool) << c.what;
    }
    // The marks added by a click hold the clicked point twice.
    const Annotation &text = marks()[2];
    ASSERT_EQ(text.points.size(), 2u);
    EXPECT_EQ(text.points[0], text.points[1]);
    EXPECT_NEAR(text.points[0].x, 0.3, 1e-9);
    // A press on the padding round the image or outside it starts nothing.
    model->selectTool(MarkupTool::arrow);
    const size_t before = marks().size();
    drag(QPointF(20, 20), at(0.5, 0.5));
    drag(at(0, 0) - QPointF(1, 1), at(0.5, 0.5));
    EXPECT_EQ(marks().size(), before);
}

TEST_F(ImageEditingViewTest, SquaresStopAtTheImageEdgeAndPenStrokesSkipTinyMoves)
{
    model->selectTool(MarkupTool::rectangle);
    drag(at(0.9, 0.2), at(1.2, 0.8)); // 0.6 of the height down, but only 160 pixels to the right
    const QRectF square = marks().back().rect().scaled(QSizeF(1600, 900));
    EXPECT_NEAR(square.width(), 160, 1e-6);
    EXPECT_NEAR(square.height(), 160, 1e-6);
    model->selectTool(MarkupTool::roundedRectangle);
    drag(at(0.1, 0.1), at(0.3, 0.6));
    EXPECT_NEAR(marks().back().points.back().y, 0.6, 1e-6);

    model->selectTool(MarkupTool::pen);
    const QPointF start = at(0.5, 0.5);
    press(start);
    for (double x : {0.5, 1.0, 1.4})
        move(start + QPointF(x, 0)); // within 1.5 view points of the last point
    EXPECT_EQ(view->draft()->points.size(), 2u);
    move(start + QPointF(1.6, 0));
    EXPECT_EQ(view->draft()->points.size(), 3u);
    for (double x : {2.0, 2.5, 3.0})
        move(start + QPointF(x, 0));
    release(start + QPointF(3.0, 0));
    EXPECT_EQ(marks().back().points.size(), 3u);
}

TEST_F(ImageEditingViewTest, CropsNeedFourByFourPixelsThenSelectAndRecentre)
{
    const double s = scale();
    model->selectTool(MarkupTool::crop);
    drag(at(0.2, 0.2), at(0.2, 0.2) + QPointF(3.9 * s, 40 * s));
    EXPECT_FALSE(model->document().crop);
    EXPECT_FALSE(view->draft());

    wheel({30, -20}, {});
    model->setZoom(2);
    drag(at(0.2, 0.2), at(0.6, 0.7));
    ASSERT_TRUE(model->document().crop);
    EXPECT_NEAR(model->document().crop->x, 0.2, 1e-6);
    EXPECT_NEAR(model->document().crop->height, 0.5, 1e-6);
    EXPECT_EQ(model->tool(), MarkupTool::select);
    EXPECT_EQ(model->zoom(), 1);
    EXPECT_EQ(view->pan(), QPointF(0, 0));
}

TEST_F(ImageEditingViewTest, BadgeRotatesByItsHandleInOneUndoStepSnapsWithShiftAndEscapeLeavesNoTrace)
{
    addSelectedBadge();
    const int depth = undoDepth(*model);

    press(onRing(0));
    EXPECT_TRUE(view->isRotatingBadge());
    move(onRing(225));
    EXPECT_EQ(rotation(), 225);
    move(onRing(270));
    release(onRing(270));
    EXPECT_EQ(rotation(), 270);
    EXPECT_EQ(undoDepth(*model), depth + 1);
    EXPECT_FALSE(view->isRotatingBadge());

    // From the handle now at 270; 41 degrees further with Shift snaps to 315.
    press(onRing(270));
    move(onRing(311), Qt::ShiftModifier);
    release(onRing(311), Qt::ShiftModifier);
    EXPECT_EQ(rotation(), 315);
    EXPECT_EQ(undoDepth(*model), depth + 2);

    // Escape puts the document and the default rotation back, with no step.
    const EditDocument before = model->document();
    const double defaultRotation = model->badgeRotation();
    press(onRing(315));
    move(onRing(100));
    EXPECT_EQ(rotation(), 100);
    key(Qt::Key_Escape, QStringLiteral("\x1b"));
    EXPECT_FALSE(view->isRotatingBadge());
    release(onRing(100));
    EXPECT_EQ(model->document(), before);
    EXPECT_EQ(model->badgeRotation(), defaultRotation);
    EXPECT_EQ(undoDepth(*model), depth + 2);

    model->undo();
    model->undo();
    EXPECT_EQ(rotation(), std::nullopt);
}

TEST_F(ImageEditingViewTest, EscapeRestoresABadgeThatHadNoRotation)
{
    addSelectedBadge();
    const int depth = undoDepth(*model);
    press(onRing(0));
    move(onRing(60));
    EXPECT_EQ(rotation(), 60);
    key(Qt::Key_Escape, QStringLiteral("\x1b"));
    EXPECT_EQ(rotation(), std::nullopt);
    EXPECT_EQ(model->badgeRotation(), 0);
    EXPECT_EQ(undoDepth(*model), depth);
}

TEST_F(ImageEditingViewTest, RingPressTurnsAtOnceAndFocusLossCommits)
{
    const Uuid badge = addSelectedBadge();
    const int depth = undoDepth(*model);
    press(onRing(90));
    EXPECT_EQ(rotation(), 90); // before any move
    // Scrolling, pinching and keys do nothing while the badge turns.
    const QPointF pan = view->pan();
    wheel({0, 40}, {});
    pinch(0.5);
    key(Qt::Key_R, QStringLiteral("r"));
    EXPECT_EQ(view->pan(), pan);
    EXPECT_EQ(model->zoom(), 1);
    EXPECT_EQ(model->tool(), MarkupTool::badge);

    move(onRing(120));
    QLineEdit elsewhere(canvas.get());
    elsewhere.show();
    elsewhere.setFocus();
    QApplication::processEvents();
    EXPECT_FALSE(view->isRotatingBadge());
    EXPECT_EQ(rotation(), 120);
    EXPECT_EQ(undoDepth(*model), depth + 1);
    release(onRing(150)); // the gesture is over: nothing more happens
    EXPECT_EQ(rotation(), 120);
    EXPECT_EQ(model->selectedAnnotationID(), badge);
}

TEST_F(ImageEditingViewTest, SpacePansOverTheHandleWithoutTurningAndIsForgottenWhenFocusLeaves)
{
    addSelectedBadge();
    const EditDocument before = model->document();
    hover(onRing(0) + QPointF(0, 300));
    EXPECT_EQ(view->cursor().shape(), Qt::CrossCursor);
    hover(onRing(0));
    EXPECT_EQ(view->cursor().shape(), Qt::PointingHandCursor);
    QTest::keyPress(view, Qt::Key_Space);
    EXPECT_TRUE(view->spaceHeld());
    EXPECT_EQ(view->cursor().shape(), Qt::OpenHandCursor);
    drag(onRing(0), onRing(0) + QPointF(40, 25));
    EXPECT_EQ(view->pan(), QPointF(40, 25));
    EXPECT_EQ(model->document(), before);
    // Releasing space during a pan lets the pan go on until the button is released.
    press(QPointF(500, 400));
    QTest::keyRelease(view, Qt::Key_Space);
    move(QPointF(510, 400));
    release(QPointF(510, 400));
    EXPECT_EQ(view->pan(), QPointF(50, 25));

    // Space held while the focus leaves: the next press draws again.
    QTest::keyPress(view, Qt::Key_Space);
    QLineEdit elsewhere(canvas.get());
    elsewhere.show();
    elsewhere.setFocus();
    QApplication::processEvents();
    EXPECT_FALSE(view->spaceHeld());
    model->selectTool(MarkupTool::arrow);
    drag(at(0.1, 0.1), at(0.3, 0.3));
    EXPECT_EQ(marks().back().tool, MarkupTool::arrow);
    EXPECT_EQ(view->pan(), QPointF(50, 25));

    // And while another window becomes active.
    view->setFocus();
    QTest::keyPress(view, Qt::Key_Space);
    ASSERT_TRUE(view->spaceHeld());
    QWidget other;
    other.resize(200, 200);
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    EXPECT_FALSE(view->spaceHeld());
}

TEST_F(ImageEditingViewTest, SelectToolSelectsAndPansAndTheBadgeToolSelectsBadges)
{
    model->selectTool(MarkupTool::text);
    press(at(0.2, 0.2));
    release(at(0.2, 0.2));
    const Uuid text = marks().back().id;
    addSelectedBadge();
    const Uuid badge = marks().back().id;
    model->setSelectedAnnotationID(std::nullopt);

    // With the badge tool a click on a badge selects it; on a text mark it adds a badge.
    press(at(0.5, 0.5));
    release(at(0.5, 0.5));
    EXPECT_EQ(model->selectedAnnotationID(), badge);
    EXPECT_EQ(marks().size(), 2u);
    press(at(0.2, 0.2));
    release(at(0.2, 0.2));
    EXPECT_EQ(marks().size(), 3u);

    model->selectTool(MarkupTool::select);
    drag(at(0.2, 0.2), at(0.2, 0.2) + QPointF(-30, 12));
    EXPECT_EQ(view->pan(), QPointF(-30, 12));
    const Uuid topmost = marks().back().id; // the badge added over the text mark
    EXPECT_EQ(model->selectedAnnotationID(), topmost);
    EXPECT_NE(topmost, text);
    press(QPointF(10, 10));
    release(QPointF(10, 10));
    EXPECT_EQ(model->selectedAnnotationID(), std::nullopt);
}

TEST_F(ImageEditingViewTest, PinchZoomStopsAtItsBoundsScrollPansAndFitRecentres)
{
    for (int i = 0; i < 6; ++i)
        pinch(0.5);
    EXPECT_EQ(model->zoom(), 5);
    EXPECT_EQ(canvas->zoom(), 5);
    for (int i = 0; i < 6; ++i)
        pinch(-0.7);
    EXPECT_EQ(model->zoom(), 0.2);
    pinch(1.5);
    EXPECT_NEAR(model->zoom(), 0.5, 1e-12);

    wheel({}, {0, 120});
    wheel({3, -4}, {0, 120});
    EXPECT_EQ(view->pan(), QPointF(3, 45 - 4));
    model->setZoom(2); // zooming alone keeps the pan
    QApplication::processEvents();
    EXPECT_EQ(view->pan(), QPointF(3, 41));
    canvas->fit();
    EXPECT_EQ(view->pan(), QPointF(0, 0));
    EXPECT_EQ(model->zoom(), 1);
}

TEST_F(ImageEditingViewTest, KeysDeleteSelectionAndChooseToolsByLetter)
{
    model->selectTool(MarkupTool::text);
    press(at(0.2, 0.2));
    release(at(0.2, 0.2));
    press(at(0.4, 0.4));
    release(at(0.4, 0.4));
    ASSERT_EQ(marks().size(), 2u);
    key(Qt::Key_Delete, QStringLiteral("\x7f"));
    EXPECT_EQ(marks().size(), 1u);
    const int depth = undoDepth(*model);
    key(Qt::Key_Backspace, QStringLiteral("\b")); // nothing selected
    EXPECT_EQ(undoDepth(*model), depth);
    model->setSelectedAnnotationID(marks().back().id);
    key(Qt::Key_Backspace, QStringLiteral("\b"));
    EXPECT_TRUE(marks().empty());

    const struct {
        int code;
        QString text;
        Qt::KeyboardModifiers modifiers;
        MarkupTool expected;
    } letters[] = {
        {Qt::Key_R, QStringLiteral("r"), Qt::NoModifier, MarkupTool::rectangle},
        {Qt::Key_E, QStringLiteral("E"), Qt::ShiftModifier, MarkupTool::ellipse},
        {Qt::Key_P, QStringLiteral("p"), Qt::ControlModifier, MarkupTool::ellipse},
        {Qt::Key_Left, QString(), Qt::NoModifier, MarkupTool::ellipse},
        {Qt::Key_B, QStringLiteral("ㅠ"), Qt::NoModifier, MarkupTool::badge},
    };
    for (const auto &l : letters) {
        key(l.code, l.text, l.modifiers);
        EXPECT_EQ(model->tool(), l.expected) << l.code;
    }
    // Through the window system: QTest makes the text from the key.
    QTest::keyClick(view, Qt::Key_H, Qt::ShiftModifier);
    EXPECT_EQ(model->tool(), MarkupTool::highlight);
    EXPECT_EQ(canvas->toolLabel(), QStringLiteral("하이라이트"));

    // Escape during a drag drops the mark; the rest of the drag does nothing.
    model->selectTool(MarkupTool::arrow);
    press(at(0.1, 0.1));
    move(at(0.3, 0.3));
    ASSERT_TRUE(view->draft());
    key(Qt::Key_Escape, QStringLiteral("\x1b"));
    move(at(0.4, 0.4));
    release(at(0.4, 0.4));
    EXPECT_TRUE(marks().empty());
}

TEST_F(ImageEditingViewTest, HintFollowsToolAndBadgeSelection)
{
    QStringList hints;
    QObject::connect(canvas.get(), &EditorCanvas::hintChanged, [&](const QString &hint) { hints << hint; });
    model->selectTool(MarkupTool::badge);
    addSelectedBadge();
    model->selectTool(MarkupTool::select);
    ASSERT_EQ(hints.size(), 3);
    EXPECT_EQ(hints[0], QStringLiteral("클릭하여 배지 추가 · 기존 배지 클릭 후 회전"));
    EXPECT_TRUE(hints[1].startsWith(QStringLiteral("파란 점 드래그 회전")));
    EXPECT_EQ(hints[2], canvas->hint());
}

} // namespace
} // namespace tarn::test
