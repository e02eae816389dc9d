// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// An editor canvas on the test desktop: a real window of 1000 x 800 showing a 1600 x 900
// capture of a real editor model, and pointer, wheel and key events sent to it as the window
// system delivers them, at positions computed from the canvas's own geometry.

#include <cmath>
#include <memory>
#include <numbers>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTest>
#include <QWheelEvent>

#include "EditorFixture.h"
#include "app/editor/EditorCanvas.h"
#include "app/editor/ImageEditingView.h"
#include "support/RenderFixtures.h"

namespace tarn::TestSupport {

class CanvasFixture : public EditorFixture {
protected:
    void SetUp() override
    {
        model = makeModel(item, RenderFixtures::capture(1600, 900, false));
        canvas = std::make_unique<EditorCanvas>(*model);
        canvas->resize(1000, 800);
        canvas->show();
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
    const std::vector<Annotation> &marks() const { return model->document().annotations; }

    void mouse(QEvent::Type type, QPointF point, Qt::MouseButtons held, Qt::KeyboardModifiers modifiers = {})
    {
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, point, view->mapToGlobal(point), button, held, modifiers);
        QApplication::sendEvent(view, &event);
    }
    void press(QPointF p, Qt::KeyboardModifiers m = {}) { mouse(QEvent::MouseButtonPress, p, Qt::LeftButton, m); }
    void move(QPointF p, Qt::KeyboardModifiers m = {}) { mouse(QEvent::MouseMove, p, Qt::LeftButton, m); }
    void release(QPointF p, Qt::KeyboardModifiers m = {}) { mouse(QEvent::MouseButtonRelease, p, Qt::NoButton, m); }
    void hover(QPointF p) { mouse(QEvent::MouseMove, p, Qt::NoButton); }
    void click(QPointF p) { press(p), release(p); }
    // A press, eight moves along the way and a release.
    void drag(QPointF from, QPointF to)
    {
        press(from);
        for (int i = 1; i <= 8; ++i)
            move(from + (to - from) * (i / 8.0));
        release(to);
    }
    void key(int code, const QString &text, Qt::KeyboardModifiers m = {})
    {
        QKeyEvent down(QEvent::KeyPress, code, m, text), up(QEvent::KeyRelease, code, m, text);
        QApplication::sendEvent(view, &down);
        QApplication::sendEvent(view, &up);
    }
    void scroll(QPoint pixels, QPoint angle)
    {
        QWheelEvent event(QPointF(500, 400), view->mapToGlobal(QPointF(500, 400)), pixels, angle, Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view, &event);
    }
    // The point of the selected badge's ring at which a turn from its handle at 0 degrees
    // reads `degrees`.
    QPointF onRing(double degrees) const
    {
        const auto ring = view->geometry().badgeRotationGeometry();
        const double theta = (degrees + 180) * std::numbers::pi / 180;
        return ring->center() + ring->radius() * QPointF(std::cos(theta), std::sin(theta));
    }

    std::unique_ptr<EditorModel> model;
    std::unique_ptr<EditorCanvas> canvas;
    ImageEditingView *view = nullptr;
};

} // namespace tarn::TestSupport
