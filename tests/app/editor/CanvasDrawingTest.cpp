// SPDX-License-Identifier: GPL-3.0-or-later
#include <stdexcept>

#include <QPainter>
#include <QVBoxLayout>

#include "CanvasFixture.h"
#include "app/editor/CanvasPainter.h"
#include "core/render/DraftRenderer.h"
#include "core/render/RasterRenderer.h"

namespace tarn::TestSupport {
namespace {

const QColor backdrop = QColor::fromRgbF(0.065f, 0.085f, 0.115f);
const QColor plate = QColor::fromRgbF(0.15f, 0.18f, 0.2f);

int distance(const QColor &a, const QColor &b)
{
    return std::max({std::abs(a.red() - b.red()), std::abs(a.green() - b.green()), std::abs(a.blue() - b.blue())});
}

// The canvas as its window shows it (ratio 1), or as the window paints for a screen of twice
// the density (ratio 2), cut to the canvas.
QImage frame(const QWidget *view, double ratio)
{
    QWidget *window = view->window();
    QImage image = window->grab().toImage();
    if (ratio == 2) {
        image = QImage(window->size() * 2, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(2);
        window->render(&image);
    }
    QImage shown = image.copy(QRect(view->mapTo(window, QPoint(0, 0)) * ratio, view->size() * ratio));
    shown.setDevicePixelRatio(ratio);
    return shown;
}

QColor pixel(const QImage &image, QPointF logical)
{
    const QPointF p = logical * image.devicePixelRatio();
    return image.pixelColor(std::clamp(int(std::floor(p.x())), 0, image.width() - 1),
                            std::clamp(int(std::floor(p.y())), 0, image.height() - 1));
}

// How far from `colour` the nearest pixel within a point of `logical` is: a line one or two
// points wide covers whole pixels at ratio 2 but may cover parts of two at ratio 1.
int nearest(const QImage &image, QPointF logical, const QColor &colour)
{
    int best = 255;
    for (double dy : {-1.0, 0.0, 1.0})
        for (double dx : {-1.0, 0.0, 1.0})
            best = std::min(best, distance(pixel(image, logical + QPointF(dx, dy)), colour));
    return best;
}

// Exclusive: the canvas takes the keyboard focus in an active window.
using ExclusiveCanvasDrawing = CanvasFixture;

TEST_F(ExclusiveCanvasDrawing, BackdropDotsMarqueeRingAndLabelAtBothPixelRatios)
{
    const QColor marquee = QColor::fromRgbF(0.8f, 0.98f, 0.63f), accent = QColor::fromRgbF(0.26f, 0.72f, 1);
    model->selectTool(MarkupTool::crop);
    for (double zoom : {1.0, 3.0}) { // dashes of 6 and gaps of 4 view points at every zoom
        model->setZoom(zoom);
        const QImage before[] = {frame(view, 1), frame(view, 2)};
        const QPointF corner = at(0.45, 0.45);
        press(corner);
        move(at(0.55, 0.6));
        for (const QImage &old : before) {
            const QImage now = frame(view, old.devicePixelRatio());
            const int tolerance = old.devicePixelRatio() == 2 ? 6 : 70;
            EXPECT_LE(nearest(now, corner + QPointF(3, 0), marquee), tolerance) << zoom;
            EXPECT_LE(nearest(now, corner + QPointF(13, 0), marquee), tolerance) << zoom;
            for (QPointF unchanged : {QPointF(8, -1), QPointF(8, 0), QPointF(8, 1), QPointF(4, 3)})
                EXPECT_LE(distance(pixel(now, corner + unchanged), pixel(old, corner + unchanged)), 1) << zoom;
            if (zoom == 1) {
                EXPECT_LE(distance(pixel(now, {3, 3}), backdrop), 1);
                EXPECT_LE(distance(pixel(now, {22, 22}), backdrop), 1);
                EXPECT_GE(pixel(now, {12.5, 12.5}).green(), backdrop.green() + 4); // a dot
            }
        }
        release(corner); // too small: no crop
    }

    model->setZoom(1);
    model->selectTool(MarkupTool::badge);
    click(at(0.99, 0.01));
    auto ring = view->geometry().badgeRotationGeometry();
    for (double ratio : {1.0, 2.0}) {
        const QImage image = frame(view, ratio);
        EXPECT_LE(nearest(image, ring->center() - QPointF(ring->radius(), 0), accent), 8);
        EXPECT_GT(distance(pixel(image, ring->center() - QPointF(ring->radius() - 6, 0)), accent), 60);
    }
    scroll({300, -200}, {}); // the ring now reaches past the top and right edges
    ring = view->geometry().badgeRotationGeometry();
    ASSERT_LT(ring->center().y() - ring->radius() - 29, 6);
    ASSERT_GT(ring->center().x() - 25, 1000 - 56);
    for (double ratio : {1.0, 2.0}) { // so the label's plate lies at 944...994 and 6...28
        const QImage image = frame(view, ratio);
        const QColor label = pixel(image, {947, 17});
        EXPECT_LE(distance(label, QColor(15, 25, 38)), 8);
        EXPECT_LE(distance(pixel(image, {992, 17}), label), 2);
        EXPECT_GT(distance(pixel(image, {997, 17}), label), 2);
        EXPECT_GT(distance(pixel(image, {947, 3}), label), 2);
    }
}

// With and without a backdrop frame, whose card shadow the canvas paints through its window.
TEST_F(ExclusiveCanvasDrawing, CanvasAgreesWithTheExportRenderer)
{
    EditDocument document;
    for (auto [tool, from, to] : {std::tuple{MarkupTool::arrow, UnitPoint(0.1, 0.1), UnitPoint(0.4, 0.35)},
                                  {MarkupTool::ellipse, {0.5, 0.2}, {0.7, 0.55}},
                                  {MarkupTool::highlight, {0.05, 0.6}, {0.45, 0.7}},
                                  {MarkupTool::blur, {0.6, 0.6}, {0.9, 0.9}},
                                  {MarkupTool::redact, {0.1, 0.8}, {0.3, 0.85}}})
        document.annotations.push_back(RenderFixtures::mark(tool, {from, to}));
    Annotation badge = RenderFixtures::mark(MarkupTool::badge, {{0.8, 0.2}});
    badge.badgeRotation = 30;
    document.annotations.push_back(badge);
    canvas.reset();
    model = makeModel(item, RenderFixtures::capture(1600, 900));
    QWidget window; // the canvas away from its window's corner, as the editor places it
    auto *layout = new QVBoxLayout(&window);
    layout->setContentsMargins(37, 21, 0, 0);
    layout->addWidget(new EditorCanvas(*model));
    window.resize(890 + 37, 800 + 21); // the render at 800 x 450, then 640 x 360: whole pixels
    window.show();
    view = window.findChild<ImageEditingView *>();
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->isVisible() && view->size() == QSize(890, 800); }));

