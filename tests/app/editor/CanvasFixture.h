// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// An editor canvas on the test desktop: a real window of 1000 x 800 showing a 1600 x 900
// capture of a real editor model, and pointer and key events sent to it the way the window
// system delivers them, at positions computed from the canvas's own geometry.

#include <cmath>
#include <memory>
#include <numbers>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTest>

#include "EditorFixture.h"
#include "app/editor/EditorCanvas.h"
#include "app/editor/ImageEditingView.h"
#include "support/RenderFixtures.h"

namespace tarn::test {

class CanvasFixture : public EditorFixture {
protected:
    void SetUp() override
    {
        model = makeModel(item, fixtures::capture(1600, 900, false));
        canvas = std::make_unique<EditorCanvas>(*model);
        canvas->resize(1000, 800);
        canvas->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(canvas.get()));
        canvas->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(canvas.get()));
        view = canvas->view();
        view->setFocus();
        ASSERT_EQ(view->size(), QSize(1000, 800));
    }

    // The view point over a unit point of the source image.
    QPointF at(double ux, double uy) const
    {
        const CanvasGeometry g = view->geometry();
        return g.viewPoint(UnitPoint(ux, uy).scaled(g.layout().sourceSize()));
    }
    double scale() const { return view->geometry().scale(); }

    void mouse(QEvent::Type type, QPointF point, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, point, view->mapToGlobal(point), button, held, modifiers);
        QApplication::sendEvent(view, &event);
    }
    // A pointer move without a button.
    void hover(QPointF point)
    {
        QMouseEvent event(QEvent::MouseMove, point, view->mapToGlobal(point), Qt::NoButton, Qt::NoButton,
                          Qt::NoModifier);
        QApplication::sendEvent(view, &event);
    }
    void press(QPointF p, Qt::KeyboardModifiers m = Qt::NoModifier) { mouse(QEvent::MouseButtonPress, p, m); }
    void move(QPointF p, Qt::KeyboardModifiers m = Qt::NoModifier) { mouse(QEvent::MouseMove, p, m); }
    void release(QPointF p, Qt::KeyboardModifiers m = Qt::NoModifier) { mouse(QEvent::MouseButtonRelease, p, m); }
    // A press, eight moves along the way and a release.
    void drag(QPointF from, QPointF to, Qt::KeyboardModifiers m = Qt::NoModifier)
    {
        press(from, m);
        for (int i = 1; i <= 8; ++i)
            move(from + (to - from) * (i / 8.0), m);
        release(to, m);
    }
    void key(int code, const QString &text, Qt::KeyboardModifiers m = Qt::NoModifier)
    {
        QKeyEvent down(QEvent::KeyPress, code, m, text);
        QApplication::sendEvent(view, &down);
        QKeyEvent up(QEvent::KeyRelease, code, m, text);
        QApplication::sendEvent(view, &up);
    }

    // The point of the selected badge's ring at which a turn from its handle at 0 degrees
    // reads `degrees`.
    QPointF onRing(double degrees) const
    {
        const auto ring = view->geometry().badgeRotationGeometry();
        const double theta = (degrees + 180) * std::numbers::pi / 180;
        return ring->center() + ring->radius() * QPointF(std::cos(theta), std::sin(theta));
    }

    const std::vector<Annotation> &marks() const { return model->document().annotations; }

    std::unique_ptr<EditorModel> model;
    std::unique_ptr<EditorCanvas> canvas;
    ImageEditingView *view = nullptr;
};

} // namespace tarn::test
