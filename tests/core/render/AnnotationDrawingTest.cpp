// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>

#include <QFontMetricsF>
#include <QPainter>
#include <QtConcurrent/QtConcurrentRun>

#include "core/render/Fonts.h"
#include "core/render/RasterRenderer.h"
#include "support/RenderFixtures.h"

namespace tarn {
namespace {

using RenderFixtures::mark;

// A white canvas of the source size with one mark drawn on it.
QImage drawn(const Annotation &a, int width, int height)
{
    QImage image(width, height, QImage::Format_RGBA8888_Premultiplied);
    image.fill(Qt::white);
    QPainter p(&image);
    RasterRenderer::drawAnnotation(a, QSizeF(width, height), p);
    return image;
}

bool inked(const QImage &image, int x, int y)
{
    const QColor c = image.pixelColor(x, y);
    return c.red() < 250 || c.green() < 250 || c.blue() < 250;
}

// The smallest rectangle holding every pixel that is not white.
QRect inkBounds(const QImage &image)
{
    QRect r;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (inked(image, x, y))
                r |= QRect(x, y, 1, 1);
    return r;
}

// How much of one column is covered by a black mark, in pixels (antialiasing counted).
double coverage(const QImage &image, int x)
{
    double sum = 0;
    for (int y = 0; y < image.height(); ++y)
        sum += 1 - image.pixelColor(x, y).redF();
    return sum;
}

TEST(AnnotationDrawing, LineWidthFollowsWeightAndSourceWidth)
{
    struct Row {
        int width;
        double weight;
        double expected;
    };
    for (const Row &r : {Row{1600, 4, 4}, Row{3200, 4, 8}, Row{400, 10, 4}, Row{200, 10, 4}, Row{1600, 50, 30},
                         Row{1600, 0, 1}, Row{1600, NAN, 30}}) {
        const Annotation line = mark(MarkupTool::line, {{0.1, 0.5}, {0.9, 0.5}}, MarkupColor::black, r.weight);
        const QImage image = drawn(line, r.width, 100);
        EXPECT_NEAR(coverage(image, r.width / 2), r.expected, 0.1) << r.width << " " << r.weight;
    }
}

TEST(AnnotationDrawing, ArrowheadLength)
{
    // Head length L = max(16 s, 4 x line width); the head's arms reach L sin 30 = L / 2 above and
    // below the shaft, plus half the line width for the round caps.
    struct Row {
        int width;
        double weight;
        double length;
        double lineWidth;
    };
    for (const Row &r : {Row{1600, 4, 16, 4}, Row{3200, 4, 32, 8}, Row{1600, 20, 80, 20}, Row{1600, 2, 16, 2}}) {
        const Annotation arrow = mark(MarkupTool::arrow, {{0.1, 0.5}, {0.6, 0.5}}, MarkupColor::black, r.weight);
        const QImage image = drawn(arrow, r.width, 300);
        const QRect ink = inkBounds(image);
        EXPECT_NEAR(ink.height(), r.length + r.lineWidth, 1.5) << r.width << " " << r.weight;
        EXPECT_NEAR(ink.right() + 1, 0.6 * r.width + r.lineWidth / 2, 1.5);
        // Behind the head only the shaft is left.
        const int behind = int(0.6 * r.width - r.length * std::cos(M_PI / 6) - r.lineWidth - 2);
        EXPECT_NEAR(coverage(image, behind), r.lineWidth, 0.2);
    }
}

TEST(AnnotationDrawing, BadgeAndNumberSizes)
{
    for (auto [width, w, h] : {std::tuple{800, 43.4, 28.0}, std::tuple{933, 43.4, 28.0}, std::tuple{1600, 74.4, 48.0},
                               std::tuple{3200, 148.8, 96.0}}) {
        const QRect ink = inkBounds(drawn(mark(MarkupTool::badge, {{0.5, 0.5}}), width, 400));
        EXPECT_NEAR(ink.width(), w, 2) << width; // partly covered pixels at both ends
        EXPECT_NEAR(ink.height(), h, 2) << width;
        EXPECT_NEAR(ink.center().x(), width / 2.0, 1.5);
    }
    for (auto [width, d] :
         {std::pair{800, 32.0}, std::pair{984, 32.0}, std::pair{1600, 52.0}, std::pair{3200, 104.0}}) {
        Annotation number = mark(MarkupTool::number, {{0.5, 0.5}}, MarkupColor::blue);
        number.number = 7;
        const QImage image = drawn(number, width, 300);
        const QRect ink = inkBounds(image);
        EXPECT_NEAR(ink.width(), d, 1.5) << width;
        EXPECT_NEAR(ink.height(), d, 1.5) << width;
        // The white digit sits in the middle of the circle.
        int white = 0;
        for (int y = ink.top() + int(d / 4); y < ink.bottom() - int(d / 4); ++y)
            for (int x = ink.left() + int(d / 4); x < ink.right() - int(d / 4); ++x)
                white += image.pixelColor(x, y).blue() > 250 && image.pixelColor(x, y).red() > 240;
        EXPECT_GT(white, d / 2) << width;
        EXPECT_EQ(image.pixelColor(ink.left() + 3, ink.center().y()).rgb(), qColor(MarkupColor::blue).rgb());
    }
}

TEST(AnnotationDrawing, KoreanTextRendersRealGlyphsAnchoredTopLeft)
{
    const QFont font = Fonts::font(40, QFont::DemiBold);
    EXPECT_TRUE(QFontMetricsF(font).inFontUcs4(U'한'));
    EXPECT_TRUE(QFontMetricsF(font).inFontUcs4(U'A'));

    auto textMark = [](const char *text) {
        Annotation a = mark(MarkupTool::text, {{0.25, 0.25}}, MarkupColor::black);
        a.text = text;
        return a;
    };
    // Width 1600: font size 36, anchored at (400, 100).
    const QImage hangul = drawn(textMark("한글 캡처"), 1600, 400);
    const QImage other = drawn(textMark("갈비 노트"), 1600, 400);
    const QRect ink = inkBounds(hangul);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_GE(ink.left(), 399);
    EXPECT_GE(ink.top(), 100);
    EXPECT_LE(ink.left() - 400, 0.35 * 36);
    EXPECT_LE(ink.top() - 100, 0.35 * 36);
    EXPECT_GT(ink.height(), 20); // glyphs of about the font's size, not dots
    EXPECT_LT(ink.height(), 50);
    // Missing glyphs would all draw as the same box; real ones differ from word to word.
    EXPECT_NE(hangul, other);

    // Line breaks are kept: a second line lies below the first.
    const QRect twoLines = inkBounds(drawn(textMark("첫 줄\n둘째 줄"), 1600, 400));
    EXPECT_GT(twoLines.height(), 60);

    // The same picture comes out of a worker thread.
    const QImage fromWorker = QtConcurrent::run([&] { return drawn(textMark("한글 캡처"), 1600, 400); }).result();
    EXPECT_EQ(fromWorker, hangul);

    // Empty text draws nothing; small images use at least 14.4-pixel text.
    EXPECT_TRUE(inkBounds(drawn(textMark(""), 1600, 400)).isEmpty());
    const QRect small = inkBounds(drawn(textMark("Hg"), 200, 200));
    EXPECT_GT(small.height(), 10);
}

TEST(AnnotationDrawing, RedactionIsOpaqueBlackOnWholePixels)
{
    QImage image(100, 100, QImage::Format_RGBA8888_Premultiplied);
    image.fill(QColor(255, 0, 0, 60)); // translucent: copy mode must still give opaque black
    QPainter p(&image);
    RasterRenderer::drawAnnotation(mark(MarkupTool::redact, {{0.105, 0.205}, {0.495, 0.595}}), QSizeF(100, 100), p);
    p.end();
    EXPECT_EQ(image.pixelColor(10, 20), QColor(0, 0, 0, 255)); // 10.5 rounded down
    EXPECT_EQ(image.pixelColor(49, 59), QColor(0, 0, 0, 255)); // 49.5 rounded up
    EXPECT_EQ(image.pixelColor(9, 30).alpha(), 60);
    EXPECT_EQ(image.pixelColor(50, 30).alpha(), 60);
    EXPECT_EQ(image.pixelColor(30, 60).alpha(), 60);
}

TEST(AnnotationDrawing, HighlightAndDegenerateMarks)
{
    const QImage highlighted = drawn(mark(MarkupTool::highlight, {{0, 0}, {1, 1}}, MarkupColor::blue), 50, 50);
    const QColor c = highlighted.pixelColor(25, 25);
    EXPECT_NEAR(c.red(), 255, 1);
    EXPECT_NEAR(c.green(), 241, 1);
    EXPECT_NEAR(c.blue(), 186, 1);

    QImage image(50, 50, QImage::Format_RGBA8888_Premultiplied);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setPen(QPen(Qt::green, 7));
    for (MarkupTool tool : {MarkupTool::arrow, MarkupTool::text, MarkupTool::redact}) {
        Annotation none = mark(tool, {});
        RasterRenderer::drawAnnotation(none, QSizeF(50, 50), p); // no points: nothing, state kept
    }
    EXPECT_EQ(p.pen().widthF(), 7);
    RasterRenderer::drawAnnotation(mark(MarkupTool::pen, {{0.5, 0.5}}), QSizeF(50, 50), p);
    for (MarkupTool tool : {MarkupTool::select, MarkupTool::blur, MarkupTool::crop})
        RasterRenderer::drawAnnotation(mark(tool, {{0.1, 0.1}, {0.9, 0.9}}), QSizeF(50, 50), p);
    p.end();
    EXPECT_TRUE(inkBounds(image).isEmpty());
}

} // namespace
} // namespace tarn