    EditDocument framed = document;
    framed.backdrop = Backdrop::peach;
    framed.padding = 200; // a 2000 x 1300 render: 800 x 520, then 640 x 416
    for (const auto &[shownDocument, zoom] :
         {std::pair{document, 1.0}, {document, 0.8}, {framed, 1.0}, {framed, 0.8}}) {
        model->setDocument(shownDocument);
        model->setZoom(zoom);
        const QRectF rect = view->geometry().canvasRect();
        for (double ratio : {1.0, 2.0}) {
            const QImage shown = frame(view, ratio).copy(QRectF(rect.topLeft() * ratio, rect.size() * ratio).toRect());
            const QImage exported = RasterRenderer::render(model->image(), shownDocument, int(rect.width() * ratio));
            ASSERT_EQ(shown.size(), exported.size());
            double sum = 0;
            for (int y = 0; y < shown.height(); ++y)
                for (int x = 0; x < shown.width(); ++x) {
                    const QColor a = shown.pixelColor(x, y), b = exported.pixelColor(x, y);
                    sum +=
                        std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue());
                }
            EXPECT_LE(sum / (3.0 * shown.width() * shown.height()), 2.0)
                << "zoom " << zoom << " ratio " << ratio << " padding " << shownDocument.padding;
        }
    }
}

// The editor places the canvas away from its window's corner; the ring's soft shadow must
// land under the ring there too, not where the ring would be in the window's own coordinates.
TEST_F(ExclusiveCanvasDrawing, RingShadowFollowsTheCanvasInsideItsWindow)
{
    canvas.reset();
    model = makeModel(item, RenderFixtures::capture(1600, 900));
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    layout->setContentsMargins(37, 21, 0, 0);
    layout->addWidget(new EditorCanvas(*model));
    window.resize(890 + 37, 800 + 21);
    window.show();
    view = window.findChild<ImageEditingView *>();
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->isVisible() && view->size() == QSize(890, 800); }));
    model->selectTool(MarkupTool::badge);
    click(at(0.6, 0.4));
    const auto ring = view->badgeRotationGeometry();
    ASSERT_TRUE(ring);
    // Around the ring and where its shadow would stray to, the window shows what the canvas
    // painted on its own shows.
    const QRect around = ring->ringBounds().adjusted(-60, -60, 20, 20).toAlignedRect();
    for (double ratio : {1.0, 2.0}) {
        QImage alone(view->size() * ratio, QImage::Format_ARGB32_Premultiplied);
        alone.setDevicePixelRatio(ratio);
        view->render(&alone);
        const QImage shown = frame(view, ratio);
        int differing = 0;
        for (int y = around.top(); y <= around.bottom(); ++y)
            for (int x = around.left(); x <= around.right(); ++x)
                differing += distance(pixel(shown, QPointF(x, y)), pixel(alone, QPointF(x, y))) > 2;
        EXPECT_EQ(differing, 0) << "ratio " << ratio;
    }
}

