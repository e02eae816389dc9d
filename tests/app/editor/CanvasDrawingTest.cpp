// SPDX-License-Identifier: GPL-3.0-or-later
#include <cmath>
#include <stdexcept>

#include <QPainter>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "CanvasFixture.h"
#include "app/editor/CanvasPainter.h"
#include "core/render/RasterRenderer.h"

namespace tarn::test {
namespace {

const QColor backdrop = QColor::fromRgbF(0.065f, 0.085f, 0.115f);
const QColor marquee = QColor::fromRgbF(0.8f, 0.98f, 0.63f);
const QColor accent = QColor::fromRgbF(0.26f, 0.72f, 1);
const QColor plate = QColor::fromRgbF(0.15f, 0.18f, 0.2f);

int distance(const QColor &a, const QColor &b)
{
    return std::max({std::abs(a.red() - b.red()), std::abs(a.green() - b.green()), std::abs(a.blue() - b.blue())});
}

class CanvasDrawingTest : public CanvasFixture {
protected:
    // The canvas as its window shows it (ratio 1), or as the window is painted for a screen of
    // twice the density (ratio 2).
    QImage frame(double ratio) const
    {
        QWidget *window = view->window();
        const QRect inWindow(view->mapTo(window, QPoint(0, 0)), view->size());
        QImage image(window->size() * ratio, QImage::Format_ARGB32_Premultiplied);
        if (ratio == 1) {
            image = window->grab().toImage();
        } else {
            image.setDevicePixelRatio(ratio);
            image.fill(Qt::transparent);
            window->render(&image);
        }
        QImage shown = image.copy(QRect(inWindow.topLeft() * ratio, inWindow.size() * ratio));
        shown.setDevicePixelRatio(ratio);
        return shown;
    }
    static QColor pixel(const QImage &image, QPointF logical)
    {
        const QPointF device = logical * image.devicePixelRatio();
        return image.pixelColor(int(std::floor(device.x())), int(std::floor(device.y())));
    }
    // The pixel nearest in colour to `colour` within one view point of a logical position: a
    // line one or two points wide covers whole pixels at ratio 2, parts of two at ratio 1.
    static int nearest(const QImage &image, QPointF logical, const QColor &colour)
    {
        int best = 255;
        for (double dy : {-1.0, 0.0, 1.0})
            for (double dx : {-1.0, 0.0, 1.0})
                best = std::min(best, distance(pixel(image, logical + QPointF(dx, dy)), colour));
        return best;
    }
    void scroll(QPoint pixels)
    {
        QWheelEvent event(QPointF(10, 10), view->mapToGlobal(QPointF(10, 10)), pixels, {}, Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(view, &event);
    }
};

TEST_F(CanvasDrawingTest, BackdropDotsAndMarqueeAtBothPixelRatiosAndZooms)
{
    model->selectTool(MarkupTool::crop);
    for (double zoom : {1.0, 3.0}) {
        model->setZoom(zoom);
        const QImage before[] = {frame(1), frame(2)};
        const QPointF corner = at(0.45, 0.45);
        press(corner);
        move(at(0.55, 0.6));
        for (const QImage &reference : before) {
            const double ratio = reference.devicePixelRatio();
            SCOPED_TRACE(testing::Message() << "zoom " << zoom << " ratio " << ratio);
            const QImage image = frame(ratio);
            if (zoom == 1) { // at zoom 3 the image covers the whole view
                EXPECT_LE(distance(pixel(image, {3, 3}), backdrop), 1);
                EXPECT_LE(distance(pixel(image, {22, 22}), backdrop), 1);
                EXPECT_GE(pixel(image, {12.5, 12.5}).green(), backdrop.green() + 4); // a grid dot
            }
            // Dashes of 6 and gaps of 4 view points from the corner, whatever the zoom.
            const int tolerance = ratio == 2 ? 6 : 70;
            EXPECT_LE(nearest(image, corner + QPointF(3, 0), marquee), tolerance);
            EXPECT_LE(nearest(image, corner + QPointF(13, 0), marquee), tolerance);
            for (double dy : {-1.0, 0.0, 1.0}) {
                EXPECT_LE(distance(pixel(image, corner + QPointF(8, dy)), pixel(reference, corner + QPointF(8, dy))),
                          1);
                EXPECT_LE(
                    distance(pixel(image, corner + QPointF(4, 3 + dy)), pixel(reference, corner + QPointF(4, 3 + dy))),
                    1);
            }
        }
        release(corner); // too small: no crop
    }
}

TEST_F(CanvasDrawingTest, RingAtItsRadiusAndLabelKeptInsideTheView)
{
    model->selectTool(MarkupTool::badge);
    press(at(0.99, 0.01));
    release(at(0.99, 0.01));
    const auto ring = view->geometry().badgeRotationGeometry();
    ASSERT_TRUE(ring);
    for (double ratio : {1.0, 2.0}) {
        const QImage image = frame(ratio);
        EXPECT_LE(nearest(image, ring->center() - QPointF(ring->radius(), 0), accent), 8) << ratio;
        EXPECT_GT(distance(pixel(image, ring->center() - QPointF(ring->radius() - 6, 0)), accent), 60) << ratio;
    }

    scroll({300, -200}); // the ring now reaches past the top and right edges
    const auto moved = view->geometry().badgeRotationGeometry();
    ASSERT_LT(moved->center().y() - moved->radius() - 29, 6);
    ASSERT_GT(moved->center().x() - 25, 1000 - 56);
    for (double ratio : {1.0, 2.0}) {
        SCOPED_TRACE(testing::Message() << "ratio " << ratio);
        const QImage image = frame(ratio);
        // The label's plate lies at 944...994 across and 6...28 down.
        const QColor labelPlate = pixel(image, {947, 17});
        EXPECT_LE(distance(labelPlate, QColor(15, 25, 38)), 8);
        EXPECT_LE(distance(pixel(image, {992, 17}), labelPlate), 2);
        EXPECT_GT(distance(pixel(image, {997, 17}), labelPlate), 2);
        EXPECT_GT(distance(pixel(image, {947, 3}), labelPlate), 2);
    }
}

// The canvas shows what an export of the same document at the same scale holds.
TEST_F(CanvasDrawingTest, CanvasAgreesWithTheExportRenderer)
{
    EditDocument document;
    auto add = [&](Annotation a) { document.annotations.push_back(std::move(a)); };
    add(fixtures::mark(MarkupTool::arrow, {{0.1, 0.1}, {0.4, 0.35}}));
    add(fixtures::mark(MarkupTool::ellipse, {{0.5, 0.2}, {0.7, 0.55}}, MarkupColor::mint, 6));
    add(fixtures::mark(MarkupTool::highlight, {{0.05, 0.6}, {0.45, 0.7}}));
    add(fixtures::mark(MarkupTool::blur, {{0.6, 0.6}, {0.9, 0.9}}));
    add(fixtures::mark(MarkupTool::redact, {{0.1, 0.8}, {0.3, 0.85}}));
    Annotation badge = fixtures::mark(MarkupTool::badge, {{0.8, 0.2}});
    badge.badgeStyle = BadgeStyle::warning;
    badge.badgeRotation = 30;
    add(badge);
    canvas.reset();
    model = makeModel(item, fixtures::capture(1600, 900));
    model->setDocument(document);
    // Inside a window, away from its corner, as the editor places it.
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    layout->setContentsMargins(37, 21, 0, 0);
    layout->addWidget(new EditorCanvas(*model));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    view = window.findChild<ImageEditingView *>();
    window.resize(890 + 37, 800 + 21);
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->size() == QSize(890, 800); }));
    // 800 x 450 at zoom 1, 640 x 360 at zoom 0.8, on whole pixels

