// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>

#include "core/image/ImageCodec.h"
#include "core/render/BadgePreview.h"
#include "core/render/BadgeRenderer.h"
#include "core/render/BadgeRotationGeometry.h"

namespace tarn {
namespace {

void expectRect(const QRectF &actual, const QRectF &expected)
{
    EXPECT_NEAR(actual.x(), expected.x(), 1e-9);
    EXPECT_NEAR(actual.y(), expected.y(), 1e-9);
    EXPECT_NEAR(actual.width(), expected.width(), 1e-9);
    EXPECT_NEAR(actual.height(), expected.height(), 1e-9);
}

TEST(BadgeRenderer, SizeFollowsImageWidthWithAMinimum)
{
    expectRect(BadgeRenderer::bounds({100, 100}, {800, 5000}), {78.3, 86, 43.4, 28});
    expectRect(BadgeRenderer::bounds({0, 0}, {933, 100}), {-21.7, -14, 43.4, 28});
    expectRect(BadgeRenderer::bounds({0, 0}, {1600, 100}), {-37.2, -24, 74.4, 48});
    const QRectF wide = BadgeRenderer::bounds({0, 0}, {3200, 100});
    EXPECT_NEAR(wide.width(), 148.8, 1e-9);
    EXPECT_NEAR(wide.height(), 96, 1e-9);
}

TEST(BadgeRenderer, RotationsAreClampedAndBoundsTurned)
{
    EXPECT_EQ(BadgeRenderer::clampedRotation(-10), 0);
    EXPECT_EQ(BadgeRenderer::clampedRotation(400), 360);
    EXPECT_EQ(BadgeRenderer::clampedRotation(INFINITY), 0);
    EXPECT_EQ(BadgeRenderer::clampedRotation(NAN), 0);
    EXPECT_EQ(BadgeRenderer::clampedRotation(289), 289);

    const QRectF r(0, 0, 155, 100);
    EXPECT_EQ(BadgeRenderer::rotatedBounds(r, 0), r);
    EXPECT_EQ(BadgeRenderer::rotatedBounds(r, 360), r);
    EXPECT_EQ(BadgeRenderer::rotatedBounds(r, NAN), r);
    expectRect(BadgeRenderer::rotatedBounds(r, 90), {27.5, -27.5, 100, 155});
}

QImage drawOne(BadgeStyle style, double rotation)
{
    QImage image(300, 200, QImage::Format_RGBA8888_Premultiplied);
    image.fill(Qt::white);
    QPainter p(&image);
    BadgeRenderer::draw(style, QRectF(72.5, 50, 155, 100), rotation, p);
    return image;
}

bool near(QColor a, QColor b, int tolerance = 6)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
        std::abs(a.blue() - b.blue()) <= tolerance;
}

TEST(BadgeRenderer, TagHeadAndUprightSymbol)
{
    // Head: d = 100, circle (127.5, 50, 100, 100), centre (177.5, 100); symbol box 42 x 46.
    const QColor green = qColor(BadgeStyle::check);
    const QImage plain = drawOne(BadgeStyle::check, 0);
    EXPECT_TRUE(near(plain.pixelColor(76, 100), green));              // the tag's point, left
    EXPECT_TRUE(near(plain.pixelColor(222, 100), green));             // the head's ring
    EXPECT_TRUE(near(plain.pixelColor(177, 62), Qt::white));          // inside the head, above the check
    EXPECT_TRUE(near(plain.pixelColor(177.5 + 19, 100 - 18), green)); // the check's upper right end
    EXPECT_TRUE(near(plain.pixelColor(177.5 + 19, 100 + 18), Qt::white));

    // Turned half round, the tag points right, the head is on the left, and the check stays
    // upright (its long arm still rising to the upper right).
    const QImage turned = drawOne(BadgeStyle::check, 180);
    EXPECT_TRUE(near(turned.pixelColor(223, 100), green));
    EXPECT_TRUE(near(turned.pixelColor(78, 100), green));
    const QPointF head(122.5, 100);
    EXPECT_TRUE(near(turned.pixelColor((head + QPointF(19, -18)).toPoint()), green));
    EXPECT_TRUE(near(turned.pixelColor((head + QPointF(19, 18)).toPoint()), Qt::white));

    // An empty rectangle draws nothing.
    QImage blank(50, 50, QImage::Format_RGBA8888_Premultiplied);
    blank.fill(Qt::white);
    QPainter p(&blank);
    BadgeRenderer::draw(BadgeStyle::heart, QRectF(10, 10, 0, 20), 0, p);
    p.end();
    EXPECT_EQ(blank.pixelColor(10, 20), QColor(Qt::white));
}

TEST(BadgeRenderer, PaletteSheets)
{
    const QImage plain = BadgeRenderer::previewImage(false);
    ASSERT_EQ(plain.size(), QSize(1000, 180));
    EXPECT_TRUE(near(plain.pixelColor(2, 2), QColor(245, 247, 250), 1));
    for (int i = 0; i < 5; ++i) // each badge's tag point, in allCases order
        EXPECT_TRUE(near(plain.pixelColor(32 + 200 * i + 4, 86), qColor(static_cast<BadgeStyle>(i))));

    const QImage rotations = BadgeRenderer::previewImage(true);
    ASSERT_EQ(rotations.size(), QSize(1000, 900));
    // 0 and 360 degrees look the same.
    for (int row = 0; row < 5; ++row)
        EXPECT_EQ(rotations.copy(0, 180 * row, 200, 180), rotations.copy(800, 180 * row, 200, 180));
    EXPECT_NE(rotations.copy(0, 0, 200, 180), rotations.copy(200, 0, 200, 180));
}

TEST(BadgePreview, WritesThePaletteFileAndItsFolder)
{
    QTemporaryDir dir;
    const QString nested = dir.filePath(QStringLiteral("a/b/palette.png"));
    EXPECT_EQ(BadgePreview::write(nested, true), nested);
    const QImage written = ImageCodec::read(std::filesystem::path(nested.toStdString()));
    EXPECT_EQ(written.size(), QSize(1000, 900));

    // A relative path is taken from the working directory.
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    const QString relative = BadgePreview::write(QStringLiteral("plain.png"), false);
    QDir::setCurrent(previous);
    EXPECT_EQ(relative, dir.filePath(QStringLiteral("plain.png")));
    EXPECT_EQ(ImageCodec::read(std::filesystem::path(relative.toStdString())).size(), QSize(1000, 180));

    // A parent that is a file cannot become a folder.
    QFile blocker(dir.filePath(QStringLiteral("blocker")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_THROW(BadgePreview::write(dir.filePath(QStringLiteral("blocker/palette.png")), false), ImageFailure);
}

TEST(BadgeRotationGeometry, RingHandleAndDragRotationFollowTheBadge)
{
    EXPECT_EQ(BadgeRotationGeometry(QRectF(0, 0, 40, 30)).radius(), 48);
    EXPECT_DOUBLE_EQ(BadgeRotationGeometry(QRectF(0, 0, 200, 150)).radius(), 143);
    const BadgeRotationGeometry small(QRectF(80, 90, 40, 20));
    EXPECT_EQ(small.center(), QPointF(100, 100));
    EXPECT_EQ(small.ringBounds(), QRectF(52, 52, 96, 96));

    const BadgeRotationGeometry g(QRectF(76, 85, 48, 30)); // centre (100, 100), radius 48
    auto expectAt = [&](double rotation, QPointF expected) {
        const QPointF h = g.handleCenter(rotation);
        EXPECT_NEAR(h.x(), expected.x(), 1e-9) << rotation;
        EXPECT_NEAR(h.y(), expected.y(), 1e-9) << rotation;
    };
    expectAt(0, {52, 100});
    expectAt(90, {100, 52});
    expectAt(360, {52, 100});
    expectAt(720, {52, 100});
    expectAt(-30, {52, 100});
    expectAt(NAN, {52, 100});

    EXPECT_TRUE(g.containsHandle({52, 113}, 0));
    EXPECT_FALSE(g.containsHandle({52, 113.01}, 0));
    EXPECT_TRUE(g.containsRing({100 + 55, 100}));
    EXPECT_FALSE(g.containsRing({100 + 40.5, 100}));

    // Dragging turns the badge by the angle between the start and the current point.
    const QPointF right(160, 100), below(100, 160), above(100, 40);
    // Dead zone: the start or the current point closer than 8 to the centre.
    EXPECT_FALSE(g.rotation(right, {105, 100}, 0, false));
    EXPECT_FALSE(g.rotation({107.9, 100}, right, 0, false));
    EXPECT_TRUE(g.rotation({108, 100}, right, 0, false));
    EXPECT_FALSE(g.rotation({NAN, 100}, right, 0, false));
    EXPECT_FALSE(g.rotation(right, {INFINITY, 1}, 0, false));

    EXPECT_DOUBLE_EQ(*g.rotation(below, right, 350, false), 80); // a quarter turn clockwise
    EXPECT_DOUBLE_EQ(*g.rotation(above, right, 10, false), 280); // and the other way

    // Snapping to 15 degrees, halves away from zero; 1-degree steps otherwise.
    auto at = [&](double degrees) {
        const double r = degrees * M_PI / 180;
        return QPointF(100 + 50 * std::cos(r), 100 + 50 * std::sin(r));
    };
    EXPECT_NEAR(*g.rotation(at(52.4), right, 0, true), 45, 1e-9);
    EXPECT_NEAR(*g.rotation(at(52.5 + 1e-9), right, 0, true), 60, 1e-9);
    EXPECT_NEAR(*g.rotation(at(52.5 + 1e-9), right, 0, false), 53, 1e-9);
    EXPECT_NEAR(*g.rotation(at(-0.4), right, 0, false), 360, 1e-9); // raw 359.6 gives 360
}

} // namespace
} // namespace tarn