TEST(CanvasPainter, AFailedRenderShowsTheTextOverThePlateAndNoOverlays)
{
    const QImage source = RenderFixtures::capture(1600, 900, false);
    EditDocument document;
    document.annotations.push_back(RenderFixtures::mark(MarkupTool::badge, {{0.5, 0.5}}));
    const CanvasGeometry geometry(QSizeF(1000, 800), {}, 1, source.size(), document, document.annotations[0].id);
    const std::optional<Annotation> draft = RenderFixtures::mark(MarkupTool::crop, {{0.1, 0.1}, {0.6, 0.6}});
    QImage image(1000, 800, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    const auto failing = [](const QImage &, const EditDocument &, QPainter &) { throw std::runtime_error("none"); };
    CanvasPainter::paint(painter, {geometry, source, document, draft, QSizeF(1000, 800), true}, failing);
    painter.end();

    int white = 0;
    for (int y = 30; y < 48; ++y)
        for (int x = 30; x < 400; ++x)
            white += image.pixelColor(x, y).lightness() > 200;
    EXPECT_GT(white, 100);
    const auto ring = geometry.badgeRotationGeometry();
    for (QPointF p : {QPointF(500, 400), ring->center() - QPointF(ring->radius(), 0),
                      geometry.viewPoint(QPointF(160 + 3, 90))}) // the plate, no ring, no marquee
        EXPECT_LE(distance(image.pixelColor(p.toPoint()), plate), 1);
}

} // namespace
// Each frame of a drawing painted from the picture kept under the draft shows what a whole
// paint of the same frame shows: drafts over and away from blur patches, a blur draft, black
// masks over them, with and without a background frame, at both pixel ratios, while the draft
// moves and the picture is kept, and when the zoom changes under it.
TEST(CanvasPainter, FramesFromTheKeptPictureMatchWholePaints)
{
    const QImage image = RenderFixtures::capture(1600, 900);
    EditDocument plain;
    plain.annotations = {RenderFixtures::mark(MarkupTool::arrow, {{0.05, 0.05}, {0.3, 0.2}}),
                         RenderFixtures::mark(MarkupTool::highlight, {{0.1, 0.5}, {0.5, 0.56}})};
    EditDocument blurred = plain;
    blurred.annotations.push_back(RenderFixtures::mark(MarkupTool::blur, {{0.4, 0.3}, {0.7, 0.6}}));
    blurred.annotations.push_back(RenderFixtures::mark(MarkupTool::redact, {{0.5, 0.45}, {0.65, 0.5}}));
    EditDocument framed = blurred;
    framed.backdrop = Backdrop::aurora;
    framed.padding = 120;
    framed.cornerRadius = 30;
    struct Row {
        const char *what;
        const EditDocument &document;
        MarkupTool tool;
    };
    const Row rows[] = {{"rectangle, no patches", plain, MarkupTool::rectangle},
                        {"rectangle across a patch and a mask", blurred, MarkupTool::rectangle},
                        {"pen across a patch", blurred, MarkupTool::pen},
                        {"blur draft", blurred, MarkupTool::blur},
                        {"rectangle on a framed card", framed, MarkupTool::rectangle}};
    const QSizeF viewSize(900, 640);
    for (const Row &row : rows)
        for (const double ratio : {1.0, 2.0}) {
            SCOPED_TRACE(std::string(row.what) + " at " + std::to_string(ratio));
            DraftRenderer draftRenderer;
            CanvasPainter::KeptFrame kept;
            int step = 0;
            for (const double reach : {0.3, 0.55, 0.6, 0.75}) {
                // A zoom in the middle of the drawing changes what the patches read.
                const CanvasGeometry geometry(viewSize, QPointF(7, -5), ++step == 3 ? 0.6 : 1.1, image.size(),
                                              row.document, std::nullopt);
                std::vector<UnitPoint> points{{0.35, 0.25}, {reach, reach}};
                if (row.tool == MarkupTool::pen)
                    points = {{0.35, 0.25}, {reach - 0.1, reach}, {reach, reach - 0.05}};
                const std::optional<Annotation> draft = RenderFixtures::mark(row.tool, points);
                auto paint = [&](DraftRenderer *renderer, CanvasPainter::KeptFrame *keeper) {
                    QImage picture((viewSize * ratio).toSize(), QImage::Format_RGB32);
                    picture.setDevicePixelRatio(ratio);
                    QPainter painter(&picture);
                    CanvasPainter::paint(painter,
                                         {geometry, image, row.document, draft, viewSize, true, renderer, keeper});
                    return picture;
                };
                const QImage fromKept = paint(&draftRenderer, &kept);
                EXPECT_FALSE(kept.picture.isNull());
                const QImage whole = paint(nullptr, nullptr);
                int worst = 0;
                for (int y = 0; y < whole.height() && fromKept != whole; ++y) {
                    const uchar *a = fromKept.constScanLine(y), *b = whole.constScanLine(y);
                    for (int i = 0; i < whole.width() * 4; ++i)
                        worst = std::max(worst, std::abs(int(a[i]) - int(b[i])));
                }
                EXPECT_LE(worst, 1) << "draft reaching " << reach;
            }
        }
}

} // namespace tarn::TestSupport