    for (double zoom : {1.0, 0.8}) {
        model->setZoom(zoom);
        const QRectF rect = view->geometry().canvasRect();
        for (double ratio : {1.0, 2.0}) {
            const QImage shown = frame(ratio).copy(QRectF(rect.topLeft() * ratio, rect.size() * ratio).toRect());
            const QImage exported = RasterRenderer::render(model->image(), document, int(rect.width() * ratio));
            ASSERT_EQ(shown.size(), exported.size());
            double sum = 0;
            for (int y = 0; y < shown.height(); ++y)
                for (int x = 0; x < shown.width(); ++x) {
                    const QColor a = shown.pixelColor(x, y), b = exported.pixelColor(x, y);
                    sum +=
                        std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue());
                }
            EXPECT_LE(sum / (3.0 * shown.width() * shown.height()), 2.0) << "zoom " << zoom << " ratio " << ratio;
        }
    }
}

void failingRenderer(const QImage &, const EditDocument &, QPainter &) { throw std::runtime_error("no bitmap"); }

TEST(CanvasPainter, AFailedRenderShowsTheTextOverThePlateAndNoOverlays)
{
    const QImage source = fixtures::capture(1600, 900, false);
    EditDocument document;
    document.annotations.push_back(fixtures::mark(MarkupTool::badge, {{0.5, 0.5}}));
    const CanvasGeometry geometry(QSizeF(1000, 800), {}, 1, source.size(), document, document.annotations[0].id);
    const std::optional<Annotation> draft = fixtures::mark(MarkupTool::crop, {{0.1, 0.1}, {0.6, 0.6}});
    QImage image(1000, 800, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    CanvasPainter::paint(painter, {geometry, source, document, draft, QSizeF(1000, 800)}, &failingRenderer);
    painter.end();

    EXPECT_LE(distance(image.pixelColor(500, 400), plate), 1); // the plate, without the image
    EXPECT_LE(distance(image.pixelColor(3, 3), backdrop), 1);
    int white = 0;
    for (int y = 30; y < 48; ++y)
        for (int x = 30; x < 400; ++x)
            white += image.pixelColor(x, y).lightness() > 200;
    EXPECT_GT(white, 100);
    const auto ring = geometry.badgeRotationGeometry();
    EXPECT_LE(distance(image.pixelColor((ring->center() - QPointF(ring->radius(), 0)).toPoint()), plate), 1);
    const QPointF marqueeCorner = geometry.viewPoint(QPointF(160 + 3, 90));
    EXPECT_LE(distance(image.pixelColor(marqueeCorner.toPoint()), plate), 1);
}

} // namespace
} // namespace tarn::test
