// SPDX-License-Identifier: GPL-3.0-or-later
// The comparison that decides whether an exported, copied or pinned picture shows a capture's
// edits: each row makes the picture a faulty output path would make and names what must be
// reported about it.
#include <functional>

#include <gtest/gtest.h>

#include "app/smoke/FlattenedComparison.h"
#include "core/image/ImageCodec.h"
#include "core/render/RasterRenderer.h"
#include "core/render/RenderLayout.h"
#include "support/RenderFixtures.h"

namespace tarn {
namespace {

using RenderFixtures::mark;

EditDocument framedWithMarks()
{
    EditDocument document;
    document.annotations = {
        mark(MarkupTool::blur, {UnitPoint(0.06, 0.14), UnitPoint(0.3, 0.3)}),
        mark(MarkupTool::arrow, {UnitPoint(0.4, 0.75), UnitPoint(0.6, 0.9)}),
        mark(MarkupTool::blur, {UnitPoint(0.67, 0.3), UnitPoint(0.9, 0.45)}),
    };
    document.backdrop = Backdrop::aurora;
    document.padding = 64;
    document.cornerRadius = 20;
    return document;
}

EditDocument croppedWithoutFrame()
{
    EditDocument document = framedWithMarks();
    document.backdrop = Backdrop::none;
    document.crop = UnitRect(0.05, 0.1, 0.9, 0.8);
    return document;
}

EditDocument without(EditDocument document, size_t index)
{
    document.annotations.erase(document.annotations.begin() + qsizetype(index));
    return document;
}

// The renderer's picture with one pixel of the source at `source` (in source pixels) repainted.
QImage withSourcePixelChanged(const QImage &original, const EditDocument &document, QPoint source)
{
    QImage picture = RasterRenderer::render(original, document);
    const RenderLayout layout(original.width(), original.height(), document);
    const QPoint out = source + (layout.contentRect().topLeft() - layout.crop().topLeft()).toPoint();
    picture.setPixelColor(out, QColor(255, 0, 255));
    return picture;
}

QImage oneStepBrighter(QImage picture)
{
    picture = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < picture.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x)
            line[x] = qRgba(std::min(qRed(line[x]) + 1, 255), qGreen(line[x]), qBlue(line[x]), qAlpha(line[x]));
    }
    return picture;
}

TEST(FlattenedComparison, ReportsEachWayAnOutputPathCanLoseTheEdits)
{
    const QImage original = RenderFixtures::capture(800, 500, false);
    struct Row {
        const char *name;
        EditDocument document;
        std::function<QImage(const EditDocument &)> picture;
        QString report; // a part of the report; empty for a picture that is right
    };
    const auto rendered = [&](const EditDocument &d) { return RasterRenderer::render(original, d); };
    const std::vector<Row> rows = {
        {"the renderer's own picture", framedWithMarks(), rendered, {}},
        {"the same through PNG",
         framedWithMarks(),
         [&](const EditDocument &d) {
             return ImageCodec::read(ImageCodec::encode(rendered(d), ExportFormat::png, 0.92));
         },
         {}},
        {"one rounding step off everywhere",
         framedWithMarks(),
         [&](const EditDocument &d) { return oneStepBrighter(rendered(d)); },
         {}},
        {"every mark dropped, the frame kept", framedWithMarks(),
         [&](const EditDocument &d) {
             EditDocument bare = d;
             bare.annotations.clear();
             return rendered(bare);
         },
         QStringLiteral("shows blur patch 1 of the edits as the original")},
        {"the second blur dropped", framedWithMarks(), [&](const EditDocument &d) { return rendered(without(d, 2)); },
         QStringLiteral("shows blur patch 2 of the edits as the original")},
        {"the arrow dropped", framedWithMarks(), [&](const EditDocument &d) { return rendered(without(d, 1)); },
         QStringLiteral("differs from the renderer's flattening")},
        {"a source pixel changed away from the marks", framedWithMarks(),
         [&](const EditDocument &d) {
             return withSourcePixelChanged(original, d, {400, 25});
         },
         QStringLiteral("differs from the original outside every mark at (464, 89)")},
        {"the frame dropped", framedWithMarks(),
         [&](const EditDocument &d) {
             EditDocument unframed = d;
             unframed.backdrop = Backdrop::none;
             return rendered(unframed);
         },
         QStringLiteral("is 800x500 pixels, the edits make 928x628")},
        {"scaled down", framedWithMarks(),
         [&](const EditDocument &d) { return RasterRenderer::render(original, d, 600); },
         QStringLiteral("the edits make 928x628")},
        {"cropped without a frame: the renderer's own picture", croppedWithoutFrame(), rendered, {}},
        {"cropped without a frame: a blur dropped", croppedWithoutFrame(),
         [&](const EditDocument &d) { return rendered(without(d, 0)); },
         QStringLiteral("shows blur patch 1 of the edits as the original")},
        {"cropped without a frame: a source pixel changed", croppedWithoutFrame(),
         [&](const EditDocument &d) {
             return withSourcePixelChanged(original, d, {400, 60});
         },
         QStringLiteral("differs from the original outside every mark at (360, 10)")},
    };
    for (const Row &row : rows) {
        const QString report = UISmoke::flattenedMismatch(row.picture(row.document), original, row.document);
        if (row.report.isEmpty())
            EXPECT_EQ(report, QString()) << row.name;
        else
            EXPECT_TRUE(report.contains(row.report)) << row.name << ": " << report.toStdString();
    }
}

} // namespace
} // namespace tarn
